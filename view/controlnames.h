#pragma once

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
