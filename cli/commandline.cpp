#include "commandline.h"

#include <QFile>
#include <QJsonDocument>
#include <QLocale>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

const QString kEndOfOptions = QStringLiteral("--");

bool IsOptionWord(const QString& word) {
    return word.size() > 1 && word.startsWith(QLatin1Char('-'));
}

} // namespace

CommandLine::CommandLine(QStringList words) {
    // "--name=value" is "--name value"; after "--" nothing is an option.
    bool options = true;
    for (QString& word : words) {
        if (!options) {
            m_words << word;
            continue;
        }
        if (word == kEndOfOptions)
            options = false;
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        if (options && word.startsWith(QLatin1String("--")) && equals > 2) {
            m_words << word.left(equals) << word.mid(equals + 1);
            continue;
        }
        m_words << word;
    }
}

qsizetype CommandLine::OptionsEnd() const {
    const qsizetype end = m_words.indexOf(kEndOfOptions);
    return end < 0 ? m_words.size() : end;
}

qsizetype CommandLine::IndexOf(const QString& name) const {
    const qsizetype index = m_words.indexOf(name);
    return index < OptionsEnd() ? index : -1;
}

bool CommandLine::TakeOption(const QString& name, QString& value) {
    QStringList values;
    if (!TakeOption(name, values, 1))
        return false;
    if (!values.isEmpty())
        value = values.first();
    return true;
}

bool CommandLine::TakeOption(const QString& name, QStringList& values, int count) {
    values.clear();
    const qsizetype index = IndexOf(name);
    if (index < 0)
        return true;
    if (index + count >= OptionsEnd()) {
        m_error = count == 1 ? QStringLiteral("option %1 needs a value").arg(name)
                             : QStringLiteral("option %1 needs %2 values").arg(name).arg(count);
        return false;
    }
    values = m_words.mid(index + 1, count);
    m_words.remove(index, count + 1);
    return true;
}

bool CommandLine::TakeFlag(const QString& name) {
    bool found = false;
    for (qsizetype index = IndexOf(name); index >= 0; index = IndexOf(name)) {
        m_words.removeAt(index);
        found = true;
    }
    return found;
}

bool CommandLine::TakeWholeNumber(const QString& name, int& value, int minimum) {
    QString text;
    if (!TakeOption(name, text))
        return false;
    if (text.isEmpty())
        return true;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < minimum) {
        m_error = QStringLiteral("%1 wants a whole number of %2 or more, not \"%3\"")
                      .arg(name)
                      .arg(minimum)
                      .arg(text);
        return false;
    }
    value = number;
    return true;
}

bool CommandLine::TakePositiveNumbers(const QString& name, std::vector<double>& values, int count,
                                      const QString& unit) {
    values.clear();
    QStringList texts;
    if (!TakeOption(name, texts, count))
        return false;
    for (const QString& text : texts) {
        bool ok = false;
        const double number = QLocale::c().toDouble(text, &ok);
        if (!ok || !(number > 0) || !std::isfinite(number)) {
            m_error = QStringLiteral("%1 wants %2 greater than 0 in %3, not \"%4\"")
                          .arg(name,
                               count == 1 ? QStringLiteral("a number")
                                          : QStringLiteral("%1 numbers").arg(count),
                               unit, texts.join(QLatin1Char(' ')));
            values.clear();
            return false;
        }
        values.push_back(number);
    }
    return true;
}

bool CommandLine::TakeHelp() {
    const bool longForm = TakeFlag(QStringLiteral("--help"));
    return TakeFlag(QStringLiteral("-h")) || longForm;
}

bool CommandLine::Positionals(QStringList& out, int minimum, int maximum) {
    const qsizetype end = OptionsEnd();
    for (qsizetype i = 0; i < end; ++i) {
        if (IsOptionWord(m_words.at(i))) {
            m_error = QStringLiteral("unknown option %1 (a file name that begins with \"-\" goes "
                                     "after \"--\")")
                          .arg(m_words.at(i));
            return false;
        }
    }
    QStringList words = m_words;
    if (end < words.size())
        words.removeAt(end);
    if (words.size() < minimum || words.size() > maximum) {
        m_error = words.size() < minimum ? QStringLiteral("missing arguments")
                                         : QStringLiteral("too many arguments");
        if (!m_usage.isEmpty())
            m_error += QStringLiteral("; usage: ") + m_usage;
        return false;
    }
    out = words;
    return true;
}

namespace {

// One line from the terminal with its echo off.
bool AskHidden(const QString& prompt, QString& answer) {
    std::fprintf(stderr, "%s", prompt.toUtf8().constData());
    std::fflush(stderr);
    termios saved{};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fputc('\n', stderr);
    answer = QString::fromLocal8Bit(line);
    return read;
}

} // namespace

bool CommandLine::TakePassword(QString& password) {
    QString given, file;
    if (!TakeOption(QStringLiteral("--password"), given) ||
        !TakeOption(QStringLiteral("--password-file"), file))
        return false;
    if (!given.isEmpty() && !file.isEmpty()) {
        m_error = QStringLiteral("give either --password or --password-file, not both");
        return false;
    }
    if (!file.isEmpty()) {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly)) {
            m_error =
                QStringLiteral("%1: cannot read the password file: %2").arg(file, in.errorString());
            return false;
        }
        // The first line without its line end, as "echo secret > FILE" wrote it.
        QByteArray line = in.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        password = QString::fromUtf8(line);
        return true;
    }
    if (!given.isEmpty()) {
        password = given;
        return true;
    }
    if (qEnvironmentVariableIsSet("TESSEL_PASSWORD")) {
        password = qEnvironmentVariable("TESSEL_PASSWORD");
        return true;
    }
    if (isatty(STDIN_FILENO) && AskHidden(QStringLiteral("Password: "), password))
        return true;
    m_error = QStringLiteral("a password is needed: --password-file FILE, $TESSEL_PASSWORD or "
                             "--password P");
    return false;
}

namespace {
bool g_quiet = false;
} // namespace

void SetQuiet(bool quiet) {
    g_quiet = quiet;
}

bool Quiet() {
    return g_quiet;
}

void PrintLine(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
}

void PrintWarning(const QString& line) {
    std::fprintf(stderr, "tessel-cli: warning: %s\n", line.toUtf8().constData());
}

void PrintWarnings(const QStringList& lines) {
    for (const QString& line : lines)
        PrintWarning(line);
}

void PrintNote(const QString& line) {
    if (g_quiet)
        return;
    // A progress bar may be drawn on the terminal's last line: clear it first.
    std::fprintf(stderr, isatty(STDERR_FILENO) ? "\r\033[K%s\n" : "%s\n",
                 line.toUtf8().constData());
}

int Fail(const QString& reason, int code) {
    std::fflush(stdout);
    std::fprintf(stderr, "tessel-cli: %s\n", reason.toUtf8().constData());
    return code;
}

void PrintJson(const QJsonObject& object) {
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
    std::fwrite(bytes.constData(), 1, bytes.size(), stdout);
}
