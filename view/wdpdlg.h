#pragma once

#include <QWidget>

class CNumberEdit;
class CTesselView;
class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;

// The position panel beside the plate view: the selection's position and
// size (or the cursor's position), the single selected item's order, the
// zoom, the side shown and the arrangement used for dropped orders. Pictures
// show how the one selected item stands turned and which own cut marks it has.
class CWDPDlg : public QWidget {
    Q_OBJECT
public:
    explicit CWDPDlg(CTesselView& view, QWidget* parent = nullptr);

    // Shows the plate's current selection (after any change of it).
    void ShowSelection();
    // Shows the plate point under the cursor while nothing is selected.
    void ShowCursor(double x, double y);
    // Reads the plate's settings again (after an open or a property change).
    void PlateChanged();

signals:
    // The "." button: the details of the selection, or of the plate.
    void propertiesRequested();

private:
    void MoveTo(bool xTyped);
    void OnZoomEntered();
    void ShowZoom();

    CTesselView& m_view;
    CNumberEdit* m_x;
    CNumberEdit* m_y;
    QLabel* m_size;
    QLabel* m_pageSize;
    QLabel* m_order;
    QLabel* m_rotation;
    QLabel* m_ownCut;
    QComboBox* m_zoom;
    QButtonGroup* m_sides;
    QPushButton* m_sideB;
    QLabel* m_sideCaption;
    QComboBox* m_arrangement;
};
