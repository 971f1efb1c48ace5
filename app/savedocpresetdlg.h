#pragma once

#include <QDialog>

class OperatorInterface;
class QComboBox;

// "프리셋 저장": the name under which the new-plate dialog saves a document
// preset; asks before replacing a preset of that name.
class CSaveDocPresetDlg : public QDialog {
    Q_OBJECT
public:
    CSaveDocPresetDlg(const QStringList& names, int current, OperatorInterface& op,
                      QWidget* parent = nullptr);
    QString Name() const { return m_name; }
    void accept() override;

private:
    OperatorInterface& m_op;
    QComboBox* m_names;
    QString m_name;
};
