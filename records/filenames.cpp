#include "filenames.h"

#include "markup/cp949.h"

#include <QRegularExpression>

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

bool IsWindowsDeviceName(const QString& name) {
    static const QRegularExpression device(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]) *(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return device.match(name).hasMatch();
}

bool IsValidSavedName(const QString& name, const QString& extension) {
    if (name.isEmpty())
        return false;
    auto edge = [](QChar c) { return c == u'\t' || c == u' ' || c == u'.'; };
    if (edge(name.front()) || edge(name.back()))
        return false;
    static const QString forbidden = QStringLiteral("\"*/:<>?\\|");
    for (QChar c : name) {
        if (forbidden.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    if (IsWindowsDeviceName(name))
        return false;
    // File systems count a name's bytes, not its characters.
    if ((name + QLatin1Char('.') + extension).toUtf8().size() > 255)
        return false;
    return cp949::CanEncode(name);
}

QString InvalidNameMessage(const QString& name) {
    return QStringLiteral("\"%1\"는(은) 잘못된 파일 이름입니다.").arg(name);
}

} // namespace filenames
