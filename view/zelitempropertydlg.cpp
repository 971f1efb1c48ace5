#include "zelitempropertydlg.h"

#include "controlnames.h"

#include "engine/zelitem.h"
#include "markup/numbertext.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString CaseText(const CZelItem& item) {
    // One page of a two-page case stands alone: the case and its side.
    if (item.numSide == 1 && item.pdfPage != item.numSide)
        return QStringLiteral("%1/%2(%3)")
            .arg(item.mediaInd / 2 + 1)
            .arg(item.pcases)
            .arg(item.mediaInd % 2 == 0 ? QLatin1Char('A') : QLatin1Char('B'));
    return QStringLiteral("%1/%2").arg(item.mediaInd + 1).arg(item.pcases);
}

QString QuantityText(double quantity) {
    const double hundredths = std::fabs(quantity - std::trunc(quantity)) * 100.0;
    if (hundredths < 1.0)
        return QString::number(static_cast<long long>(std::trunc(quantity)));
    return QString::number(quantity, 'f', 1) + QLatin1Char('R');
}

} // namespace

bool CZelItemPropertyDlg::HasOrderFields(const CZelItem& item) {
    return !item.ordernum.isEmpty();
}

CZelItemPropertyDlg::Rows CZelItemPropertyDlg::RowsOf(const CZelItem& item) {
    const bool quarter = item.rotate == 90 || item.rotate == 270;
    const double pageW = quarter ? item.cy : item.cx;
    const double pageH = quarter ? item.cx : item.cy;
    auto s = [](const char16_t* text) { return QString::fromUtf16(text); };
    return {
        {s(u"주문번호"), item.ordernum},
        {s(u"접수"), item.rework},
        {s(u"지점"), item.branchShop},
        {s(u"접수일"), item.rokDate},
        {s(u"제품"), item.product},
        {s(u"제품종류"), item.kind},
        {s(u"도수"), QString::number(item.color)},
        {s(u"재질"), item.paper},
        {s(u"규격 종류"), item.sizeKind},
        {s(u"위치"), numbertext::MillimetreText(item.x) + QStringLiteral(", ") +
                         numbertext::MillimetreText(item.y)},
        {s(u"크기"), numbertext::MillimetreText(item.EffectiveWidth()) + QStringLiteral(" * ") +
                         numbertext::MillimetreText(item.EffectiveHeight())},
        {s(u"그림 크기"), QStringLiteral("%1 mm * %2 mm")
                              .arg(QString::number(pageW, 'f', 2), QString::number(pageH, 'f', 2))},
        {s(u"그림 파일"), QString()},
        {s(u"회전"), QString::number(item.rotate)},
        {s(u"건수"), CaseText(item)},
        {s(u"수량"), QuantityText(item.quantity)},
        {s(u"매수"), QString::number(item.pquantity)},
        {s(u"후가공"), item.afterWork},
        {s(u"후가공2"), item.afterWork2},
        {s(u"배송 방법"), item.deliveryM},
        {s(u"배송 주소"), item.deliveryA},
        {s(u"회원사 아이디"), item.uid},
        {s(u"회원사명"), item.ucom},
        {s(u"회원명"), item.uname},
        {s(u"회원 전화번호"), item.utel},
        {s(u"회원 핸드폰번호"), item.uhp},
        {s(u"접수자"), item.receiptS},
        {s(u"인쇄물 상호"), item.pcom},
        {s(u"인쇄물 이름"), item.pname},
        {s(u"작업자 메모"), item.mmemo},
    };
}

CZelItemPropertyDlg::CZelItemPropertyDlg(const Rows& rows, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("itemPropertyDialog"));
    setWindowTitle(QStringLiteral("항목 상세 정보"));
    setAccessibleName(windowTitle());
    auto* model = new QStandardItemModel(int(rows.size()), 2, this);
    model->setHorizontalHeaderLabels({QStringLiteral("제목"), QStringLiteral("내용")});
    for (int i = 0; i < int(rows.size()); ++i) {
        auto* title = new QStandardItem(rows[size_t(i)].first);
        title->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        model->setItem(i, 0, title);
        model->setItem(i, 1, new QStandardItem(rows[size_t(i)].second));
    }
    auto* table = Named(new QTableView, "details", QStringLiteral("항목 상세 정보"));
    table->setModel(model);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setShowGrid(true);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setColumnWidth(0, 110);
    table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addWidget(OkCancelButtons(this));
    resize(560, 640);
}
