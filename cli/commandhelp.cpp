#include "commandhelp.h"

#include "records/recordkinds.h"

#include <algorithm>
#include <map>

namespace commandhelp {

namespace {

struct OptionHelp {
    const char* option;
    const char* meaning;
};

struct CommandHelp {
    const char* name;
    std::vector<OptionHelp> options;
};

// In the order an operator meets the commands: a plate's life first.
const std::vector<CommandHelp>& Helps() {
    static const std::vector<CommandHelp> helps = {
        {"plate new",
         {{"--preset NAME", "the document preset the plate is made from (a preset of the "
                            "installation's Presets folder)"},
          {"--type PAN", "the plate type: one of the plate-type prefixes of the site settings"},
          {"--date YYYY-MM-DD", "the plate's date (default: today)"},
          {"--account A", "the account that logs in to the shop's server"},
          {"--password-file FILE", "a file whose first line is the account's password (else "
                                   "$TESSEL_PASSWORD, else asked on the terminal)"},
          {"--password P", "the password on the command line (it shows in ps and the shell "
                           "history)"},
          {"--json", "print the plate's number and path as JSON"}}},
        {"plate show",
         {{"--orders", "print the plate's orders instead of its items"},
          {"--summary", "print the plate's summary file (written by plate press in code page "
                        "949), decoded"},
          {"--json", "print the same as JSON (the README gives the fields)"}}},
        {"plate place",
         {{"FOLDER|TICKET...", "a job folder (all its tickets) or single job tickets"},
          {"--at X Y", "where the orders are dropped on the plate, in millimetres from its "
                       "top-left corner (default: the usable area's top-left corner)"},
          {"--one-copy", "place one copy of each order, not as many as its quantity asks"},
          {"--yes", "answer yes to the plate's questions (quantities, room)"},
          {"--no", "answer no: the whole drop is cancelled before any ticket moves; every "
                   "order is \"not taken\" and stays in its job folder"},
          {"--json", "print each order's fate and the plate's counts as JSON"},
          {"", "without --yes or --no the first question fails the command"},
          {"", "each order ends as \"placed\", \"not taken\" (never moved), \"returned\" "
               "(moved but not placed: its ticket is back in the job folder it came from and "
               "can be placed again) or \"NOT RETURNED\" (left in the plate's progress folder)"}}},
        {"plate press",
         {{"--type 0|1|2", "how the press files are split: 0 one file, 1 the label page apart, "
                           "2 each side apart (default: the MAKE_PDF_TYPE preference)"},
          {"--press-dir DIR", "the press folder the files go to (default: the preference's)"},
          {"--title-name", "name the press files after the plate's title, not its file"},
          {"--replace", "remove this plate's files of another press type from the press folder "
                        "(else they are named, as the plate might print twice)"},
          {"--json", "print the files written as JSON"}}},
        {"plate cutplan",
         {{"--json", "print the plan as JSON: the cuts in order (piece, axis, position_mm), the "
                     "items' trim rectangles, the waste and the counts"}}},
        {"plate preflight",
         {{"--json", "print JSON: bleed_mm, min_dpi, orders (ordernum, pdf, findings: code, page, "
                     "pages, value, text, detail), orders_with_findings, findings"},
          {"--bleed MM", "the bleed the artwork must have beyond the finished size (default 2)"},
          {"--min-dpi N", "images below this resolution where placed are findings (default 250)"},
          {"", "exit code 0: no findings; 3: findings; 1: the check could not run"}}},
        {"plate register",
         {{"--url URL", "the registration server, an http URL (default: the PLATE_REG_URL "
                        "preference)"}}},
        {"jobs list",
         {{"--plate PLATE.tzmp", "count places for this plate: its press quantity and grid"},
          {"--plate-quantity N", "the plate's press quantity in sheets, 1 or more (default 200)"},
          {"--grid W H", "the plate's grid cell in millimetres, each above 0 (default 92 52)"},
          {"--json", "print the caption and every order as JSON"}}},
        {"jobs preflight",
         {{"--json", "print JSON: bleed_mm, min_dpi, orders (ordernum, pdf, findings: code, page, "
                     "pages, value, text, detail), orders_with_findings, findings"},
          {"--bleed MM", "the bleed the artwork must have beyond the finished size (default 2)"},
          {"--min-dpi N", "images below this resolution where placed are findings (default 250)"},
          {"", "exit code 0: no findings; 3: findings; 1: the check could not run"}}},
        {"plan",
         {{"--preset NAME", "a document preset plates may be made from; repeat it for more"},
          {"--plate-cost X", "the cost of one plate (0 or more)"},
          {"--sheet-cost Y", "the cost of one press sheet (0 or more)"},
          {"--split", "let one order's quantity be spread over several plates"},
          {"--time-limit S", "seconds the search may take"},
          {"--json", "print the plan as JSON"},
          {"--apply", "create the plan's plates and place their orders"},
          {"--account A", "with --apply: the account that logs in"},
          {"--password-file FILE", "with --apply: a file whose first line is the password "
                                   "(else $TESSEL_PASSWORD, else asked on the terminal)"},
          {"--password P", "the password on the command line (it shows in ps and the shell "
                           "history)"},
          {"--type PAN", "with --apply: the plate type (default: the site's first)"},
          {"--date YYYY-MM-DD", "with --apply: the plates' date (default: today)"}}},
        {"pdf info", {}},
        {"pdf preview",
         {{"--page N", "the page, from 1 (default 1)"},
          {"--rotate DEG", "turn the preview by 0, 90, 180 or 270 degrees"}}},
        {"markup dump",
         {{"--kind KIND", "read the file as this record kind (default: by its extension; "
                          "tessel-cli --help lists the kinds)"}}},
        {"markup resave",
         {{"--kind KIND", "read the file as this record kind (default: by its extension; "
                          "tessel-cli --help lists the kinds)"}}},
        {"demo-shop", {}},
    };
    return helps;
}

const CommandHelp* HelpOf(const Command& command) {
    for (const CommandHelp& help : Helps())
        if (QLatin1String(help.name) == QLatin1String(command.name))
            return &help;
    return nullptr;
}

QString Group(const Command& command) {
    return QString::fromLatin1(command.name).section(QLatin1Char(' '), 0, 0);
}

void PrintAll(const QStringList& lines) {
    for (const QString& line : lines)
        PrintLine(line);
}

void PrintGlobalOptions() {
    PrintLine(QStringLiteral("Options of every command:"));
    PrintAll(Wrap(QStringLiteral("  --home DIR   "),
                  QStringLiteral("the installation folder with Preferences and Presets "
                                 "(default: $TESSEL_HOME, else the program's folder)"),
                  15));
    PrintLine(QStringLiteral("  -h, --help   this help; \"COMMAND --help\" explains a command"));
    PrintLine(
        QStringLiteral("  --quiet      no progress or notes; warnings and errors still show"));
    PrintLine(QStringLiteral("  --version    the program's version"));
    PrintLine(QStringLiteral("  --           the end of the options: later words are arguments"));
    PrintAll(Wrap(QString(),
                  QStringLiteral("An option's value follows it as the next word or after "
                                 "\"=\": --home DIR or --home=DIR."),
                  0));
}

} // namespace

QStringList Wrap(const QString& lead, const QString& text, int indent, int width) {
    QStringList lines;
    QString line = lead;
    bool empty = true; // nothing of the text on this line yet
    // An option keeps its values on its line: "--at X Y" is one unit.
    QStringList units;
    bool option = false;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool value = word.at(0).isUpper() || word.at(0).isDigit();
        if (option && value) {
            units.last() += QLatin1Char(' ') + word;
            continue;
        }
        option = word.startsWith(QLatin1Char('-')) || word.startsWith(QLatin1String("[-"));
        units << word;
    }
    for (const QString& word : units) {
        if (!empty && line.size() + 1 + word.size() > width) {
            lines << line;
            line = QString(indent, QLatin1Char(' '));
            empty = true;
        }
        if (!empty)
            line += QLatin1Char(' ');
        line += word;
        empty = false;
    }
    lines << line;
    return lines;
}

std::vector<Command> InHelpOrder(std::vector<Command> commands) {
    const auto rank = [](const Command& command) {
        const std::vector<CommandHelp>& helps = Helps();
        const auto found = std::find_if(helps.begin(), helps.end(), [&](const CommandHelp& help) {
            return QLatin1String(help.name) == QLatin1String(command.name);
        });
        return found - helps.begin();
    };
    std::stable_sort(commands.begin(), commands.end(),
                     [&](const Command& a, const Command& b) { return rank(a) < rank(b); });
    return commands;
}

void PrintOverview(const std::vector<Command>& commands) {
    PrintLine(QStringLiteral("Usage: tessel-cli [OPTIONS] COMMAND [ARGUMENTS]"));
    PrintLine(QStringLiteral("       tessel-cli help [COMMAND]"));
    PrintLine(QString());
    PrintLine(QStringLiteral("Tessel's imposition engine on the command line."));
    PrintLine(QString());
    PrintLine(QStringLiteral("Commands:"));
    for (const Command& command : InHelpOrder(commands)) {
        const QString name = QStringLiteral("  %1").arg(QLatin1String(command.name), -16);
        PrintAll(Wrap(name, QLatin1String(command.summary), 18));
    }
    PrintLine(QString());
    PrintGlobalOptions();
    QStringList kinds;
    for (const RecordKind& kind : RecordKinds())
        kinds << QStringLiteral("%1 (%2)").arg(kind.name, kind.description);
    PrintLine(QString());
    PrintAll(Wrap(QStringLiteral("Record kinds (KIND): "), kinds.join(QStringLiteral(", ")), 2));
    PrintLine(QString());
    PrintLine(QStringLiteral("See \"tessel-cli help COMMAND\" for a command's arguments."));
}

bool PrintGroup(const std::vector<Command>& commands, const QString& group) {
    std::vector<Command> members;
    for (const Command& command : InHelpOrder(commands))
        if (Group(command) == group)
            members.push_back(command);
    if (members.empty())
        return false;
    PrintLine(QStringLiteral("Usage: tessel-cli %1 COMMAND [ARGUMENTS]").arg(group));
    PrintLine(QString());
    PrintLine(QStringLiteral("Commands:"));
    for (const Command& command : members) {
        PrintAll(Wrap(QStringLiteral("  %1 ").arg(QLatin1String(command.name)),
                      QLatin1String(command.usage), 6));
        PrintAll(Wrap(QStringLiteral("      "), QLatin1String(command.summary), 6));
    }
    PrintLine(QString());
    PrintLine(
        QStringLiteral("See \"tessel-cli help %1 COMMAND\" for a command's options.").arg(group));
    return true;
}

void PrintCommand(const Command& command) {
    PrintAll(Wrap(QStringLiteral("Usage: tessel-cli %1 ").arg(QLatin1String(command.name)),
                  QLatin1String(command.usage), 11));
    PrintLine(QString());
    QString summary = QLatin1String(command.summary);
    summary[0] = summary[0].toUpper();
    PrintAll(Wrap(QString(), summary + QLatin1Char('.'), 0));
    const CommandHelp* help = HelpOf(command);
    if (help && !help->options.empty()) {
        PrintLine(QString());
        PrintLine(QStringLiteral("Options:"));
        QStringList notes;
        for (const OptionHelp& option : help->options) {
            const QString name = QLatin1String(option.option);
            // An entry without an option is a note on all of them, shown after them.
            if (name.isEmpty()) {
                QString note = QLatin1String(option.meaning);
                note[0] = note[0].toUpper();
                notes << note + QLatin1Char('.');
                continue;
            }
            // Meanings start in one column; a long option takes a line of its own.
            constexpr int column = 22;
            if (name.size() + 3 > column) {
                PrintLine(QStringLiteral("  ") + name);
                PrintAll(
                    Wrap(QString(column, QLatin1Char(' ')), QLatin1String(option.meaning), column));
            } else {
                PrintAll(Wrap(QStringLiteral("  %1").arg(name, -(column - 2)),
                              QLatin1String(option.meaning), column));
            }
        }
        for (const QString& note : notes) {
            PrintLine(QString());
            PrintAll(Wrap(QString(), note, 0));
        }
    }
    PrintLine(QString());
    PrintLine(QStringLiteral(
        "Options of every command: --home DIR, --quiet, -h/--help (tessel-cli --help)."));
}

} // namespace commandhelp
