#pragma once

#include <QWidget>

// A ruler beside the plate view: a white band as long as the view's extent
// and a line where the cursor is. It draws no scale.
class CRulerWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kThickness = 16;

    explicit CRulerWnd(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The extent's length in pixels and the scroll position along the ruler.
    void SetExtent(int length, int scroll);
    // The cursor's position along the ruler in viewport pixels; -1 hides it.
    void SetCursor(int position);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect CursorStrip(int position) const;

    Qt::Orientation m_orientation;
    int m_length = 0;
    int m_scroll = 0;
    int m_cursor = -1;
};
