#pragma once

#include "engine/plateproperties.h"
#include "platelayoutfields.h"

#include <QWidget>

#include <array>
#include <vector>

class CNumberEdit;
class CPressMarksBox;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// The plate's settings as the new-plate dialog edits them: imposition,
// after-work, paper size, margins, grid, cut margins, arrangement, title and
// the plate furniture. It edits a copy; Properties() gives the values shown.
class CPlateSettingsPanel : public QWidget {
    Q_OBJECT
public:
    struct PaperSize {
        QString name;
        double width = 0;
        double height = 0;
    };
    // The shop's lists the panel offers.
    struct Lists {
        QStringList paperTypes;
        QStringList afterWorks;
        std::vector<PaperSize> paperSizes;
        QStringList colorBars;
        QStringList registrationMarks;
    };

    explicit CPlateSettingsPanel(const Lists& lists, QWidget* parent = nullptr);

    // Fills every control; fires no edit handler.
    void SetProperties(const PlateProperties& properties);
    PlateProperties Properties() const;

    // The name of the chosen size entry ("사용자 정의" when custom).
    QString SizeName() const;

    static QString CustomSizeName() { return QStringLiteral("사용자 정의"); }
    static QStringList ArrangementNames();
    static QStringList TurnNames();
    // Where a margin-band object sits across its band (TITLE_ALIGN and the like).
    static QStringList AlignNames();
    // TITLE_POSITION 0 to 3.
    static QStringList EdgeNames();

private:
    QWidget* ImpositionGroup();
    QWidget* AfterWorkGroup();
    QWidget* PaperGroup();
    QWidget* TitleGroup();
    QWidget* FurnitureGroup();
    void OnSidesChosen();
    void OnSizeChosen(int index);
    void OnSizeTyped();
    void UpdateAfterWorkButtons();
    void EditTitle();

    Lists m_lists;
    PlateProperties m_base; // the fields the panel does not show

    CNumberEdit* m_quantity;
    QComboBox* m_pressUnit;
    CNumberEdit* m_pressCount;
    QComboBox* m_sides;
    QComboBox* m_colorA;
    QComboBox* m_colorB;
    QComboBox* m_turn;
    QComboBox* m_paperType;
    QLineEdit* m_comment;
    QListWidget* m_afterWorkList;
    QListWidget* m_afterWorkApplied;
    QPushButton* m_afterWorkAdd;
    QPushButton* m_afterWorkRemove;
    QComboBox* m_size;
    CNumberEdit* m_width;
    CNumberEdit* m_height;
    CPlateLayoutFields m_layout;
    QComboBox* m_titlePosition;
    QComboBox* m_titleAlign;
    QLineEdit* m_titleItems;
    CPressMarksBox* m_marks;
};
