#include "wdpdlg.h"

#include "controlnames.h"
#include "numberedit.h"
#include "platesettingspanel.h"
#include "tesselview.h"

#include "engine/tesseldoc.h"
#include "markup/numbertext.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

QString SideCaption(plateview::ViewSide side) {
    switch (side) {
    case plateview::ViewSide::A:
        return QStringLiteral("A 판(앞면)");
    case plateview::ViewSide::B:
        return QStringLiteral("B 판(뒷면)");
    default:
        return QStringLiteral("레이블 판");
    }
}

constexpr int kPicture = 36; // pixels, square

// How one item stands on the plate: a page with a folded corner and a line
// of text at its top, turned as the item is; a dashed frame when not one
// item is selected.
QPixmap RotationPicture(int angle) {
    QPixmap picture(kPicture, kPicture);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(kPicture / 2.0, kPicture / 2.0);
    if (angle < 0) {
        p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
        p.drawRect(QRectF(-10, -13, 20, 26));
        return picture;
    }
    p.rotate(angle);
    const QRectF page(-10, -13, 20, 26);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygonF({page.topLeft(), page.topRight() - QPointF(6, 0), page.topRight() + QPointF(0, 6),
                   page.bottomRight(), page.bottomLeft()}));
    p.fillRect(QRectF(page.left() + 3, page.top() + 4, 10, 3), QColor(79, 154, 255));
    return picture;
}

// The one selected item's own cut marks: the eight ticks around its box,
// those that are on in black; nothing but the box when it has none.
QPixmap OwnCutPicture(const CZelItem* item) {
    QPixmap picture(kPicture, kPicture);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    const QRect box(9, 9, kPicture - 18, kPicture - 18);
    p.setPen(item ? QColor(79, 154, 255) : QColor(Qt::gray));
    p.drawRect(box);
    if (!item || !item->ownCut)
        return picture;
    p.setPen(QPen(Qt::black, 1));
    const int l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    // In the order of the marks: top, right, bottom, left, two each.
    const QLine ticks[8] = {{l + 3, 2, l + 3, t - 2},
                            {r - 3, 2, r - 3, t - 2},
                            {r + 2, t + 3, kPicture - 3, t + 3},
                            {r + 2, b - 3, kPicture - 3, b - 3},
                            {r - 3, b + 2, r - 3, kPicture - 3},
                            {l + 3, b + 2, l + 3, kPicture - 3},
                            {2, b - 3, l - 2, b - 3},
                            {2, t + 3, l - 2, t + 3}};
    for (int i = 0; i < 8; ++i)
        if (item->cropMarks[size_t(i)])
            p.drawLine(ticks[i]);
    return picture;
}

} // namespace

CWDPDlg::CWDPDlg(CTesselView& view, QWidget* parent) : QWidget(parent), m_view(view) {
    setObjectName(QStringLiteral("positionPanel"));
    setAccessibleName(QStringLiteral("위치"));
    m_x = Named(new CNumberEdit, "positionX", QStringLiteral("X:"));
    m_y = Named(new CNumberEdit, "positionY", QStringLiteral("Y:"));
    m_size = Named(new QLabel, "selectionSize", QStringLiteral("크기"));
    m_pageSize = Named(new QLabel, "pageSize", QStringLiteral("그림 크기"));
    m_order = Named(new QLabel, "orderNumber", QStringLiteral("주문 번호"));
    m_rotation = Named(new QLabel, "rotationPicture", QStringLiteral("회전"));
    m_ownCut = Named(new QLabel, "ownCutPicture", QStringLiteral("독립 재단선"));
    auto* properties = Named(new QPushButton(QStringLiteral(".")), "propertiesButton",
                             QStringLiteral("판 / 항목 정보"));
    properties->setToolTip(QStringLiteral("판 / 항목 정보"));
    properties->setFixedWidth(32);
    connect(properties, &QPushButton::clicked, this, &CWDPDlg::propertiesRequested);
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(m_rotation);
    pictureRow->addWidget(m_ownCut);
    pictureRow->addStretch(1);
    pictureRow->addWidget(properties);
    m_zoom = Named(new QComboBox, "zoom", QStringLiteral("확대"));
    m_zoom->setEditable(true);
    m_zoom->setInsertPolicy(QComboBox::NoInsert);
    for (int level : plateview::kZoomLevels)
        m_zoom->addItem(plateview::ZoomText(level), level);
    m_sides = new QButtonGroup(this);
    auto* sideRow = new QHBoxLayout;
    const char* const names[] = {"sideA", "sideB", "sideLabel"};
    const QString texts[] = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("L")};
    for (int i = 0; i < 3; ++i) {
        auto* button = Named(new QPushButton(texts[i]), names[i],
                             SideCaption(static_cast<plateview::ViewSide>(i)));
        button->setCheckable(true);
        button->setFixedWidth(32);
        m_sides->addButton(button, i);
        sideRow->addWidget(button);
    }
    m_sideB = static_cast<QPushButton*>(m_sides->button(1));
    m_sideCaption = Named(new QLabel, "sideCaption", QStringLiteral("보이는 판"));
    sideRow->addWidget(m_sideCaption, 1);
    m_arrangement = Named(new QComboBox, "panelArrangement", QStringLiteral("배열 방식"));
    m_arrangement->addItems(CPlateSettingsPanel::ArrangementNames());

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("X:"), m_x);
    form->addRow(QStringLiteral("Y:"), m_y);
    form->addRow(QStringLiteral("크기:"), m_size);
    form->addRow(QStringLiteral("그림:"), m_pageSize);
    form->addRow(QStringLiteral("주문:"), m_order);
    form->addRow(QString(), pictureRow);
    form->addRow(QStringLiteral("확대:"), m_zoom);
    form->addRow(QStringLiteral("판:"), sideRow);
    form->addRow(QStringLiteral("배열:"), m_arrangement);

    // Enter moves only the axis whose text the operator changed: the shown
    // text is rounded, the position is not.
    connect(m_x, &CNumberEdit::valueEdited, this, [this] { MoveTo(true); });
    connect(m_y, &CNumberEdit::valueEdited, this, [this] { MoveTo(false); });
    connect(m_zoom, &QComboBox::activated, this,
            [this](int index) { m_view.SetZoom(m_zoom->itemData(index).toInt()); });
    connect(m_zoom->lineEdit(), &QLineEdit::returnPressed, this, &CWDPDlg::OnZoomEntered);
    connect(&m_view, &CTesselView::zoomChanged, this, &CWDPDlg::ShowZoom);
    connect(m_sides, &QButtonGroup::idClicked, this, [this](int id) {
        m_view.SetSide(static_cast<plateview::ViewSide>(id));
        PlateChanged();
    });
    connect(m_arrangement, &QComboBox::activated, this, [this](int index) {
        if (CTesselDoc* doc = m_view.Document())
            plateview::SetArrangeDirection(*doc, index);
    });
    connect(&m_view, &CTesselView::selectionChanged, this, &CWDPDlg::ShowSelection);
    // The arrangement and the sides follow the plate, whoever changed it.
    connect(&m_view, &CTesselView::plateEdited, this, &CWDPDlg::PlateChanged);
    connect(&m_view, &CTesselView::cursorMoved, this, &CWDPDlg::ShowCursor);
    PlateChanged();
}

void CWDPDlg::ShowZoom() {
    const QSignalBlocker blocker(m_zoom);
    const int index = m_zoom->findData(m_view.Zoom());
    if (index >= 0)
        m_zoom->setCurrentIndex(index);
    m_zoom->setEditText(plateview::ZoomText(m_view.Zoom()));
}

void CWDPDlg::OnZoomEntered() {
    // A typed zoom outside the levels' range changes nothing.
    const std::optional<double> percent = numbertext::LeadingNumber(m_zoom->currentText());
    if (percent && *percent >= plateview::kMinZoom / 10.0 && *percent <= plateview::kMaxZoom / 10.0)
        m_view.SetZoom(plateview::ZoomFromPercent(*percent, m_view.Zoom()));
    ShowZoom();
}

void CWDPDlg::PlateChanged() {
    const CTesselDoc* doc = m_view.Document();
    m_sideB->setEnabled(doc &&
                        plateview::GeometrySide(plateview::ViewSide::B, doc->Geometry()) >= 0);
    m_sides->button(int(m_view.Side()))->setChecked(true);
    m_sideCaption->setText(SideCaption(m_view.Side()));
    {
        const QSignalBlocker blocker(m_arrangement);
        m_arrangement->setCurrentIndex(doc ? std::clamp(doc->Properties().arrangeDirection, 0, 8)
                                           : 0);
    }
    m_arrangement->setEnabled(doc != nullptr);
    ShowZoom();
    ShowSelection();
}

void CWDPDlg::ShowSelection() {
    const CTesselDoc* doc = m_view.Document();
    const bool selected = doc && doc->SelectedCount() > 0;
    m_x->setEnabled(selected);
    m_y->setEnabled(selected);
    const CZelItem* one = doc && doc->SelectedCount() == 1 ? doc->Selection().front() : nullptr;
    m_rotation->setPixmap(RotationPicture(one ? one->rotate : -1));
    m_rotation->setAccessibleDescription(one ? QStringLiteral("%1도").arg(one->rotate) : QString());
    m_ownCut->setPixmap(OwnCutPicture(one));
    m_ownCut->setAccessibleDescription(
        one ? (one->ownCut ? QStringLiteral("있음") : QStringLiteral("없음")) : QString());
    if (!selected) {
        m_size->clear();
        m_pageSize->clear();
        m_order->clear();
        return;
    }
    const CZelBound box = doc->SelectionBounds(false);
    m_x->SetValue(box.x);
    m_y->SetValue(box.y);
    m_size->setText(QStringLiteral("%1 * %2").arg(numbertext::MillimetreText(box.width),
                                                  numbertext::MillimetreText(box.height)));
    double w = 0, h = 0;
    if (doc->SelectionPageSize(w, h)) {
        m_pageSize->setText(QStringLiteral("%1 * %2").arg(numbertext::MillimetreText(w),
                                                          numbertext::MillimetreText(h)));
        m_order->setText(doc->Selection().front()->ordernum);
    } else {
        m_pageSize->clear();
        m_order->clear();
    }
}

void CWDPDlg::ShowCursor(double x, double y) {
    m_x->SetValue(x);
    m_y->SetValue(y);
}

void CWDPDlg::MoveTo(bool xTyped) {
    CTesselDoc* doc = m_view.Document();
    if (!doc || doc->SelectedCount() == 0)
        return;
    const CZelBound box = doc->SelectionBounds(false);
    const double dx = xTyped ? m_x->Value() - box.x : 0.0;
    const double dy = xTyped ? 0.0 : m_y->Value() - box.y;
    doc->MoveSelection(dx, dy);
    ShowSelection();
    m_view.setFocus();
}
