#pragma once

#include <QString>

// Names that come from a file's content (an order number, an account, a
// picture name) and become part of a path: they must name one entry inside
// the folder they are joined to, never lead out of it.
namespace filenames {

// Not empty, not "." or "..", no "/" or "\", no drive ("C:"), no NUL.
bool IsPlainName(const QString& name);

} // namespace filenames
