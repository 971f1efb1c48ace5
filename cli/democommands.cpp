#include "democommands.h"

#include "demo/demoorders.h"
#include "demo/demoshop.h"

#include <QDir>

namespace {

int MakeDemoShop(CommandLine& args) {
    QStringList folders;
    if (!args.Positionals(folders, 1, 1))
        return Fail(args.Error(), 2);
    CDemoShop shop;
    if (!shop.Create(folders.at(0)))
        return Fail(shop.LastError());
    const QString home = QDir(folders.at(0)).absolutePath();
    PrintLine(QStringLiteral("demo shop made in %1: %2 orders; log in as demo/demo")
                  .arg(home)
                  .arg(demoorders::Orders().size()));
    PrintLine(QStringLiteral("use it with: tessel-cli --home \"%1\" ...").arg(home));
    return 0;
}

} // namespace

std::vector<Command> DemoCommands() {
    return {
        {"demo-shop", "DIR",
         "make a complete demo shop (preferences, presets, labels, accounts, job folders with "
         "orders and their PDFs) in DIR, which must be new or empty",
         MakeDemoShop},
    };
}
