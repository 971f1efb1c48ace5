#pragma once

#include "engine/plateproperties.h"

#include <QDialog>

#include <array>

class CPressMarksBox;
class CTesselDoc;
class CZelPreference;
class CZelPressMarkPresets;
class OperatorInterface;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The press settings ("출력용 PDF 생성"): the plate's title, marks, turn,
// memo and press quantity, and the workstation's press options (how the
// files are split, frames, own cut lines, the press folder). Filled from the
// plate and the preferences; OK checks the press folder first and only then
// writes both back (the plate through its own operation, the preferences to
// their file). Cancel, or a check that fails, changes neither.
class CMakePressSetupDlg : public QDialog {
    Q_OBJECT
public:
    CMakePressSetupDlg(CTesselDoc& doc, CZelPreference& preference,
                       const CZelPressMarkPresets& colorBars,
                       const CZelPressMarkPresets& registrationMarks, OperatorInterface& op,
                       QWidget* parent = nullptr);

    // The plate's settings as the dialog shows them.
    PlateProperties Properties() const;

    void accept() override;

private:
    QWidget* TitleGroup();
    QWidget* PlateGroup();
    QWidget* OutputGroup();
    void Fill();
    void EditTitle();
    void ShowFonts();
    void BrowsePressDir();
    void OpenFolder(const QString& path);

    CTesselDoc& m_doc;
    CZelPreference& m_preference;
    const CZelPressMarkPresets& m_colorBars;
    const CZelPressMarkPresets& m_registrationMarks;
    OperatorInterface& m_op;
    LogFont m_titleFont;
    LogFont m_barcodeFont;

    QButtonGroup* m_titlePosition;
    QLineEdit* m_titleItems;
    QComboBox* m_titleAlign;
    QPushButton* m_titleFontButton;
    QPushButton* m_barcodeFontButton;
    CPressMarksBox* m_marks;
    QButtonGroup* m_turn;
    QLineEdit* m_comment;
    QLineEdit* m_pressQuantity;
    QButtonGroup* m_pdfType;
    QCheckBox* m_openMade;
    std::array<QCheckBox*, 3> m_itemCut{};
    std::array<QCheckBox*, 3> m_itemFrame{};
    QCheckBox* m_titleFileName;
    QCheckBox* m_cutPlan;
    QLineEdit* m_pressDir;
};
