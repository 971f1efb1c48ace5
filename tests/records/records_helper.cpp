// A second process for the tests of shared records: it waits for "go" on
// its standard input, so that several helpers start their work together.
//
//   records_helper login ACCOUNT_FILE PASSWORD
//       prints the login result, then holds the session until its standard
//       input closes, and logs out
//   records_helper codes PRESET_DIR COUNT PREFIX
//       issues COUNT plate codes for 7 March 2011, one per line

#include "records/zelaccount.h"
#include "records/zelpancode.h"
#include "records/zelpreference.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void WaitForGo() {
    std::string line;
    while (std::getline(std::cin, line) && line != "go") {
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("login")) {
        CZelAccount account(args.at(2));
        WaitForGo();
        std::printf("%d\n", account.Login(args.at(3)));
        std::fflush(stdout);
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        return 0;
    }
    if (args.size() == 5 && args.at(1) == QLatin1String("codes")) {
        CZelPreference preference;
        preference.SetFolder(CZelPreference::Folder::Preset, args.at(2));
        const int count = args.at(3).toInt();
        WaitForGo();
        for (int i = 0; i < count; ++i) {
            CZelPanCode code;
            QString text;
            if (!code.IssuePlateCode(preference, args.at(4), QStringLiteral("명함판"),
                                     QStringLiteral("helper"), QStringLiteral("도우미"),
                                     QDate(2011, 3, 7)) ||
                !code.GetPlateCode(text)) {
                std::printf("failed: %s\n", code.LastError().toUtf8().constData());
                return 1;
            }
            std::printf("%s\n", text.toUtf8().constData());
        }
        return 0;
    }
    std::fprintf(stderr,
                 "usage: records_helper login FILE PASSWORD | codes PRESET_DIR COUNT PREFIX\n");
    return 2;
}
