#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QString>
#include <QWidget>

// Every control carries an object name (for tests and automation) and an
// accessible name (what a screen reader says: its label's text, without the
// mnemonic marker and the trailing colon).
template <typename Widget> Widget* Named(Widget* widget, const char* objectName, QString text) {
    widget->setObjectName(QString::fromLatin1(objectName));
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    widget->setAccessibleName(text.simplified());
    return widget;
}

// "확인" (object name "ok") and "취소" ("cancel") of a dialog, wired to its
// accept and reject.
inline QDialogButtonBox* OkCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox;
    Named(buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole), "ok",
          QStringLiteral("확인"));
    Named(buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole), "cancel",
          QStringLiteral("취소"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
