#include "wsbpreflightdlg.h"

#include "view/controlnames.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString PageText(const PreflightFinding& finding) {
    if (finding.page <= 0)
        return QString();
    return finding.pages > 1
               ? QStringLiteral("%1 (외 %2쪽)").arg(finding.page).arg(finding.pages - 1)
               : QString::number(finding.page);
}

} // namespace

CWSBPreflightDlg::CWSBPreflightDlg(QWidget* parent) : QWidget(parent) {
    Named(this, "preflightPage", QStringLiteral("프리플라이트"));
    m_status = Named(new QLabel, "preflightStatus", QStringLiteral("프리플라이트 상태"));
    m_list = Named(new QTreeWidget, "preflightList", QStringLiteral("프리플라이트 결과"));
    m_list->setHeaderLabels(
        {QStringLiteral("주문번호"), QStringLiteral("쪽"), QStringLiteral("내용")});
    m_list->setRootIsDecorated(true);
    m_list->setUniformRowHeights(true);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 160);
    m_list->setColumnWidth(1, 70);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_status);
    layout->addWidget(m_list);
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* row) {
        // A finding's row stands for its order.
        QTreeWidgetItem* order = row->parent() ? row->parent() : row;
        emit orderClicked(order->text(0));
    });
    Clear();
}

void CWSBPreflightDlg::ShowRunning() {
    m_status->setText(QStringLiteral("주문의 PDF를 검사하고 있습니다..."));
}

void CWSBPreflightDlg::ShowResults(const std::vector<OrderPreflight>& results) {
    m_list->clear();
    int flagged = 0;
    for (const OrderPreflight& order : results) {
        if (order.findings.empty())
            continue;
        ++flagged;
        auto* row = new QTreeWidgetItem(
            m_list, {order.ordernum, QString(), QStringLiteral("%1건").arg(order.findings.size())});
        row->setToolTip(0, order.pdfPath);
        for (const PreflightFinding& finding : order.findings) {
            auto* child = new QTreeWidgetItem(row, {QString(), PageText(finding), finding.text});
            if (!finding.detail.isEmpty())
                child->setToolTip(2, finding.detail);
        }
        row->setExpanded(true);
    }
    m_status->setText(flagged == 0
                          ? QStringLiteral("주문 %1개: 발견된 문제가 없습니다").arg(results.size())
                          : QStringLiteral("주문 %1개 중 %2개에 확인할 점이 있습니다")
                                .arg(results.size())
                                .arg(flagged));
}

void CWSBPreflightDlg::ShowFailure(const QString& reason) {
    m_list->clear();
    m_status->setText(QStringLiteral("PDF를 검사할 수 없습니다: %1").arg(reason));
}

void CWSBPreflightDlg::Clear() {
    m_list->clear();
    m_status->setText(QStringLiteral("열린 판이 없습니다"));
}

QString CWSBPreflightDlg::StatusText() const {
    return m_status->text();
}
