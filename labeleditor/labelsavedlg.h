#pragma once

#include <QDialog>

class OperatorInterface;
class QComboBox;

// "레이블 저장": the name a label is saved under. Refuses a name that is not
// a valid shared file name (or is the new-label entry) and asks before
// replacing a stored label; "No" returns to the name.
class CLabeSavelDlg : public QDialog {
    Q_OBJECT
public:
    // names: the stored labels; current: the name chosen at first (empty
    // for a label not saved yet).
    CLabeSavelDlg(const QString& presetDir, const QStringList& names, const QString& current,
                  OperatorInterface& op, QWidget* parent = nullptr);
    QString Name() const { return m_name; }
    void accept() override;

private:
    QString m_presetDir;
    OperatorInterface& m_op;
    QComboBox* m_names;
    QString m_name;
};
