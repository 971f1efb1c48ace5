#pragma once

#include "engine/furniture.h"

#include <QDialog>
#include <QSet>

#include <vector>

class CColorCombo;
class CNumberEdit;
class CPDFServer;
class CZelColorPresets;
class OperatorInterface;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

// "텍스트 박스 편집": the plate's text boxes as a list. It edits a copy;
// Boxes() gives the list as the operator left it. A box added or changed
// here gets files under a fresh name, so the files of the plate's boxes
// stay as they are until the list is taken; the files the dialog made
// that end up unused are removed when it closes.
class CEditText : public QDialog {
    Q_OBJECT
public:
    struct Plate {
        double width = 0.0;
        double height = 0.0;
        QString workFolder;
        const CZelColorPresets* colors = nullptr;
        CPDFServer* pdf = nullptr; // the composition library, for the boxes' PDFs
    };

    CEditText(std::vector<TextBox> boxes, const Plate& plate, OperatorInterface& op,
              QWidget* parent = nullptr);

    const std::vector<TextBox>& Boxes() const { return m_boxes; }

    void done(int result) override;

private:
    // The entry as typed (no name); valid only when every number reads.
    bool Entry(TextBox& box) const;
    void UpdateButtons();
    void ShowFont();
    void ChooseFont();
    void OnRowChosen();
    void OnAdd();
    void OnApply();
    void OnDelete();
    bool MakeFiles(TextBox& box);
    void WriteRow(int row);
    int SelectedRow() const;

    std::vector<TextBox> m_boxes; // row i shows m_boxes[i]
    Plate m_plate;
    OperatorInterface& m_op;
    LogFont m_font;       // the entry's font, every field of it
    QSet<QString> m_made; // names of the files this dialog made

    CNumberEdit* m_x;
    CNumberEdit* m_y;
    CNumberEdit* m_width;
    CNumberEdit* m_height;
    CColorCombo* m_frameColor;
    CColorCombo* m_contentColor;
    CColorCombo* m_textColor;
    QComboBox* m_rotation;
    QComboBox* m_face;
    QComboBox* m_size;
    QPushButton* m_fontButton;
    QPlainTextEdit* m_text;
    QTableView* m_table;
    QStandardItemModel* m_model;
    QPushButton* m_add;
    QPushButton* m_apply;
    QPushButton* m_delete;
};
