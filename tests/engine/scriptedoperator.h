#pragma once

#include "engine/operatorinterface.h"

#include <QStringList>

#include <gtest/gtest.h>

// Answers questions from a script; an unexpected question fails the test.
class ScriptedOperator : public OperatorInterface {
public:
    // Each answer is matched with the next question.
    QList<bool> answers;
    QStringList questions;
    QStringList messages;

    bool Ask(const QString& question) override {
        questions << question;
        if (answers.isEmpty()) {
            ADD_FAILURE() << "unexpected question: " << question.toStdString();
            return false;
        }
        return answers.takeFirst();
    }
    void Tell(const QString& message) override { messages << message; }

    // An answer left over means a question that was expected never came.
    ~ScriptedOperator() override {
        EXPECT_TRUE(answers.isEmpty()) << answers.size() << " answer(s) never asked for";
    }
};
