#pragma once

#include <QString>

// The fingerprint of an artwork file that decides whether its previews must
// be made again: its size and its creation and last-write times as thirteen
// numbers, "%u-%u-...". Empty when the file's status cannot be read.
//
// Where the file system keeps no creation (birth) time, the last-write time
// stands in for it; a stamp that differs from one written on another system
// only means the previews are made once more.
QString FreshnessStamp(const QString& path);
