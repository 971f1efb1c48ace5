#include "messageboxoperator.h"

#include <QMessageBox>

bool CMessageBoxOperator::Ask(const QString& question) {
    return QMessageBox::question(m_parent, QStringLiteral("Tessel"), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

void CMessageBoxOperator::Tell(const QString& message) {
    QMessageBox::warning(m_parent, QStringLiteral("Tessel"), message);
}

int CMessageBoxOperator::AskWithCancel(const QString& question) {
    switch (QMessageBox::question(m_parent, QStringLiteral("Tessel"), question,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return 1;
    case QMessageBox::No:
        return 0;
    default:
        return -1;
    }
}
