#include "commandline.h"
#include "democommands.h"
#include "jobcommands.h"
#include "markupcommands.h"
#include "pdfcommands.h"
#include "plancommands.h"
#include "platecommands.h"
#include "presscommands.h"

#include "records/programfolder.h"
#include "records/recordkinds.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

std::vector<Command> AllCommands() {
    std::vector<Command> commands;
    for (auto&& group : {MarkupCommands(), JobCommands(), PlateCommands(), PlanCommands(),
                         PdfCommands(), PressCommands()})
        commands.insert(commands.end(), group.begin(), group.end());
    const std::vector<Command> demo = DemoCommands();
    commands.insert(commands.end(), demo.begin(), demo.end());
    return commands;
}

void PrintHelp(const std::vector<Command>& commands) {
    PrintLine(QStringLiteral("Usage: tessel-cli [--home DIR] COMMAND [ARGUMENTS]"));
    PrintLine(QString());
    PrintLine(QStringLiteral("Tessel's imposition engine on the command line."));
    PrintLine(QString());
    PrintLine(QStringLiteral("Commands:"));
    for (const Command& command : commands) {
        PrintLine(QStringLiteral("  %1 %2").arg(QLatin1String(command.name),
                                                QLatin1String(command.usage)));
        PrintLine(QStringLiteral("      %1").arg(QLatin1String(command.summary)));
    }
    PrintLine(QString());
    PrintLine(QStringLiteral("Options:"));
    PrintLine(
        QStringLiteral("  --home DIR   the installation folder with Preferences and Presets"));
    PrintLine(QStringLiteral("               (default: $TESSEL_HOME, else the program's folder)"));
    QStringList kinds;
    for (const RecordKind& kind : RecordKinds())
        kinds << QStringLiteral("%1 (%2)").arg(kind.name, kind.description);
    PrintLine(QString());
    PrintLine(QStringLiteral("Record kinds (KIND): %1").arg(kinds.join(QStringLiteral(", "))));
}

// Drawing commands run without a desktop session, where Qt says at every
// start that it made up a runtime folder; that says nothing to an operator.
QtMessageHandler g_defaultHandler = nullptr;

void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    g_defaultHandler(type, context, message);
}

} // namespace

// Whether the command named on the command line draws: it then needs Qt Gui.
static bool CommandDraws(const std::vector<Command>& commands, int argc, char* argv[]) {
    QStringList words;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--home") == 0) {
            ++i;
            continue;
        }
        words << QString::fromLocal8Bit(argv[i]);
    }
    return std::any_of(commands.begin(), commands.end(), [&](const Command& command) {
        const QStringList name = QString::fromLatin1(command.name).split(QLatin1Char(' '));
        return command.draws && words.mid(0, name.size()) == name;
    });
}

int main(int argc, char* argv[]) {
    const std::vector<Command> commands = AllCommands();
    const bool draws = CommandDraws(commands, argc, argv);
    if (draws && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_defaultHandler = qInstallMessageHandler(QuietMessages);
    std::unique_ptr<QCoreApplication> app(draws ? new QGuiApplication(argc, argv)
                                                : new QCoreApplication(argc, argv));
    QStringList words = QCoreApplication::arguments().mid(1);

    if (words.isEmpty() || words.first() == QLatin1String("--help") ||
        words.first() == QLatin1String("-h")) {
        PrintHelp(commands);
        return words.isEmpty() ? 2 : 0;
    }
    CommandLine global(words);
    QString home;
    if (!global.TakeOption(QStringLiteral("--home"), home))
        return Fail(global.Error(), 2);
    if (!home.isEmpty())
        programfolder::SetHome(home);
    words = global.Words();

    // Commands are one or two words long; the longest match wins.
    for (const Command& command : commands) {
        const QStringList name = QString::fromLatin1(command.name).split(QLatin1Char(' '));
        if (words.mid(0, name.size()) == name) {
            CommandLine args(words.mid(name.size()));
            if (args.TakeFlag(QStringLiteral("--help"))) {
                PrintLine(QStringLiteral("Usage: tessel-cli %1 %2")
                              .arg(QLatin1String(command.name), QLatin1String(command.usage)));
                return 0;
            }
            return command.run(args);
        }
    }
    return Fail(QStringLiteral("unknown command \"%1\"; see tessel-cli --help")
                    .arg(words.join(QLatin1Char(' '))),
                2);
}
