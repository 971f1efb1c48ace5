#pragma once

#include "engine/operatorinterface.h"

class QWidget;

// The operator at the screen: questions as Yes/No message boxes, messages as
// warnings, over the given window.
class CMessageBoxOperator : public OperatorInterface {
public:
    explicit CMessageBoxOperator(QWidget* parent = nullptr) : m_parent(parent) {}
    bool Ask(const QString& question) override;
    void Tell(const QString& message) override;
    // Yes, No or Cancel: 1, 0 or -1.
    int AskWithCancel(const QString& question) override;

private:
    QWidget* m_parent;
};
