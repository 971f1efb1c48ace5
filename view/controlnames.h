#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QString>
#include <QStringList>
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

// A combo box of fixed entries.
inline QComboBox* NamedCombo(const char* objectName, const QString& label,
                             const QStringList& items) {
    auto* combo = Named(new QComboBox, objectName, label);
    combo->addItems(items);
    return combo;
}

// A check box; its accessible name may say more than its short text.
inline QCheckBox* NamedCheck(const char* objectName, const QString& text,
                             const QString& accessible = {}) {
    return Named(new QCheckBox(text), objectName, accessible.isEmpty() ? text : accessible);
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
