#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// Arguments of one command: positional words and options, with the one-line
// failure every command ends with. Options are "--name value" or
// "--name=value"; a lone "--" ends them, and every word after it is
// positional even when it begins with a dash.
class CommandLine {
public:
    explicit CommandLine(QStringList words);

    // Takes "--name value" out of the words; false with a reason when the
    // value is missing.
    bool TakeOption(const QString& name, QString& value);
    // Takes "--name v1 .. vN"; values stays empty when the option is absent.
    bool TakeOption(const QString& name, QStringList& values, int count);
    bool TakeFlag(const QString& name);
    // "--name N" with N a whole number of at least minimum; value is left
    // as it is when the option is absent.
    bool TakeWholeNumber(const QString& name, int& value, int minimum);
    // "--name v1 .. vN" with each value a number greater than 0; values
    // stays empty when the option is absent.
    bool TakePositiveNumbers(const QString& name, std::vector<double>& values, int count,
                             const QString& unit);
    // "-h" or "--help" anywhere before "--".
    bool TakeHelp();
    // The password of a command that logs in: "--password P", else the
    // first line of "--password-file FILE", else $TESSEL_PASSWORD, else
    // asked for without echo when standard input is a terminal.
    bool TakePassword(QString& password);
    // Whatever is left; any remaining option word is an unknown option.
    bool Positionals(QStringList& out, int minimum, int maximum);

    // The command's usage line, for a wrong count of arguments to show.
    void SetUsage(const QString& usage) { m_usage = usage; }

    // Takes the first count words, a command's name.
    void DropLeading(qsizetype count) { m_words.remove(0, std::min(count, m_words.size())); }

    const QString& Error() const { return m_error; }
    // The words not taken, "--" and what follows it included.
    const QStringList& Words() const { return m_words; }

private:
    // Where the options end: the index of "--", else the word count.
    qsizetype OptionsEnd() const;
    qsizetype IndexOf(const QString& name) const;

    QStringList m_words;
    QString m_error;
    QString m_usage;
};

// --quiet: no progress and no notes; warnings and failures still show.
void SetQuiet(bool quiet);
bool Quiet();

// Output helpers: UTF-8 on stdout, "tessel-cli: reason" on stderr.
void PrintLine(const QString& line);
void PrintWarning(const QString& line);
// Each line as a warning.
void PrintWarnings(const QStringList& lines);
// Progress and the operator's questions and messages: on standard error, so
// that standard output holds only a command's results.
void PrintNote(const QString& line);
int Fail(const QString& reason, int code = 1);
// A command's result as JSON on standard output, indented, UTF-8.
void PrintJson(const QJsonObject& object);

struct Command {
    const char* name;    // e.g. "markup dump"
    const char* usage;   // arguments, e.g. "FILE [--kind KIND]"
    const char* summary; // one line for --help
    std::function<int(CommandLine&)> run;
    // Draws (measures text, renders labels): runs under Qt Gui on no screen.
    bool draws = false;
};
