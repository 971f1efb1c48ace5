#include "commandhelp.h"
#include "commandline.h"
#include "democommands.h"
#include "jobcommands.h"
#include "markupcommands.h"
#include "pdfcommands.h"
#include "plancommands.h"
#include "platecommands.h"
#include "preflightcommands.h"
#include "presscommands.h"

#include "records/programfolder.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

std::vector<Command> AllCommands() {
    std::vector<Command> commands;
    for (auto&& group : {MarkupCommands(), JobCommands(), PlateCommands(), PlanCommands(),
                         PdfCommands(), PressCommands(), PreflightCommands()})
        commands.insert(commands.end(), group.begin(), group.end());
    const std::vector<Command> demo = DemoCommands();
    commands.insert(commands.end(), demo.begin(), demo.end());
    return commands;
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
        // Global options may stand before the command.
        if (std::strcmp(argv[i], "--home") == 0) {
            ++i;
            continue;
        }
        if (argv[i][0] == '-')
            continue;
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
    CommandLine args(QCoreApplication::arguments().mid(1));
    if (args.TakeFlag(QStringLiteral("--version"))) {
        PrintLine(QStringLiteral("tessel-cli %1").arg(QLatin1String(TESSEL_VERSION)));
        return 0;
    }
    SetQuiet(args.TakeFlag(QStringLiteral("--quiet")));
    bool help = args.TakeHelp();
    QString home;
    if (!args.TakeOption(QStringLiteral("--home"), home))
        return Fail(args.Error(), 2);
    if (!home.isEmpty())
        programfolder::SetHome(home);
    while (!args.Words().isEmpty() && args.Words().first() == QLatin1String("help")) {
        help = true;
        args.DropLeading(1);
    }
    const QStringList words = args.Words();
    if (words.isEmpty()) {
        commandhelp::PrintOverview(commands);
        return help ? 0 : 2;
    }

    // Commands are one or two words long; the longest match wins.
    const Command* match = nullptr;
    qsizetype matchLength = 0;
    for (const Command& command : commands) {
        const QStringList name = QString::fromLatin1(command.name).split(QLatin1Char(' '));
        if (name.size() > matchLength && words.mid(0, name.size()) == name) {
            match = &command;
            matchLength = name.size();
        }
    }
    if (match) {
        if (help) {
            commandhelp::PrintCommand(*match);
            return 0;
        }
        args.DropLeading(matchLength);
        args.SetUsage(QStringLiteral("tessel-cli %1 %2")
                          .arg(QLatin1String(match->name), QLatin1String(match->usage)));
        return match->run(args);
    }
    if (words.first().startsWith(QLatin1Char('-')) && words.first() != QLatin1String("--"))
        return Fail(QStringLiteral("unknown option %1; see tessel-cli --help").arg(words.first()),
                    2);
    // A group's word alone ("tessel-cli plate"): its commands.
    if (words.size() == 1 || help) {
        if (help && commandhelp::PrintGroup(commands, words.first()))
            return 0;
        QStringList members;
        for (const Command& command : commandhelp::InHelpOrder(commands)) {
            const QString name = QString::fromLatin1(command.name);
            if (name.startsWith(words.first() + QLatin1Char(' ')))
                members << name.section(QLatin1Char(' '), 1);
        }
        if (!members.isEmpty())
            return Fail(QStringLiteral("%1 needs a command: %2; see tessel-cli help %1")
                            .arg(words.first(), members.join(QStringLiteral(", "))),
                        2);
    }
    return Fail(QStringLiteral("unknown command \"%1\"; see tessel-cli --help")
                    .arg(words.join(QLatin1Char(' '))),
                2);
}
