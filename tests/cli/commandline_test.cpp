#include "cli/commandline.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

QStringList Words(const char* line) {
    return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

TEST(CliCommandLine, OptionFormsAndTheEndOfOptions) {
    struct Case {
        const char* line;
        const char* value;       // of --kind; "" when absent
        const char* positionals; // joined by spaces; nullptr when they fail
    };
    const Case cases[] = {
        {"a.tzmp --kind tzmp", "tzmp", "a.tzmp"},
        {"--kind=tzmp a.tzmp", "tzmp", "a.tzmp"},
        {"--kind=x=y a", "x=y", "a"},
        {"a -- --kind tzmp", "", "a --kind tzmp"},
        {"-- -x.pdf", "", "-x.pdf"},
        {"--kind tzmp -- --", "tzmp", "--"},
        {"a --other", "", nullptr},
        {"a -x", "", nullptr},
        {"a -", "", "a -"},
    };
    for (const Case& c : cases) {
        CommandLine args(Words(c.line));
        QString kind;
        ASSERT_TRUE(args.TakeOption(QStringLiteral("--kind"), kind)) << c.line;
        EXPECT_EQ(kind, QString::fromUtf8(c.value)) << c.line;
        QStringList rest;
        const bool ok = args.Positionals(rest, 0, 10);
        EXPECT_EQ(ok, c.positionals != nullptr) << c.line;
        if (ok && c.positionals)
            EXPECT_EQ(rest.join(QLatin1Char(' ')), QString::fromUtf8(c.positionals)) << c.line;
    }
}

TEST(CliCommandLine, MissingValuesAndHelpFlags) {
    CommandLine end(Words("--kind -- tzmp"));
    QString kind;
    EXPECT_FALSE(end.TakeOption(QStringLiteral("--kind"), kind));
    EXPECT_EQ(end.Error(), QStringLiteral("option --kind needs a value"));

    CommandLine grid(Words("--grid 92"));
    QStringList values;
    EXPECT_FALSE(grid.TakeOption(QStringLiteral("--grid"), values, 2));
    EXPECT_EQ(grid.Error(), QStringLiteral("option --grid needs 2 values"));

    for (const char* line : {"a -h", "--help a", "a -h --help"}) {
        CommandLine args(Words(line));
        EXPECT_TRUE(args.TakeHelp()) << line;
        EXPECT_EQ(args.Words(), QStringList{QStringLiteral("a")}) << line;
    }
    CommandLine after(Words("-- -h"));
    EXPECT_FALSE(after.TakeHelp());
}

TEST(CliCommandLine, NumbersAreCheckedWithTheReason) {
    struct Case {
        const char* line;
        bool ok;
        const char* error;
    };
    const Case counts[] = {
        {"--n 3", true, ""},
        {"--n 0", false, "--n wants a whole number of 1 or more, not \"0\""},
        {"--n -5", false, "--n wants a whole number of 1 or more, not \"-5\""},
        {"--n 2.5", false, "--n wants a whole number of 1 or more, not \"2.5\""},
        {"--n", false, "option --n needs a value"},
    };
    for (const Case& c : counts) {
        CommandLine args(Words(c.line));
        int n = 7;
        EXPECT_EQ(args.TakeWholeNumber(QStringLiteral("--n"), n, 1), c.ok) << c.line;
        EXPECT_EQ(args.Error(), QString::fromUtf8(c.error)) << c.line;
        EXPECT_EQ(n, c.ok ? 3 : 7) << c.line;
    }
    const Case grids[] = {
        {"--grid 92 52.5", true, ""},
        {"--grid 0 0", false, "--grid wants 2 numbers greater than 0 in mm, not \"0 0\""},
        {"--grid 92 -1", false, "--grid wants 2 numbers greater than 0 in mm, not \"92 -1\""},
        {"--grid 92 x", false, "--grid wants 2 numbers greater than 0 in mm, not \"92 x\""},
        {"--grid nan 5", false, "--grid wants 2 numbers greater than 0 in mm, not \"nan 5\""},
    };
    for (const Case& c : grids) {
        CommandLine args(Words(c.line));
        std::vector<double> grid;
        EXPECT_EQ(args.TakePositiveNumbers(QStringLiteral("--grid"), grid, 2, QStringLiteral("mm")),
                  c.ok)
            << c.line;
        EXPECT_EQ(args.Error(), QString::fromUtf8(c.error)) << c.line;
        EXPECT_EQ(grid, (c.ok ? std::vector<double>{92, 52.5} : std::vector<double>{})) << c.line;
    }
}

TEST(CliCommandLine, PasswordFromOptionFileOrEnvironment) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("password"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("s3cret 비밀\r\nsecond line\n");
    out.close();
    const QString missing = dir.filePath(QStringLiteral("none"));

    struct Case {
        QStringList words;
        const char* environment; // nullptr: unset
        bool ok;
        QString password;
    };
    const Case cases[] = {
        {{QStringLiteral("--password"), QStringLiteral("p")}, "env", true, QStringLiteral("p")},
        {{QStringLiteral("--password-file"), file}, "env", true, QStringLiteral("s3cret 비밀")},
        {{QStringLiteral("--password-file=") + file}, nullptr, true, QStringLiteral("s3cret 비밀")},
        {{}, "from env", true, QStringLiteral("from env")},
        {{QStringLiteral("--password-file"), missing}, "env", false, {}},
        {{QStringLiteral("--password"), QStringLiteral("p"), QStringLiteral("--password-file"),
          file},
         nullptr,
         false,
         {}},
    };
    for (const Case& c : cases) {
        if (c.environment)
            qputenv("TESSEL_PASSWORD", c.environment);
        else
            qunsetenv("TESSEL_PASSWORD");
        CommandLine args(c.words);
        QString password;
        EXPECT_EQ(args.TakePassword(password), c.ok)
            << c.words.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(password, c.password);
        EXPECT_TRUE(args.Words().isEmpty());
    }
    qunsetenv("TESSEL_PASSWORD");
    if (!isatty(STDIN_FILENO)) {
        // Nobody to ask: the error names every way to give one.
        CommandLine args{QStringList()};
        QString password;
        EXPECT_FALSE(args.TakePassword(password));
        EXPECT_EQ(args.Error(), QStringLiteral("a password is needed: --password-file FILE, "
                                               "$TESSEL_PASSWORD or --password P"));
    }
}

TEST(CliCommandLine, PasswordIsAskedOnATerminalWithoutEcho) {
    qunsetenv("TESSEL_PASSWORD");
    int terminal = -1, side = -1;
    ASSERT_EQ(openpty(&terminal, &side, nullptr, nullptr, nullptr), 0);
    const int savedInput = dup(STDIN_FILENO);
    ASSERT_EQ(dup2(side, STDIN_FILENO), STDIN_FILENO);
    // Typed before the question is asked: it must not be thrown away.
    ASSERT_EQ(write(terminal, "typed ahead\n", 12), 12);

    // Should the typed line be lost, an empty one ends the wait.
    std::atomic<bool> answered = false;
    std::thread rescue([&] {
        for (int i = 0; i < 200 && !answered; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!answered)
            (void)!write(terminal, "\n", 1);
    });
    CommandLine args{QStringList()};
    QString password;
    const bool ok = args.TakePassword(password);
    answered = true;
    rescue.join();
    termios after{};
    tcgetattr(STDIN_FILENO, &after);
    dup2(savedInput, STDIN_FILENO);
    close(savedInput);

    EXPECT_TRUE(ok) << args.Error().toStdString();
    EXPECT_EQ(password, QStringLiteral("typed ahead"));
    EXPECT_TRUE(after.c_lflag & ECHO) << "the terminal's echo is back on";
    close(side);
    close(terminal);
}
