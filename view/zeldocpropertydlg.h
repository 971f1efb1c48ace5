#pragma once

#include "engine/plateproperties.h"
#include "platelayoutfields.h"

#include <QDialog>
#include <QStringList>

#include <array>

class CNumberEdit;
class OperatorInterface;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// "판 상세 정보": the plate's details. The paper type, turn method, memo,
// margins, grid, cut margins, arrangement and after-work steps may be
// changed; the rest is shown. It edits a copy; Properties() gives it back.
class CZelDocPropertyDlg : public QDialog {
    Q_OBJECT
public:
    // paperTypes and afterWorks: the shop's lists (the site preset's
    // PAPER and PAN_AFTERWORK names, in file order).
    CZelDocPropertyDlg(const PlateProperties& properties, const QStringList& paperTypes,
                       const QStringList& afterWorks, OperatorInterface& op,
                       QWidget* parent = nullptr);

    // The plate's settings with the edited values; AFTER_WORK changes only
    // when its list was edited.
    PlateProperties Properties() const;

    void accept() override;

private:
    QWidget* InfoGroup();
    QWidget* LayoutGroup();
    QWidget* AfterWorkGroup(const QStringList& afterWorks);
    void AddAfterWork();
    void RemoveAfterWork();
    void UpdateAfterWorkButtons();

    PlateProperties m_plate;
    OperatorInterface& m_op;
    bool m_afterWorkEdited = false;

    QComboBox* m_paperType;
    QComboBox* m_turn;
    QLineEdit* m_comment;
    CPlateLayoutFields m_layout;
    QListWidget* m_afterWorkList;
    QListWidget* m_afterWorkApplied;
    QPushButton* m_afterWorkAdd;
    QPushButton* m_afterWorkRemove;
};
