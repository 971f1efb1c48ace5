#include "commandline.h"

#include <cstdio>
#include <unistd.h>

bool CommandLine::TakeOption(const QString& name, QString& value) {
    const int index = m_words.indexOf(name);
    if (index < 0)
        return true;
    if (index + 1 >= m_words.size()) {
        m_error = QStringLiteral("option %1 needs a value").arg(name);
        return false;
    }
    value = m_words.at(index + 1);
    m_words.remove(index, 2);
    return true;
}

bool CommandLine::TakeOption(const QString& name, QStringList& values, int count) {
    values.clear();
    const int index = m_words.indexOf(name);
    if (index < 0)
        return true;
    if (index + count >= m_words.size()) {
        m_error = QStringLiteral("option %1 needs %2 values").arg(name).arg(count);
        return false;
    }
    values = m_words.mid(index + 1, count);
    m_words.remove(index, count + 1);
    return true;
}

bool CommandLine::TakeFlag(const QString& name) { return m_words.removeAll(name) > 0; }

bool CommandLine::Positionals(QStringList& out, int minimum, int maximum) {
    for (const QString& word : m_words) {
        if (word.startsWith(QLatin1String("--"))) {
            m_error = QStringLiteral("unknown option %1").arg(word);
            return false;
        }
    }
    if (m_words.size() < minimum || m_words.size() > maximum) {
        m_error = m_words.size() < minimum ? QStringLiteral("missing arguments") : QStringLiteral("too many arguments");
        return false;
    }
    out = m_words;
    return true;
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
    // A progress bar may be drawn on the terminal's last line: clear it first.
    std::fprintf(stderr, isatty(STDERR_FILENO) ? "\r\033[K%s\n" : "%s\n", line.toUtf8().constData());
}

int Fail(const QString& reason, int code) {
    std::fflush(stdout);
    std::fprintf(stderr, "tessel-cli: %s\n", reason.toUtf8().constData());
    return code;
}
