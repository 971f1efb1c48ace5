#pragma once

#include "furniture.h"

#include "markup/result.h"

#include <QDateTime>
#include <QString>

class CPDFServer;
class CZelColorPresets;

// The picture of a text box (a vector picture under the box's TEXT_NAME in
// the plate's work folder) and its one-page PDF beside it, which the press
// files place.
class CTextBoxPicture {
public:
    // "tb_YYMMDDhhmmss.emf" of a local time.
    static QString MakeName(const QDateTime& time);
    static QString PicturePath(const QString& workFolder, const TextBox& box);
    static QString PdfPath(const QString& workFolder, const TextBox& box);

    // Names a box whose name is missing or not a plain file name (a fresh
    // name, not yet used in the work folder), then writes its picture and
    // (when the library is given) its PDF, replacing older ones. Fails with
    // the reason when a file cannot be written; the PDF is made only after
    // the picture.
    static Result<void> Make(TextBox& box, const QString& workFolder,
                             const CZelColorPresets* colors, CPDFServer* pdf);
    // Makes the files when the box has no usable name or its picture is
    // missing or does not parse, or its PDF is missing; gives whether they
    // were made. Fails with the reason when they cannot be made.
    static Result<bool> MakeIfMissing(TextBox& box, const QString& workFolder,
                                      const CZelColorPresets* colors, CPDFServer* pdf);
};
