#pragma once

#include "engine/furniture.h"

#include <QDialog>

#include <vector>

class CColorCombo;
class CNumberEdit;
class CZelColorPresets;
class QComboBox;
class QPushButton;
class QStandardItemModel;
class QTableView;

// "수평/수직 선 편집": the plate's free lines as a list. It edits a copy;
// Lines() gives the list as the operator left it.
class CEditLineDlg : public QDialog {
    Q_OBJECT
public:
    CEditLineDlg(std::vector<FreeLine> lines, double plateWidth, double plateHeight,
                 const CZelColorPresets* colors, QWidget* parent = nullptr);

    const std::vector<FreeLine>& Lines() const { return m_lines; }

private:
    // The entry as typed; valid only when every number reads.
    bool Entry(FreeLine& line) const;
    void UpdateButtons();
    void OnRowChosen();
    void OnAdd();
    void OnApply();
    void OnDelete();
    void WriteRow(int row);
    int SelectedRow() const;

    std::vector<FreeLine> m_lines; // row i shows m_lines[i]
    double m_plateWidth;
    double m_plateHeight;

    QComboBox* m_direction;
    CNumberEdit* m_start;
    CNumberEdit* m_end;
    CNumberEdit* m_offset;
    CNumberEdit* m_weight;
    CColorCombo* m_color;
    QTableView* m_table;
    QStandardItemModel* m_model;
    QPushButton* m_add;
    QPushButton* m_apply;
    QPushButton* m_delete;
};
