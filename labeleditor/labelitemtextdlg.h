#pragma once

#include <QDialog>

class QLineEdit;

// "레이블 항목 텍스트": the title or fixed text of one label object.
class CZelLabeItemTextDlg : public QDialog {
    Q_OBJECT
public:
    explicit CZelLabeItemTextDlg(const QString& text, QWidget* parent = nullptr);
    QString Text() const;

private:
    QLineEdit* m_text;
};
