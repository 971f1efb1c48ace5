#include "clirun.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList Words(const QString& line) {
    return line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The command names the overview lists, e.g. "plate new".
QStringList CommandNames() {
    const CliRun overview = Cli({QStringLiteral("--help")});
    const QString commands = overview.out.section(QStringLiteral("Commands:\n"), 1)
                                 .section(QStringLiteral("\n\n"), 0, 0);
    QStringList names;
    static const QRegularExpression entry(QStringLiteral("^  (\\S+(?: \\S+)?)  "));
    for (const QString& line : commands.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = entry.match(line);
        if (match.hasMatch())
            names << match.captured(1).trimmed();
    }
    return names;
}

} // namespace

TEST(CliOptions, HelpVersionAndUsageErrors) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    struct Case {
        QString line;
        int code;
        QString out; // contained in standard output
        QString err; // how standard error begins
    };
    const Case cases[] = {
        {QString(), 2, QStringLiteral("Usage: tessel-cli [OPTIONS] COMMAND"), QString()},
        {QStringLiteral("--help"), 0, QStringLiteral("\n  plate new "), QString()},
        {QStringLiteral("help"), 0, QStringLiteral("\n  demo-shop "), QString()},
        {QStringLiteral("help help"), 0, QStringLiteral("\n  demo-shop "), QString()},
        {QStringLiteral("--version"), 0, QStringLiteral("tessel-cli "), QString()},
        {QStringLiteral("plate --help"), 0, QStringLiteral("\n  plate register PLATE.tzmp"),
         QString()},
        {QStringLiteral("help plate"), 0, QStringLiteral("\n  plate place PLATE.tzmp"), QString()},
        {QStringLiteral("jobs list -h"), 0, QStringLiteral("\n  --plate-quantity N  "), QString()},
        {QStringLiteral("help plate press"), 0, QStringLiteral("\n  --type 0|1|2  "), QString()},
        {QStringLiteral("plate place --help"), 0, QStringLiteral("in millimetres"), QString()},
        {QStringLiteral("plate"), 2, QString(),
         QStringLiteral("tessel-cli: plate needs a command: new, show, place, press, cutplan, "
                        "preflight, register; "
                        "see tessel-cli help plate\n")},
        {QStringLiteral("plate nothing"), 2, QString(),
         QStringLiteral("tessel-cli: unknown command \"plate nothing\"; see tessel-cli --help\n")},
        {QStringLiteral("--bogus"), 2, QString(),
         QStringLiteral("tessel-cli: unknown option --bogus; see tessel-cli --help\n")},
        {QStringLiteral("jobs list %1 --bogus").arg(folder), 2, QString(),
         QStringLiteral("tessel-cli: unknown option --bogus (a file name that begins with \"-\" "
                        "goes after \"--\")\n")},
        {QStringLiteral("jobs list %1 --plate-quantity 0").arg(folder), 2, QString(),
         QStringLiteral(
             "tessel-cli: --plate-quantity wants a whole number of 1 or more, not \"0\"\n")},
        {QStringLiteral("jobs list %1 --plate-quantity=-5").arg(folder), 2, QString(),
         QStringLiteral(
             "tessel-cli: --plate-quantity wants a whole number of 1 or more, not \"-5\"\n")},
        {QStringLiteral("jobs list %1 --grid 0 0").arg(folder), 2, QString(),
         QStringLiteral(
             "tessel-cli: --grid wants 2 numbers greater than 0 in millimetres, not \"0 0\"\n")},
        {QStringLiteral("jobs list %1 --grid 92").arg(folder), 2, QString(),
         QStringLiteral("tessel-cli: option --grid needs 2 values\n")},
        {QStringLiteral("--home"), 2, QString(),
         QStringLiteral("tessel-cli: option --home needs a value\n")},
        // Options in either form, global ones after the command too.
        {QStringLiteral("jobs list --plate-quantity=3 %1 --home=%1 --grid 92 52").arg(folder), 0,
         QStringLiteral("주문번호"), QString()},
        {QStringLiteral("--home %1 jobs list %1").arg(folder), 0, QStringLiteral("주문번호"),
         QString()},
        // A wrong count of arguments shows the usage; missing options are named.
        {QStringLiteral("markup resave a"), 2, QString(),
         QStringLiteral("tessel-cli: missing arguments; usage: tessel-cli markup resave IN OUT "
                        "[--kind KIND]\n")},
        {QStringLiteral("plate new --preset A --quiet"), 2, QString(),
         QStringLiteral("tessel-cli: plate new needs --preset NAME, --type PAN and --account A; "
                        "missing: --type PAN, --account A\n")},
        {QStringLiteral("plate register a.tzmp --url ftp://host/reg"), 2, QString(),
         QStringLiteral("tessel-cli: --url wants an http URL")},
        // After "--" a word is an argument, even "-h".
        {QStringLiteral("pdf info -- -h"), 1, QString(), QStringLiteral("tessel-cli: -h: ")},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(Words(c.line));
        EXPECT_EQ(run.code, c.code) << c.line.toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(c.out)) << c.line.toStdString() << "\n"
                                             << run.out.toStdString();
        if (c.code == 0)
            EXPECT_EQ(run.err, QString()) << c.line.toStdString();
        else
            EXPECT_TRUE(run.err.startsWith(c.err)) << c.line.toStdString() << "\n"
                                                   << run.err.toStdString();
    }
}

TEST(CliOptions, EveryCommandExplainsItselfWithin80Columns) {
    const QStringList names = CommandNames();
    ASSERT_GE(names.size(), 12) << names.join(QLatin1Char(',')).toStdString();
    QStringList pages = {QStringLiteral("--help"), QStringLiteral("help plate"),
                         QStringLiteral("help pdf")};
    for (const QString& name : names)
        pages << QStringLiteral("help ") + name;
    for (const QString& page : pages) {
        const bool ofACommand = names.contains(page.mid(5));
        const CliRun run = Cli(Words(page));
        EXPECT_EQ(run.code, 0) << page.toStdString();
        for (const QString& line : run.out.split(QLatin1Char('\n')))
            EXPECT_LE(line.size(), 80) << page.toStdString() << ": " << line.toStdString();
        // Each option of the usage line is explained under "Options:".
        const QString usage = run.out.section(QStringLiteral("\n\n"), 0, 0);
        const QString options = run.out.section(QStringLiteral("Options:\n"), 1);
        static const QRegularExpression option(QStringLiteral("--[a-z-]+"));
        if (!ofACommand)
            continue;
        for (const QRegularExpressionMatch& match : option.globalMatch(usage))
            EXPECT_TRUE(
                options.contains(QStringLiteral("  ") + match.captured() + QLatin1Char(' ')) ||
                options.contains(QStringLiteral("  ") + match.captured() + QLatin1Char('\n')))
                << page.toStdString() << ": " << match.captured().toStdString();
    }
}
