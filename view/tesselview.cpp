#include "tesselview.h"

#include "rulerwnd.h"
#include "ticketdrag.h"

#include "engine/screenmapping.h"
#include "engine/tesseldoc.h"
#include "engine/textboxpicture.h"
#include "records/zelcolorpresets.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTimer>
#include <QToolTip>
#include <QTransform>

namespace {

const QColor kMagenta(255, 79, 255);
const QColor kSplit(255, 0, 128);
const QColor kItemBlue(79, 154, 255);
const QColor kCutBox(192, 192, 192);
constexpr double kPasteboardTop = 25.0; // mm above the first page
constexpr int kDragThreshold = 5;       // pixels a press must travel to start a drag

QColor ScreenColour(const CTesselDoc& doc, const QString& name, const QColor& fallback) {
    const CZelColorPresets* colors = doc.Context().colors;
    const CZelColorItem* item = colors ? colors->FindColor(name) : nullptr;
    return item ? QColor(item->r, item->g, item->b) : fallback;
}

// A frame of one device pixel just inside rect.
void Frame(QPainter& p, const QRect& rect, const QColor& colour) {
    p.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    p.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    p.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), colour);
    p.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), colour);
}

} // namespace

CTesselView::CTesselView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("plateView"));
    setAccessibleName(QStringLiteral("판"));
    viewport()->setObjectName(QStringLiteral("plateViewport"));
    viewport()->setAccessibleName(QStringLiteral("판 보기"));
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    m_hRuler = new CRulerWnd(Qt::Horizontal, this);
    m_vRuler = new CRulerWnd(Qt::Vertical, this);
    m_corner = new QWidget(this);
    m_corner->setObjectName(QStringLiteral("rulerCorner"));
    m_corner->setAccessibleName(QStringLiteral("자 모서리"));
    m_corner->setAutoFillBackground(true);
    setViewportMargins(CRulerWnd::kThickness, CRulerWnd::kThickness, 0, 0);
    m_band = new QRubberBand(QRubberBand::Rectangle, viewport());
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    UpdateExtent();
}

CTesselView::~CTesselView() {
    if (m_doc)
        m_doc->RemoveObserver(this);
}

void CTesselView::SetDocument(CTesselDoc* doc) {
    CancelGesture();
    if (m_doc)
        m_doc->RemoveObserver(this);
    m_doc = doc;
    if (m_doc)
        m_doc->AddObserver(this);
    m_thumbnails.clear();
    if (m_doc)
        m_side = plateview::FitViewSide(m_side, m_doc->Geometry());
    UpdateExtent();
    // The plate, not the pasteboard to its left, comes into view first.
    horizontalScrollBar()->setValue(PageOrigin(0).x() - 24);
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

int CTesselView::Px(double mm, Qt::Orientation orientation) const {
    const int dpi = orientation == Qt::Horizontal ? logicalDpiX() : logicalDpiY();
    return screenmapping::MmToPixelsAtZoom(mm, dpi, m_zoom);
}

QPoint CTesselView::PageOrigin(int page) const {
    if (!m_doc)
        return {};
    const PlateGeometry& g = m_doc->Geometry();
    const screenmapping::ViewPoint origin = screenmapping::PageOriginPixels(
        page, g.layoutWidth, g.layoutHeight, logicalDpiX(), logicalDpiY(), m_zoom / 1000.0);
    return {origin.x, origin.y};
}

void CTesselView::SetZoom(int zoom) {
    zoom = std::clamp(zoom, plateview::kMinZoom, plateview::kMaxZoom);
    if (zoom == m_zoom)
        return;
    const int oldH = horizontalScrollBar()->maximum(), oldV = verticalScrollBar()->maximum();
    const int h = horizontalScrollBar()->value(), v = verticalScrollBar()->value();
    m_zoom = zoom;
    m_thumbnails.clear(); // drawn for the old zoom
    UpdateExtent();
    horizontalScrollBar()->setValue(
        plateview::ScrollAfterZoom(h, oldH, horizontalScrollBar()->maximum()));
    verticalScrollBar()->setValue(
        plateview::ScrollAfterZoom(v, oldV, verticalScrollBar()->maximum()));
    viewport()->update();
    emit zoomChanged(m_zoom);
}

void CTesselView::StepZoom(int step) {
    SetZoom(plateview::StepZoom(m_zoom, step));
}

void CTesselView::SetSide(plateview::ViewSide side) {
    if (m_doc)
        side = plateview::FitViewSide(side, m_doc->Geometry());
    if (side == m_side)
        return;
    m_side = side;
    m_thumbnails.clear();
    viewport()->update();
    emit sideChanged(int(side));
}

void CTesselView::SetShown(const Furniture& shown) {
    m_shown = shown;
    m_cutPlan.reset();
    viewport()->update();
}

void CTesselView::PlateChanged(const PlateChange& change) {
    m_cutPlan.reset();
    if (change.wholePlate || change.Has(PlateChange::Properties)) {
        const plateview::ViewSide side = plateview::FitViewSide(m_side, m_doc->Geometry());
        UpdateExtent();
        viewport()->update();
        if (side != m_side) {
            m_side = side;
            m_thumbnails.clear();
            emit sideChanged(int(side));
        }
    } else if (change.Has(PlateChange::Furniture)) {
        viewport()->update();
    } else {
        // Only where items were and are now, with room for frames and
        // selection handles.
        QRegion region;
        for (const CZelBound& rect : change.rects)
            region += ExtentRect(rect, plateview::kItemPage).adjusted(-4, -4, 4, 4);
        viewport()->update(
            region.translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value()));
    }
    if (change.Has(PlateChange::Items)) {
        // Pictures of items that are gone are not kept.
        for (auto it = m_thumbnails.begin(); it != m_thumbnails.end();)
            it = m_doc->IndexOf(it.key()) < 0 ? m_thumbnails.erase(it) : std::next(it);
    }
    if (change.kinds & ~unsigned(PlateChange::Selection))
        emit plateEdited();
    if (change.Has(PlateChange::Selection) || change.Has(PlateChange::Items))
        emit selectionChanged();
}

void CTesselView::UpdateExtent() {
    int width = 0, height = 0;
    if (m_doc) {
        const PlateGeometry& g = m_doc->Geometry();
        const screenmapping::ViewExtent extent = screenmapping::ViewExtentPixels(
            g.layoutWidth, g.layoutHeight, logicalDpiX(), logicalDpiY(), m_zoom / 1000.0,
            m_doc->Properties().pageCount);
        width = extent.width;
        height = extent.height;
    }
    const QSize page = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, width - page.width()));
    horizontalScrollBar()->setPageStep(page.width());
    verticalScrollBar()->setRange(0, std::max(0, height - page.height()));
    verticalScrollBar()->setPageStep(page.height());
    m_hRuler->SetExtent(width, horizontalScrollBar()->value());
    m_vRuler->SetExtent(height, verticalScrollBar()->value());
}

void CTesselView::PlaceRulers() {
    const QRect area = viewport()->geometry();
    const int t = CRulerWnd::kThickness;
    m_hRuler->setGeometry(area.left(), area.top() - t, area.width(), t);
    m_vRuler->setGeometry(area.left() - t, area.top(), t, area.height());
    m_corner->setGeometry(area.left() - t, area.top() - t, t, t);
}

void CTesselView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    PlaceRulers();
    UpdateExtent();
}

void CTesselView::scrollContentsBy(int, int) {
    UpdateExtent(); // the rulers follow the scroll
    viewport()->update();
}

CTesselView::PlatePos CTesselView::ToPlate(const QPoint& point) const {
    if (!m_doc)
        return {};
    const PlateGeometry& g = m_doc->Geometry();
    const screenmapping::PlatePoint plate = screenmapping::ViewPointToPlate(
        point.x() + horizontalScrollBar()->value(), point.y() + verticalScrollBar()->value(),
        logicalDpiX(), logicalDpiY(), m_zoom / 1000.0, g.layoutWidth, g.layoutHeight,
        m_doc->Properties().pageCount);
    return {plate.x, plate.y, plate.page};
}

QRect CTesselView::ItemRect(const CZelItem& item, bool withOwnCut) const {
    return ExtentRect(item.Bounds(withOwnCut), plateview::kItemPage);
}

QRect CTesselView::ExtentRect(const CZelBound& box, int page) const {
    const QPoint origin = PageOrigin(page);
    return QRect(origin.x() + Px(box.x, Qt::Horizontal), origin.y() + Px(box.y, Qt::Vertical),
                 std::max(1, Px(box.width, Qt::Horizontal)),
                 std::max(1, Px(box.height, Qt::Vertical)));
}

void CTesselView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), Qt::white);
    if (!m_doc)
        return;
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    p.translate(-scroll);
    // Only what the paint event asks for: an expose paints its own area.
    const QRect clip = event->rect().translated(scroll);
    for (int page = 0; page < std::max(1, m_doc->Properties().pageCount); ++page)
        DrawPage(p, page, clip);
}

void CTesselView::DrawPage(QPainter& p, int page, const QRect& clip) {
    const CTesselDoc& doc = *m_doc;
    const PlateProperties& prop = doc.Properties();
    const PlateGeometry& g = doc.Geometry();
    const QPoint origin = PageOrigin(page);
    const QRect pageRect(
        origin, QSize(Px(g.layoutWidth, Qt::Horizontal), Px(g.layoutHeight, Qt::Vertical)));
    if (!pageRect
             .adjusted(-pageRect.width(), -Px(kPasteboardTop, Qt::Vertical), pageRect.width(),
                       Px(kPasteboardTop, Qt::Vertical))
             .intersects(clip))
        return;

    // Free lines and text boxes lie on the page under the items.
    for (const FreeLine& line : doc.Lines()) {
        const bool horizontal = line.dir != 0;
        const double x = horizontal ? line.start : line.offset;
        const double y = horizontal ? line.offset : line.start;
        const double w = horizontal ? line.end - line.start : line.weight;
        const double h = horizontal ? line.weight : line.end - line.start;
        p.fillRect(QRect(origin.x() + Px(x, Qt::Horizontal), origin.y() + Px(y, Qt::Vertical),
                         std::max(1, Px(w, Qt::Horizontal)), std::max(1, Px(h, Qt::Vertical))),
                   ScreenColour(doc, line.colorName, Qt::black));
    }
    for (const TextBox& box : doc.TextBoxes()) {
        const bool quarter = box.rotate == 90 || box.rotate == 270;
        const double w = quarter ? box.height : box.width, h = quarter ? box.width : box.height;
        const QRect rect(origin.x() + Px(box.x, Qt::Horizontal),
                         origin.y() + Px(box.y, Qt::Vertical), Px(w, Qt::Horizontal),
                         Px(h, Qt::Vertical));
        if (!rect.intersects(clip))
            continue;
        QSvgRenderer picture(CTextBoxPicture::PicturePath(doc.WorkFolder(), box));
        if (!picture.isValid()) {
            Frame(p, rect, Qt::gray);
            continue;
        }
        p.save();
        p.translate(rect.center());
        p.rotate(box.rotate);
        const QSizeF upright = quarter ? QSizeF(rect.height(), rect.width()) : QSizeF(rect.size());
        picture.render(&p, QRectF(QPointF(-upright.width() / 2, -upright.height() / 2), upright));
        p.restore();
    }

    // Own cut marks first, then the items in stacking order.
    for (int i = 0; i < doc.ItemCount(); ++i) {
        const CZelItem& item = *doc.ItemAt(i);
        if (page == plateview::kItemPage && item.ownCut && ItemRect(item, true).intersects(clip))
            DrawOwnCut(p, item, ItemRect(item, false));
    }
    for (int i = 0; i < doc.ItemCount(); ++i) {
        const CZelItem& item = *doc.ItemAt(i);
        const QRect box = ItemRect(item, false);
        if (page == plateview::kItemPage && box.intersects(clip))
            DrawItem(p, item, box);
    }

    // The furniture lies above the items.
    const QRect margins = pageRect.adjusted(
        Px(prop.margin[PlateProperties::Edge::Left], Qt::Horizontal),
        Px(prop.margin[PlateProperties::Edge::Top], Qt::Vertical),
        -Px(g.effectiveRightMargin, Qt::Horizontal), -Px(g.effectiveBottomMargin, Qt::Vertical));
    if (m_shown.verticalGrid && prop.gridWidth >= 1)
        for (double x = prop.margin[PlateProperties::Edge::Left] + prop.gridWidth;
             x < g.layoutWidth - g.effectiveRightMargin; x += prop.gridWidth)
            p.fillRect(
                QRect(origin.x() + Px(x, Qt::Horizontal), margins.top(), 1, margins.height()),
                kMagenta);
    if (m_shown.horizontalGrid && prop.gridHeight >= 1)
        for (double y = prop.margin[PlateProperties::Edge::Top] + prop.gridHeight;
             y < g.layoutHeight - g.effectiveBottomMargin; y += prop.gridHeight)
            p.fillRect(QRect(margins.left(), origin.y() + Px(y, Qt::Vertical), margins.width(), 1),
                       kMagenta);
    if (m_shown.horizontalSplit && g.centreY != 0)
        p.fillRect(
            QRect(pageRect.left(), origin.y() + Px(g.centreY, Qt::Vertical), pageRect.width(), 1),
            kSplit);
    if (m_shown.verticalSplit && g.centreX != 0)
        p.fillRect(
            QRect(origin.x() + Px(g.centreX, Qt::Horizontal), pageRect.top(), 1, pageRect.height()),
            kSplit);
    Frame(p, margins, kMagenta);
    Frame(p, pageRect, Qt::black);
    if (m_shown.cutPlan && page == plateview::kItemPage)
        DrawCutPlan(p, page, pageRect);

    const std::vector<const CZelItem*>& selection = doc.Selection();
    if (page == plateview::kItemPage)
        for (size_t i = 0; i < selection.size(); ++i)
            DrawSelection(p, ItemRect(*selection[i], false), i == 0);
}

void CTesselView::DrawCutPlan(QPainter& p, int page, const QRect& pageRect) {
    if (!m_cutPlan)
        m_cutPlan = std::make_unique<Result<CutPlan>>(MakeCutPlan(*m_doc));
    p.save();
    p.setClipRect(pageRect);
    const QColor knife(220, 0, 0);
    if (!m_cutPlan->ok()) {
        // Why there is no plan, where the lines would be.
        p.setPen(knife);
        p.drawText(pageRect.adjusted(6, 6, -6, -6), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   QStringLiteral("재단 계획을 만들 수 없습니다: %1").arg(m_cutPlan->error()));
        p.restore();
        return;
    }
    const CutPlan& plan = m_cutPlan->value();
    for (const CZelBound& waste : plan.waste)
        p.fillRect(ExtentRect(waste, page), QBrush(QColor(220, 0, 0, 90), Qt::BDiagPattern));
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    for (const CutPlan::Cut& cut : plan.cuts) {
        const QRect piece = ExtentRect(cut.pieceBound, page);
        const QPoint origin = PageOrigin(page);
        const bool alongX = cut.axis == CutPlan::Axis::X;
        QRect line;
        if (alongX)
            line = QRect(origin.x() + Px(cut.position, Qt::Horizontal), piece.top(), 1,
                         piece.height());
        else
            line =
                QRect(piece.left(), origin.y() + Px(cut.position, Qt::Vertical), piece.width(), 1);
        p.fillRect(line, knife);
        const QString label = QString::number(cut.step);
        const QRect text = p.fontMetrics().boundingRect(label).adjusted(-2, 0, 2, 0);
        const QPoint at = alongX ? QPoint(line.left() - text.width() / 2, piece.top() + 2)
                                 : QPoint(piece.left() + 2, line.top() - text.height() / 2);
        const QRect tag(at, text.size());
        p.fillRect(tag, Qt::white);
        p.setPen(knife);
        p.drawText(tag, Qt::AlignCenter, label);
    }
    p.restore();
}

QPixmap CTesselView::Thumbnail(const CZelItem& item) {
    // The picture of the shown side and the size and angle it stands at.
    QString file;
    QSizeF natural; // mm, upright
    int angle = item.rotate;
    const bool label = m_side == plateview::ViewSide::Label;
    if (label) {
        file = item.label.picturePath;
        natural = QSizeF(item.label.width, item.label.height);
        angle = item.label.rotation;
    } else {
        const int page = m_side == plateview::ViewSide::B && item.numSide > 1 ? 1 : 0;
        if (m_side == plateview::ViewSide::B && item.numSide < 2 && !m_doc->Geometry().workAndTurn)
            return {};
        file = m_doc->PagePreviewPath(item, page);
        natural =
            QSizeF(item.pages[size_t(page)].PageWidth(), item.pages[size_t(page)].PageHeight());
    }
    if (file.isEmpty() || natural.isEmpty())
        return {};
    const QFileInfo info(file);
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(file)
                            .arg(info.lastModified().toMSecsSinceEpoch())
                            .arg(angle)
                            .arg(m_zoom);
    CachedThumbnail& cached = m_thumbnails[&item];
    if (cached.key == key)
        return cached.pixmap;
    const bool quarter = angle == 90 || angle == 270;
    const QSize drawn(Px(quarter ? natural.height() : natural.width(), Qt::Horizontal),
                      Px(quarter ? natural.width() : natural.height(), Qt::Vertical));
    QPixmap pixmap(drawn.expandedTo(QSize(1, 1)));
    pixmap.fill(Qt::white);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.translate(pixmap.width() / 2.0, pixmap.height() / 2.0);
        p.rotate(angle);
        const QSizeF upright = quarter ? QSizeF(drawn.height(), drawn.width()) : QSizeF(drawn);
        const QRectF target(QPointF(-upright.width() / 2, -upright.height() / 2), upright);
        if (label) {
            QSvgRenderer svg(file);
            if (!svg.isValid())
                return {};
            svg.render(&p, target);
        } else {
            QImage image(file);
            if (image.isNull())
                return {};
            p.drawImage(target, image);
        }
    }
    cached = {key, pixmap};
    return pixmap;
}

void CTesselView::DrawItem(QPainter& p, const CZelItem& item, const QRect& box) {
    p.fillRect(box, Qt::white);
    const QPixmap thumbnail = item.artworkMissing ? QPixmap() : Thumbnail(item);
    if (thumbnail.isNull()) {
        p.setPen(kItemBlue);
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomLeft());
    } else {
        p.save();
        p.setClipRect(box);
        p.drawPixmap(box.center() - QPoint(thumbnail.width() / 2, thumbnail.height() / 2),
                     thumbnail);
        p.restore();
    }
    if (item.ownFrame) {
        const QColor colour = ScreenColour(*m_doc, item.ownFrameColor, Qt::black);
        for (int inset = 0; inset < 3; ++inset)
            Frame(p, box.adjusted(inset, inset, -inset, -inset), colour);
    } else {
        Frame(p, box, kItemBlue);
    }
    if (m_preflight.contains(item.ordernum))
        DrawPreflightBadge(p, box);
}

void CTesselView::DrawPreflightBadge(QPainter& p, const QRect& box) {
    // A small mark in the top-right corner, kept inside small items.
    const int side = std::clamp(std::min(box.width(), box.height()) / 3, 6, 16);
    const QRect badge(box.right() - side - 1, box.top() + 2, side, side);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(QColor(230, 120, 0));
    p.drawEllipse(badge);
    if (side >= 10) {
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(side - 4);
        p.setFont(font);
        p.drawText(badge, Qt::AlignCenter, QStringLiteral("!"));
    }
    p.restore();
}

void CTesselView::SetPreflightFindings(const QHash<QString, QStringList>& findings) {
    m_preflight = findings;
    viewport()->update();
}

QStringList CTesselView::PreflightFindingsAt(const QPoint& viewportPoint) const {
    if (!m_doc || m_preflight.isEmpty())
        return {};
    const PlatePos at = ToPlate(viewportPoint);
    const CZelItem* item = plateview::TopmostItemAt(*m_doc, at.page, at.x, at.y);
    return item ? m_preflight.value(item->ordernum) : QStringList();
}

bool CTesselView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QStringList lines = PreflightFindingsAt(help->pos());
        if (lines.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), lines.join(QLatin1Char('\n')), viewport());
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CTesselView::DrawOwnCut(QPainter& p, const CZelItem& item, const QRect& trim) {
    const QRect grown = ItemRect(item, true);
    Frame(p, grown, kCutBox);
    const int c = Px(1.0, Qt::Horizontal);
    const int cl = trim.left() - grown.left(), ct = trim.top() - grown.top();
    const int cr = grown.right() - trim.right(), cb = grown.bottom() - trim.bottom();
    const int l = grown.left(), t = grown.top(), r = grown.right(), b = grown.bottom();
    p.setPen(Qt::black);
    const QLine ticks[8] = {{l + c + cl, t, l + c + cl, trim.top()},
                            {r - c - cr - 1, t, r - c - cr - 1, trim.top()},
                            {r, t + c + ct, trim.right(), t + c + ct},
                            {r, b - c - cb - 1, trim.right(), b - c - cb - 1},
                            {r - c - cr - 1, b, r - c - cr - 1, trim.bottom()},
                            {l + c + cl, b, l + c + cl, trim.bottom()},
                            {l, b - c - cb - 1, trim.left(), b - c - cb - 1},
                            {l, t + c + ct, trim.left(), t + c + ct}};
    for (int i = 0; i < 8; ++i)
        if (item.cropMarks[size_t(i)])
            p.drawLine(ticks[i]);
}

void CTesselView::DrawSelection(QPainter& p, const QRect& box, bool primary) {
    Frame(p, box, kItemBlue);
    const int xs[] = {box.left(), box.center().x(), box.right() - 1};
    const int ys[] = {box.top(), box.center().y(), box.bottom() - 1};
    for (int ix = 0; ix < 3; ++ix)
        for (int iy = 0; iy < 3; ++iy) {
            if (ix == 1 && iy == 1)
                continue;
            const QRect handle(xs[ix] - 3, ys[iy] - 3, 7, 7);
            p.fillRect(handle, primary ? kItemBlue : QColor(Qt::white));
            Frame(p, handle, kItemBlue);
        }
}

void CTesselView::CancelGesture() {
    m_pressed = m_dragging = m_dragStarted = m_rubberBand = m_pan = false;
    m_band->hide();
    CloseEditGroup();
}

void CTesselView::OpenEditGroup() {
    if (m_editGroupOpen || !m_doc)
        return;
    m_doc->BeginEdit(CTesselDoc::Edit::Move);
    m_editGroupOpen = true;
}

void CTesselView::CloseEditGroup() {
    if (!m_editGroupOpen)
        return;
    m_editGroupOpen = false;
    if (m_doc)
        m_doc->EndEdit();
}

void CTesselView::mousePressEvent(QMouseEvent* event) {
    if (!m_doc || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus();
    CancelGesture();
    m_pressed = true;
    m_shiftAtPress = event->modifiers() & Qt::ShiftModifier;
    m_pan = event->modifiers() & Qt::ControlModifier;
    m_pressPoint = m_lastPoint = event->position().toPoint();
    m_scrollAtPress = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (m_pan)
        return;
    const PlatePos at = ToPlate(m_pressPoint);
    m_dragging = plateview::TopmostItemAt(*m_doc, at.page, at.x, at.y) != nullptr;
    plateview::ClickSelect(*m_doc, at.page, at.x, at.y, m_shiftAtPress);
    if (!m_dragging) {
        m_rubberBand = true;
        m_band->setGeometry(QRect(m_pressPoint, QSize()));
        m_band->show();
    }
}

void CTesselView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    m_hRuler->SetCursor(point.x());
    m_vRuler->SetCursor(point.y());
    if (!m_doc)
        return;
    if (!m_pressed) {
        if (m_doc->SelectedCount() == 0) {
            const PlatePos at = ToPlate(point);
            emit cursorMoved(at.x, at.y);
        }
        return;
    }
    if (m_pan) {
        const QPoint scroll = m_scrollAtPress + m_pressPoint - point;
        horizontalScrollBar()->setValue(scroll.x());
        verticalScrollBar()->setValue(scroll.y());
        return;
    }
    if (m_rubberBand) {
        m_band->setGeometry(QRect(m_pressPoint, point).normalized());
        return;
    }
    if (!m_dragging)
        return;
    const QPoint delta = point - m_lastPoint;
    if (!m_dragStarted && std::abs(delta.x()) <= kDragThreshold &&
        std::abs(delta.y()) <= kDragThreshold)
        return;
    m_dragStarted = true;
    OpenEditGroup();
    const double zoom = m_zoom / 1000.0;
    m_doc->MoveSelection(screenmapping::PixelsToMm(delta.x(), logicalDpiX(), zoom),
                         screenmapping::PixelsToMm(delta.y(), logicalDpiY(), zoom));
    // Near an edge, a margin or a grid line the selection snaps onto it and
    // stays until pulled further than the threshold.
    const CZelBound box = m_doc->SelectionBounds(false);
    const CTesselDoc::SnapResult snap =
        m_doc->SnapPosition(box, logicalDpiX(), logicalDpiY(), zoom);
    if (snap.changed) {
        m_doc->MoveSelection(snap.x - box.x, snap.y - box.y);
        m_dragStarted = false;
    }
    m_lastPoint = point;
}

void CTesselView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    if (m_doc && m_rubberBand) {
        const QRect band = QRect(m_pressPoint, event->position().toPoint()).normalized();
        const PlatePos a = ToPlate(band.topLeft()), b = ToPlate(band.bottomRight());
        // Shift is read at the release: the operator may press it on the way.
        const bool add = event->modifiers() & Qt::ShiftModifier;
        plateview::SelectInRect(*m_doc, a.page, {a.x, a.y, b.x - a.x, b.y - a.y}, add);
    }
    CancelGesture();
}

void CTesselView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!m_doc || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    // The first press already selected what lies under the cursor.
    CancelGesture();
    emit propertiesRequested();
}

void CTesselView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        StepZoom(event->angleDelta().y() > 0 ? 1 : -1);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void CTesselView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && m_pressed) {
        CancelGesture();
        return;
    }
    if (!m_doc) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const double step = event->modifiers() & Qt::ShiftModifier ? 0.5 : 1.0;
    double dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dx = -step;
        break;
    case Qt::Key_Right:
        dx = step;
        break;
    case Qt::Key_Up:
        dy = -step;
        break;
    case Qt::Key_Down:
        dy = step;
        break;
    case Qt::Key_Delete:
        CloseEditGroup();
        DeleteSelection();
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (m_doc->SelectedCount() == 0)
        return;
    // Held down, the key repeats: the run ends when it is let go.
    if (!m_pressed)
        OpenEditGroup();
    m_doc->MoveSelection(dx, dy);
}

void CTesselView::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    if (!event->isAutoRepeat() && !m_pressed &&
        (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down))
        CloseEditGroup();
    QAbstractScrollArea::keyReleaseEvent(event);
}

void CTesselView::DeleteSelection() {
    // The plate asks the operator before it deletes.
    if (m_doc && m_doc->SelectedCount() > 0)
        m_doc->DeleteSelectedItems();
}

void CTesselView::focusOutEvent(QFocusEvent* event) {
    // A drag or a rubber band does not outlive the focus.
    CancelGesture();
    QAbstractScrollArea::focusOutEvent(event);
}

void CTesselView::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_doc)
        return;
    CancelGesture();
    // The menu acts on the item under the mouse: an unselected one becomes
    // the selection; a selected one keeps the selection it belongs to.
    if (event->reason() == QContextMenuEvent::Mouse) {
        const PlatePos at = ToPlate(event->pos());
        if (plateview::TopmostItemAt(*m_doc, at.page, at.x, at.y))
            plateview::ClickSelect(*m_doc, at.page, at.x, at.y, false);
    }
    emit contextMenuRequested(event->globalPos());
}

// Orders dropped from the job list.

bool CTesselView::AcceptsDropAt(const QPoint& viewportPoint) const {
    if (!m_doc)
        return false;
    // Orders land where items live: the first plate page.
    const PlatePos at = ToPlate(viewportPoint);
    return at.page == plateview::kItemPage && m_doc->AcceptsDropAt(at.x, at.y);
}

bool CTesselView::DropOrders(const QStringList& tickets, const QPoint& viewportPoint,
                             bool oneCopy) {
    if (tickets.isEmpty() || !AcceptsDropAt(viewportPoint))
        return false;
    CancelGesture();
    const PlatePos at = ToPlate(viewportPoint);
    // The plate reports the items that came, and the view draws them.
    emit ordersDropped(tickets, at.x, at.y, oneCopy);
    return true;
}

void CTesselView::dragEnterEvent(QDragEnterEvent* event) {
    if (m_doc && ticketdrag::Carries(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CTesselView::dragMoveEvent(QDragMoveEvent* event) {
    // Ignored outside the usable area: the drag shows the "no" cursor there.
    if (ticketdrag::Carries(event->mimeData()) && AcceptsDropAt(event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CTesselView::dragLeaveEvent(QDragLeaveEvent* event) {
    event->accept();
}

void CTesselView::dropEvent(QDropEvent* event) {
    const QStringList tickets = ticketdrag::Decode(event->mimeData());
    const QPoint point = event->position().toPoint();
    if (tickets.isEmpty() || !AcceptsDropAt(point)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Taking orders asks questions and shows its progress: that waits until
    // the drag's own event loop has ended.
    const bool oneCopy = event->modifiers().testFlag(Qt::ShiftModifier);
    QTimer::singleShot(0, this,
                       [this, tickets, point, oneCopy] { DropOrders(tickets, point, oneCopy); });
}
