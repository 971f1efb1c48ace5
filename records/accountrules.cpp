#include "accountrules.h"

#include "markup/cp949.h"

#include <QList>

namespace accountrules {

bool IsValidPassword(const QString& password) {
    return !password.isEmpty() && cp949::CanEncode(password);
}

bool IsValidInitials(const QString& initials) {
    return initials.toUcs4().size() == 2 && cp949::CanEncode(initials);
}

} // namespace accountrules
