#pragma once

#include <QDialog>

#include <array>

class CNumberEdit;
class OperatorInterface;
class QCheckBox;
class QRadioButton;

// The spacing dialog: the gap between the selected items, whether their own
// cut lines count, and how they are aligned across the spacing afterwards.
class CZelItemArrangeDlg : public QDialog {
    Q_OBJECT
public:
    enum Mode { Vertical = 0, Horizontal = 1 };
    // Bases: left/top, centre, right/bottom, none.
    static constexpr int kNoAlignment = 3;

    CZelItemArrangeDlg(Mode mode, double minGap, double maxGap, OperatorInterface& op,
                       QWidget* parent = nullptr);

    double Gap() const;
    int Alignment() const; // 0-2, or kNoAlignment
    bool WithOwnCut() const;

    void accept() override;

private:
    double m_minGap;
    double m_maxGap;
    OperatorInterface& m_op;
    CNumberEdit* m_gap;
    std::array<QRadioButton*, 4> m_base{};
    QCheckBox* m_withOwnCut;
};
