#pragma once

#include <QString>

// What an operator may type as a password or as initials. Both are stored in
// the account file in code page 949, so text it cannot carry is refused
// rather than saved as something else.
namespace accountrules {

// Not empty and writable to the account file.
bool IsValidPassword(const QString& password);

// Exactly two characters (counted as characters, not UTF-16 units) and
// writable to the account file.
bool IsValidInitials(const QString& initials);

} // namespace accountrules
