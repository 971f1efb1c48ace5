#include "numberedit.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent) {
    setAlignment(Qt::AlignRight);
    SetValue(0.0);
    connect(this, &QLineEdit::editingFinished, this, &CNumberEdit::Commit);
}

std::optional<double> CNumberEdit::Parse(const QString& text) {
    static const QRegularExpression leading(
        QStringLiteral("^\\s*([+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = leading.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(match.captured(1), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString CNumberEdit::Format(double value) {
    QString text = QString::asprintf("%.3f", value);
    while (text.contains(QLatin1Char('.')) && text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QStringLiteral("-0"))
        text = QStringLiteral("0");
    return text;
}

void CNumberEdit::SetValue(double value) {
    m_value = value;
    setText(Format(value));
}

void CNumberEdit::Commit() {
    const std::optional<double> typed = Parse(text());
    if (!typed) {
        setText(Format(m_value));
        return;
    }
    const bool changed = *typed != m_value;
    SetValue(*typed);
    if (changed)
        emit valueEdited(m_value);
}
