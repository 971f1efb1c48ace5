#pragma once

#include "engine/tesseldoc.h"

#include <QDialog>

#include <array>

class CNumberEdit;
class OperatorInterface;
class QCheckBox;

// "독립 재단선": which of the eight own cut marks the selected items get,
// and the four margins of the marks from the item's edges.
class CZelOwnCropDlg : public QDialog {
    Q_OBJECT
public:
    // gridWidth and gridHeight set the limits: a quarter of each.
    CZelOwnCropDlg(const CTesselDoc::OwnCutSettings& settings, OperatorInterface& op,
                   double gridWidth = 92.0, double gridHeight = 52.0, QWidget* parent = nullptr);

    CTesselDoc::OwnCutSettings Settings() const;

    void accept() override;

private:
    OperatorInterface& m_op;
    double m_gridWidth;
    double m_gridHeight;
    std::array<QCheckBox*, 8> m_marks{};
    std::array<CNumberEdit*, 4> m_margins{}; // left, top, right, bottom
};
