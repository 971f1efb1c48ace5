#include "mainframe.h"
#include "tesselapp.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tessel"));
    QApplication::setApplicationName(QStringLiteral("Tessel"));
    QApplication::setApplicationVersion(QStringLiteral(TESSEL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tessel"));

    // The operator reads Korean: Qt's own buttons and dialogs too.
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    QFont font = QApplication::font();
    font.setFamilies({font.family(), QStringLiteral("NanumGothic")});
    QApplication::setFont(font);

    CtesselApp tessel;
    if (!tessel.InitInstance(QApplication::arguments()))
        return tessel.ExitCode();
    const int code = QApplication::exec();
    tessel.ExitInstance();
    return code;
}
