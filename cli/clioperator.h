#pragma once

#include "engine/operatorinterface.h"

#include <QString>

// The operator on the command line: questions are answered by a flag and
// both are printed, so that a run can be read afterwards. Without a flag the
// first question is answered no and kept, for the command to fail with it.
class CliOperator : public OperatorInterface {
public:
    enum class Answer { Yes, No, None };
    explicit CliOperator(Answer answer) : m_answer(answer) {}
    bool Ask(const QString& question) override;
    void Tell(const QString& message) override;
    // The first question asked while no answer was given.
    const QString& Unanswered() const { return m_unanswered; }
    // Whether --no answered a question.
    bool AnsweredNo() const { return m_answeredNo; }

private:
    Answer m_answer;
    QString m_unanswered;
    bool m_answeredNo = false;
};
