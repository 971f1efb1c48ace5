#pragma once

#include <QDialog>

class OperatorInterface;
class QComboBox;
class QSpinBox;

// "항목 복제": how many copies of the selected item to place, and the
// arrangement that finds their slots.
class CZelDuplicateDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinCount = 1;
    static constexpr int kMaxCount = 20;

    CZelDuplicateDlg(int count, int arrangement, OperatorInterface& op, QWidget* parent = nullptr);

    int Count() const;
    int Arrangement() const;

    void accept() override;

private:
    OperatorInterface& m_op;
    QSpinBox* m_count;
    QComboBox* m_arrangement;
};
