#pragma once

#include <QString>

// The operator, as an engine operation meets them in the middle of its work:
// Yes/No questions and messages to acknowledge. The GUI answers with message
// boxes, the command line with its flags, tests with scripted answers.
class OperatorInterface {
public:
    virtual ~OperatorInterface() = default;
    // true for Yes.
    virtual bool Ask(const QString& question) = 0;
    virtual void Tell(const QString& message) = 0;
    // A question that may also be called off (save the changes before
    // closing?): 1 Yes, 0 No, -1 Cancel. Where there is no way to call it
    // off, it is the Yes/No question.
    virtual int AskWithCancel(const QString& question) { return Ask(question) ? 1 : 0; }
};
