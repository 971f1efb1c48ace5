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
};
