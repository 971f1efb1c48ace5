#include "clioperator.h"

#include "commandline.h"

bool CliOperator::Ask(const QString& question) {
    const QString line = QString(question).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (m_answer == Answer::None) {
        if (m_unanswered.isEmpty())
            m_unanswered = line;
        return false;
    }
    const bool yes = m_answer == Answer::Yes;
    m_answeredNo = m_answeredNo || !yes;
    PrintNote(
        QStringLiteral("? %1 -> %2").arg(line, yes ? QStringLiteral("yes") : QStringLiteral("no")));
    return yes;
}

void CliOperator::Tell(const QString& message) {
    PrintNote(
        QStringLiteral("! %1").arg(QString(message).replace(QLatin1Char('\n'), QLatin1Char(' '))));
}
