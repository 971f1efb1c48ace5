#include "programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace programfolder {
namespace {
QString& ExplicitHome() {
    static QString home;
    return home;
}
} // namespace

void SetHome(const QString& path) {
    ExplicitHome() = path.isEmpty() ? QString() : QDir(path).absolutePath();
}

QString Home() {
    if (!ExplicitHome().isEmpty())
        return ExplicitHome();
    const QString env = qEnvironmentVariable("TESSEL_HOME");
    if (!env.isEmpty())
        return QDir(env).absolutePath();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString PresetsFolder() {
    return QDir(Home()).filePath(QStringLiteral("Presets"));
}
QString DocumentPresetsFolder() {
    return QDir(PresetsFolder()).filePath(QStringLiteral("Document Presets"));
}
QString StockPresetsFolder() {
    return QDir(PresetsFolder()).filePath(QStringLiteral("Stock Presets"));
}
QString PreferencesFolder() {
    return QDir(Home()).filePath(QStringLiteral("Preferences"));
}

} // namespace programfolder
