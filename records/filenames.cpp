#include "filenames.h"

namespace filenames {

bool IsPlainName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() == 0)
            return false;
    }
    return true;
}

} // namespace filenames
