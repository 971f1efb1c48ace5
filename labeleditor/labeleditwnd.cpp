#include "labeleditwnd.h"

#include "labelitemtextdlg.h"
#include "labelpainting.h"

#include "engine/textlayout.h"
#include "labels/zellabel.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Within [low, high]; low wins when a box read from a file lies so far out
// that high is below it.
double Bound(double value, double low, double high) {
    return std::max(low, std::min(value, high));
}

bool TouchesLeft(int handle) {
    return handle == 0 || handle == 3 || handle == 5;
}
bool TouchesRight(int handle) {
    return handle == 2 || handle == 4 || handle == 7;
}
bool TouchesTop(int handle) {
    return handle == 0 || handle == 1 || handle == 2;
}
bool TouchesBottom(int handle) {
    return handle == 5 || handle == 6 || handle == 7;
}

Qt::CursorShape HandleCursor(int handle) {
    switch (handle) {
    case 0:
    case 7:
        return Qt::SizeFDiagCursor;
    case 2:
    case 5:
        return Qt::SizeBDiagCursor;
    case 1:
    case 6:
        return Qt::SizeVerCursor;
    default:
        return Qt::SizeHorCursor;
    }
}

} // namespace

CZelLabEditWnd::CZelLabEditWnd(QWidget* parent) : QWidget(parent), m_dpi(textlayout::ScreenDpiX()) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
}

double CZelLabEditWnd::PxPerMm() const {
    return m_dpi / 25.4;
}

void CZelLabEditWnd::SetLabel(CZelLabel* label) {
    m_label = label;
    m_dragging = false;
    setMinimumSize(label ? QSize(label->PixelWidth(m_dpi), label->PixelHeight(m_dpi)) : QSize());
    update();
}

CZelLabObject* CZelLabEditWnd::Selected() const {
    if (!m_label || m_label->selectedIndex < 0 ||
        m_label->selectedIndex >= int(m_label->objects.size()))
        return nullptr;
    return m_label->objects[size_t(m_label->selectedIndex)].get();
}

void CZelLabEditWnd::Select(int index) {
    if (!m_label)
        return;
    if (index >= int(m_label->objects.size()))
        index = -1;
    if (index == m_label->selectedIndex)
        return;
    m_label->selectedIndex = index;
    update();
    emit selectionChanged();
}

void CZelLabEditWnd::KeepInside(CZelLabObject& o, double labelWidth, double labelHeight) {
    o.w = std::clamp(o.w, kSmallestBox, std::max(kSmallestBox, labelWidth));
    o.h = std::clamp(o.h, kSmallestBox, std::max(kSmallestBox, labelHeight));
    o.x = std::clamp(o.x, 0.0, std::max(0.0, labelWidth - o.w));
    o.y = std::clamp(o.y, 0.0, std::max(0.0, labelHeight - o.h));
}

void CZelLabEditWnd::AddObject(const QString& tag, const QString& title, const QPoint& at,
                               const LogFont& font) {
    if (!m_label)
        return;
    auto object = std::make_unique<CZelLabObject>();
    object->tag = tag;
    object->text = tag == QLatin1String("MF_OrderNum") ? QStringLiteral("[BAR0709170003]") : title;
    object->x = at.x() / PxPerMm();
    object->y = at.y() / PxPerMm();
    object->w = m_label->Width() / 2;
    object->h = m_label->Height() / 2;
    object->font = font;
    KeepInside(*object, m_label->Width(), m_label->Height());
    m_label->objects.push_back(std::move(object));
    m_label->modified = true;
    m_label->selectedIndex = int(m_label->objects.size()) - 1;
    update();
    emit selectionChanged();
}

void CZelLabEditWnd::DeleteSelected() {
    if (!Selected())
        return;
    m_label->objects.erase(m_label->objects.begin() + m_label->selectedIndex);
    m_label->selectedIndex = -1;
    m_label->modified = true;
    update();
    emit labelEdited();
    emit selectionChanged();
}

QRect CZelLabEditWnd::BoxOf(const CZelLabObject& o) const {
    const double s = PxPerMm();
    const QPoint topLeft(qRound(o.x * s), qRound(o.y * s));
    const QPoint bottomRight(qRound((o.x + o.w) * s) - 1, qRound((o.y + o.h) * s) - 1);
    return QRect(topLeft, bottomRight);
}

QRect CZelLabEditWnd::HandleRect(const CZelLabObject& object, int handle) const {
    const QRect box = BoxOf(object);
    const int xs[] = {box.left(), box.center().x(), box.right()};
    const int ys[] = {box.top(), box.center().y(), box.bottom()};
    // Handles in reading order, the middle of the box left out.
    static const int column[] = {0, 1, 2, 0, 2, 0, 1, 2};
    static const int row[] = {0, 0, 0, 1, 1, 2, 2, 2};
    return QRect(xs[column[handle]] - kHandleSize / 2, ys[row[handle]] - kHandleSize / 2,
                 kHandleSize, kHandleSize);
}

int CZelLabEditWnd::HandleAt(const QPoint& point) const {
    const CZelLabObject* selected = Selected();
    if (!selected)
        return -1;
    for (int handle = 0; handle < 8; ++handle)
        if (HandleRect(*selected, handle).contains(point))
            return handle;
    return -1;
}

int CZelLabEditWnd::ObjectAt(const QPoint& point) const {
    if (!m_label)
        return -1;
    for (int i = int(m_label->objects.size()) - 1; i >= 0; --i)
        if (BoxOf(*m_label->objects[size_t(i)]).contains(point))
            return i;
    return -1;
}

void CZelLabEditWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(191, 191, 191));
    if (!m_label)
        return;
    painter.fillRect(QRect(0, 0, m_label->PixelWidth(m_dpi), m_label->PixelHeight(m_dpi)),
                     Qt::white);
    labelpainting::PaintObjects(painter, *m_label, m_dpi);
    if (const CZelLabObject* selected = Selected()) {
        painter.setPen(QPen(QColor(79, 154, 255), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(BoxOf(*selected));
        for (int handle = 0; handle < 8; ++handle)
            painter.fillRect(HandleRect(*selected, handle), Qt::black);
    }
}

void CZelLabEditWnd::mousePressEvent(QMouseEvent* event) {
    if (!m_label || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    m_handle = HandleAt(point);
    const CZelLabObject* selected = Selected();
    if (m_handle < 0 && !(selected && BoxOf(*selected).contains(point)))
        Select(ObjectAt(point));
    selected = Selected();
    m_dragging = selected != nullptr;
    if (!m_dragging)
        return;
    m_pressPoint = point;
    m_startX = selected->x;
    m_startY = selected->y;
    m_startW = selected->w;
    m_startH = selected->h;
}

void CZelLabEditWnd::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    CZelLabObject* o = Selected();
    if (!m_dragging || !o || !(event->buttons() & Qt::LeftButton)) {
        UpdateCursor(point);
        return;
    }
    // From the box at the press, so a box held at the label's edge does not
    // creep when the mouse comes back.
    const double dx = (point.x() - m_pressPoint.x()) / PxPerMm();
    const double dy = (point.y() - m_pressPoint.y()) / PxPerMm();
    const double labelW = m_label->Width(), labelH = m_label->Height();
    const double oldX = o->x, oldY = o->y, oldW = o->w, oldH = o->h;
    if (m_handle < 0) {
        o->x = Bound(m_startX + dx, 0.0, std::max(0.0, labelW - o->w));
        o->y = Bound(m_startY + dy, 0.0, std::max(0.0, labelH - o->h));
    } else {
        double left = m_startX, top = m_startY;
        double right = m_startX + m_startW, bottom = m_startY + m_startH;
        if (TouchesLeft(m_handle))
            left = Bound(left + dx, 0.0, right - kSmallestBox);
        if (TouchesRight(m_handle))
            right = Bound(right + dx, left + kSmallestBox, labelW);
        if (TouchesTop(m_handle))
            top = Bound(top + dy, 0.0, bottom - kSmallestBox);
        if (TouchesBottom(m_handle))
            bottom = Bound(bottom + dy, top + kSmallestBox, labelH);
        o->x = left;
        o->y = top;
        o->w = right - left;
        o->h = bottom - top;
    }
    if (o->x == oldX && o->y == oldY && o->w == oldW && o->h == oldH)
        return;
    m_label->modified = true;
    update();
    if (m_handle < 0)
        emit objectMoved();
    else
        emit objectResized();
}

void CZelLabEditWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void CZelLabEditWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    CZelLabObject* selected = Selected();
    if (event->button() != Qt::LeftButton || !selected ||
        !BoxOf(*selected).contains(event->position().toPoint()))
        return;
    m_dragging = false;
    CZelLabeItemTextDlg dialog(selected->text, this);
    if (dialog.exec() != QDialog::Accepted || dialog.Text() == selected->text)
        return;
    selected->text = dialog.Text();
    m_label->modified = true;
    update();
    emit labelEdited();
}

void CZelLabEditWnd::keyPressEvent(QKeyEvent* event) {
    // Only here: Delete typed in a field of the dialog edits that field.
    if (event->key() == Qt::Key_Delete && Selected()) {
        DeleteSelected();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CZelLabEditWnd::UpdateCursor(const QPoint& point) {
    const int handle = HandleAt(point);
    if (handle >= 0)
        setCursor(HandleCursor(handle));
    else if (ObjectAt(point) >= 0)
        setCursor(Qt::SizeAllCursor);
    else
        setCursor(Qt::ArrowCursor);
}

void CZelLabEditWnd::dragEnterEvent(QDragEnterEvent* event) {
    if (m_label && event->mimeData()->hasFormat(QLatin1String(kFieldMimeType)))
        event->acceptProposedAction();
}

void CZelLabEditWnd::dragMoveEvent(QDragMoveEvent* event) {
    if (m_label && event->mimeData()->hasFormat(QLatin1String(kFieldMimeType)))
        event->acceptProposedAction();
}

void CZelLabEditWnd::dropEvent(QDropEvent* event) {
    bool ok = false;
    const int row =
        QString::fromLatin1(event->mimeData()->data(QLatin1String(kFieldMimeType))).toInt(&ok);
    if (!m_label || !ok)
        return;
    event->acceptProposedAction();
    emit fieldDropped(row, event->position().toPoint());
}
