#pragma once

#include "engine/platechange.h"
#include "engine/plateview.h"
#include "press/cutplan.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QPixmap>

#include <memory>

class CRulerWnd;
class CTesselDoc;
class CZelItem;
class QRubberBand;

// The plate at true size times the zoom: one side (A, B or the label plate)
// of every page, with the pasteboard around it, rulers above and to the
// left. It holds no plate data: it draws the plate and turns mouse and keys
// into the plate's operations. It watches the plate, so whatever changes it
// (the view, a dialog, a drop) is drawn again where it changed.
class CTesselView : public QAbstractScrollArea, private PlateObserver {
    Q_OBJECT
public:
    explicit CTesselView(QWidget* parent = nullptr);
    ~CTesselView() override;

    // The plate shown; null for none. The plate must outlive the view or be
    // replaced first.
    void SetDocument(CTesselDoc* doc);
    CTesselDoc* Document() const { return m_doc; }

    int Zoom() const { return m_zoom; } // thousandths
    void SetZoom(int zoom);
    void StepZoom(int step);

    plateview::ViewSide Side() const { return m_side; }
    void SetSide(plateview::ViewSide side);

    // The page furniture the view shows.
    struct Furniture {
        bool horizontalSplit = true;
        bool verticalSplit = true;
        bool horizontalGrid = true;
        bool verticalGrid = true;
        bool cutPlan = false; // the cutting plan's knife lines, numbered in order
    };
    const Furniture& Shown() const { return m_shown; }
    void SetShown(const Furniture& shown);

    // Deletes the selected items (the plate asks the operator first).
    void DeleteSelection();
    // Ends the step a drag or a run of arrow keys is making on the plate,
    // so that undo takes it whole.
    void CloseEditGroup();

    // Orders dragged from the job list. A drop is taken only where the plate
    // takes one (its usable area); there the view hands the tickets to
    // whoever takes orders (ordersDropped) and repaints. DropOrders is the
    // drop itself at a viewport point: false, doing nothing, when refused.
    bool AcceptsDropAt(const QPoint& viewportPoint) const;
    bool DropOrders(const QStringList& tickets, const QPoint& viewportPoint, bool oneCopy);

    // What preflight found, as lines per order number: the order's items
    // carry a badge, and hovering one shows the lines. Empty: no badges.
    void SetPreflightFindings(const QHash<QString, QStringList>& findings);
    // The lines of the item under a viewport point; empty when none.
    QStringList PreflightFindingsAt(const QPoint& viewportPoint) const;

    // Device pixels of a length in mm at the zoom, and the page's origin in
    // extent pixels (before scrolling).
    int Px(double mm, Qt::Orientation orientation) const;
    QPoint PageOrigin(int page) const;

signals:
    // The plate reported a change: of its selection (or the selected items'
    // places), or of anything else.
    void selectionChanged();
    void plateEdited();
    void zoomChanged(int zoom);
    void sideChanged(int side);
    // The plate point under the cursor (nothing selected) for the panel.
    void cursorMoved(double x, double y);
    // The operator asked for the plate's context menu here (the item under
    // a right click is selected first).
    void contextMenuRequested(const QPoint& globalPos);
    // A left double-click: the operator asks for the details of the
    // selection (or of the plate).
    void propertiesRequested();
    // Tickets dropped at a plate point (page relative millimetres); one copy
    // per case when Shift was held. Handled before DropOrders returns.
    void ordersDropped(const QStringList& tickets, double x, double y, bool oneCopy);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct PlatePos {
        double x = 0, y = 0;
        int page = 0;
    };
    PlatePos ToPlate(const QPoint& viewportPoint) const;
    QRect ItemRect(const CZelItem& item, bool withOwnCut) const; // extent pixels
    QRect ExtentRect(const CZelBound& box, int page) const;
    void PlateChanged(const PlateChange& change) override;
    void UpdateExtent();
    void PlaceRulers();
    void CancelGesture();
    // A drag or an arrow-key run is one step of the plate's history.
    void OpenEditGroup();
    void keyReleaseEvent(QKeyEvent* event) override;
    void DrawPage(QPainter& p, int page, const QRect& clip);
    void DrawItem(QPainter& p, const CZelItem& item, const QRect& box);
    void DrawOwnCut(QPainter& p, const CZelItem& item, const QRect& box);
    void DrawSelection(QPainter& p, const QRect& box, bool primary);
    void DrawPreflightBadge(QPainter& p, const QRect& box);
    void DrawCutPlan(QPainter& p, int page, const QRect& pageRect);
    // The item's picture on the shown side, scaled to the zoom and turned,
    // drawn once per zoom, angle and picture.
    QPixmap Thumbnail(const CZelItem& item);

    CTesselDoc* m_doc = nullptr;
    QHash<QString, QStringList> m_preflight;
    int m_zoom = plateview::kInitialZoom;
    plateview::ViewSide m_side = plateview::ViewSide::A;
    Furniture m_shown;
    // The plan of the plate as last drawn; made again after any change.
    std::unique_ptr<Result<CutPlan>> m_cutPlan;
    CRulerWnd* m_hRuler;
    CRulerWnd* m_vRuler;
    QWidget* m_corner;
    QRubberBand* m_band;

    // One gesture of the left button.
    bool m_pressed = false;
    bool m_shiftAtPress = false;
    bool m_pan = false;
    bool m_editGroupOpen = false;
    bool m_dragging = false;
    bool m_dragStarted = false;
    bool m_rubberBand = false;
    QPoint m_pressPoint, m_lastPoint, m_scrollAtPress;

    struct CachedThumbnail {
        QString key;
        QPixmap pixmap;
    };
    QHash<const CZelItem*, CachedThumbnail> m_thumbnails;
};
