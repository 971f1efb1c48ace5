#pragma once

#include <QLineEdit>

// A number typed by the operator: the leading number in the C locale, so
// "12.5 mm" reads 12.5 whatever the desktop's language. Text without a
// number (or NaN, infinity) is refused and the shown value comes back.
class CNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CNumberEdit(QWidget* parent = nullptr);

    double Value() const { return m_value; }
    void SetValue(double value);

signals:
    // The operator typed a new number and left the field or pressed Enter.
    void valueEdited(double value);

private:
    void Commit();

    double m_value = 0.0;
};

// A number field of a settings form, named like every control.
CNumberEdit* NamedNumber(const char* objectName, const QString& label);
