#include "numberedit.h"

#include "controlnames.h"

#include "markup/numbertext.h"

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight);
    SetValue(0.0);
    connect(this, &QLineEdit::editingFinished, this, &CNumberEdit::Commit);
}

void CNumberEdit::SetValue(double value) {
    m_value = value;
    setText(numbertext::Trimmed(value));
}

void CNumberEdit::Commit() {
    const std::optional<double> typed = numbertext::LeadingNumber(text());
    if (!typed) {
        setText(numbertext::Trimmed(m_value));
        return;
    }
    const bool changed = *typed != m_value;
    SetValue(*typed);
    if (changed)
        emit valueEdited(m_value);
}

CNumberEdit* NamedNumber(const char* objectName, const QString& label) {
    auto* edit = Named(new CNumberEdit, objectName, label);
    edit->setMinimumWidth(64);
    edit->setMaximumWidth(96);
    return edit;
}
