#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

// Arguments of one command: positional words and "--name value" options,
// with the one-line failure every command ends with.
class CommandLine {
public:
    CommandLine(QStringList words) : m_words(std::move(words)) {}

    // Takes "--name value" out of the words; false with a reason when the
    // value is missing.
    bool TakeOption(const QString& name, QString& value);
    // Takes "--name v1 .. vN"; values stays empty when the option is absent.
    bool TakeOption(const QString& name, QStringList& values, int count);
    bool TakeFlag(const QString& name);
    // Whatever is left; any remaining "--" word is an unknown option.
    bool Positionals(QStringList& out, int minimum, int maximum);

    const QString& Error() const { return m_error; }
    const QStringList& Words() const { return m_words; }

private:
    QStringList m_words;
    QString m_error;
};

// Output helpers: UTF-8 on stdout, "tessel-cli: reason" on stderr.
void PrintLine(const QString& line);
void PrintWarning(const QString& line);
// Each line as a warning.
void PrintWarnings(const QStringList& lines);
// Progress and the operator's questions and messages: on standard error, so
// that standard output holds only a command's results.
void PrintNote(const QString& line);
int Fail(const QString& reason, int code = 1);

struct Command {
    const char* name;    // e.g. "markup dump"
    const char* usage;   // arguments, e.g. "FILE [--kind KIND]"
    const char* summary; // one line for --help
    std::function<int(CommandLine&)> run;
    // Draws (measures text, renders labels): runs under Qt Gui on no screen.
    bool draws = false;
};
