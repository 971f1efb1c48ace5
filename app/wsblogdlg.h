#pragma once

#include <QWidget>

class QTextEdit;

// The log page ("로그"): what this workstation did with tickets, press runs
// and registrations in this run, one line each with its time. It lives as
// long as the window; nothing is written to disk.
class CWSBLogDlg : public QWidget {
    Q_OBJECT
public:
    explicit CWSBLogDlg(QWidget* parent = nullptr);
    // Adds a line; a problem is shown in red.
    void Append(const QString& text, bool problem = false);
    QString Text() const;

private:
    QTextEdit* m_text;
};
