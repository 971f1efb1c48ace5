#pragma once

#include <QLineEdit>

#include <optional>

// A number typed by the operator: the leading number in the C locale, so
// "12.5 mm" reads 12.5 whatever the desktop's language. Text without a
// number (or NaN, infinity) is refused and the shown value comes back.
class CNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CNumberEdit(QWidget* parent = nullptr);

    double Value() const { return m_value; }
    void SetValue(double value);

    // The leading number of a typed text, if it has one.
    static std::optional<double> Parse(const QString& text);
    // "%.3f" without trailing zeros or point, and no "-0".
    static QString Format(double value);

signals:
    // The operator typed a new number and left the field or pressed Enter.
    void valueEdited(double value);

private:
    void Commit();

    double m_value = 0.0;
};
