#pragma once

#include "records/logfont.h"

#include <QWidget>

class CZelLabel;
class CZelLabObject;

// The label editor's canvas: the label at its size in pixels at zoom 1, its
// objects selected, moved and resized with the mouse, a field dropped from
// the editor's field list added as a new object. Every edit marks the label
// modified. Boxes stay at least 1 mm and inside the label.
class CZelLabEditWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHandleSize = 7;       // pixels
    static constexpr double kSmallestBox = 1.0; // mm
    // What a field dragged from the editor's list carries: its row.
    static constexpr char kFieldMimeType[] = "application/x-tessel-label-field";

    explicit CZelLabEditWnd(QWidget* parent = nullptr);

    // The label shown and edited; not owned, null for none. Call again after
    // the label's size changed.
    void SetLabel(CZelLabel* label);
    CZelLabel* Label() const { return m_label; }
    CZelLabObject* Selected() const;
    void Select(int index);

    // A new object of this field at a canvas point, half the label's width
    // and height in size, inside the label; it becomes the selected one.
    void AddObject(const QString& tag, const QString& title, const QPoint& at, const LogFont& font);
    void DeleteSelected();

    // An object's box moved into the label and made at least 1 mm on each
    // side (and no larger than the label).
    static void KeepInside(CZelLabObject& object, double labelWidth, double labelHeight);

    // Handles 0 top-left, 1 top, 2 top-right, 3 left, 4 right, 5 bottom-left,
    // 6 bottom, 7 bottom-right of the selected object under a canvas point;
    // -1 for none.
    int HandleAt(const QPoint& point) const;
    // The topmost object under a canvas point; -1 for none.
    int ObjectAt(const QPoint& point) const;
    QRect BoxOf(const CZelLabObject& object) const;
    QRect HandleRect(const CZelLabObject& object, int handle) const;

signals:
    void selectionChanged();
    void objectMoved();
    void objectResized();
    // Any other edit (a text, a deletion).
    void labelEdited();
    // A row of the field list was dropped at a canvas point.
    void fieldDropped(int row, const QPoint& at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    double PxPerMm() const;
    void UpdateCursor(const QPoint& point);

    CZelLabel* m_label = nullptr;
    int m_dpi;
    // One gesture of the left button: the handle dragged (-1 for a move),
    // the press point and the box as it was then.
    bool m_dragging = false;
    int m_handle = -1;
    QPoint m_pressPoint;
    double m_startX = 0, m_startY = 0, m_startW = 0, m_startH = 0;
};
