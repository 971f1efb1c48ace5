#pragma once

#include "markup/result.h"

#include <QSize>
#include <QString>

#include <functional>

class QPainter;

// Writes what paint draws as a vector picture file of the given pixel size at
// dpi: the screen pictures of text boxes and labels. The file is replaced
// only when the whole picture was written.
Result<void> WriteVectorPicture(const QString& path, QSize pixels, int dpi, const QString& title,
                                const QString& description,
                                const std::function<void(QPainter&)>& paint);
