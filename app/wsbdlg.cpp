#include "wsbdlg.h"

#include "joblistgate.h"
#include "wsbjobreadydlg.h"
#include "wsbjobuseddlg.h"
#include "wsbjobworkdlg.h"
#include "wsblogdlg.h"
#include "wsbpreflightdlg.h"

#include "records/zeljobcontainer.h"
#include "view/controlnames.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

CWSBDlg::CWSBDlg(JobListGate& gate, QWidget* parent) : QWidget(parent), m_gate(gate) {
    Named(this, "jobPanel", QStringLiteral("작업 목록"));
    m_tabs = Named(new QTabWidget, "jobTabs", QStringLiteral("작업 목록"));
    m_ready = new CWSBJobReadyDlg(gate);
    m_work = new CWSBJobWorkDlg;
    m_used = new CWSBJobUsedDlg;
    m_log = new CWSBLogDlg;
    m_preflight = new CWSBPreflightDlg;
    m_tabs->addTab(m_ready, QStringLiteral("주문 목록"));
    m_tabs->addTab(m_work, QStringLiteral("합판 작업 목록"));
    m_tabs->addTab(m_used, QStringLiteral("사용 중인 목록"));
    m_tabs->addTab(m_log, QStringLiteral("로그"));
    m_tabs->addTab(m_preflight, QStringLiteral("프리플라이트"));

    m_status = Named(new QLabel, "jobStatus", QStringLiteral("작업 목록 상태"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_refresh = Named(new QToolButton, "jobRefresh", QStringLiteral("주문 목록 새로 고침"));
    m_refresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    m_refresh->setToolTip(QStringLiteral("주문 목록을 다시 읽습니다"));
    m_refresh->setAutoRaise(true);
    m_refresh->setEnabled(false);
    auto* corner = new QWidget;
    auto* cornerLayout = new QHBoxLayout(corner);
    cornerLayout->setContentsMargins(8, 0, 2, 0);
    cornerLayout->addWidget(m_status);
    cornerLayout->addWidget(m_refresh);
    m_tabs->setCornerWidget(corner, Qt::TopRightCorner);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_tabs);

    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        UpdateStatus();
        Watch();
    });
    connect(m_ready, &CWSBJobReadyDlg::selectionChanged, this, &CWSBDlg::UpdateStatus);
    connect(m_refresh, &QToolButton::clicked, this, [this] {
        m_refresh->setEnabled(false);
        emit refreshRequested();
    });
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, &CWSBDlg::Watch);
    m_watch.start();
    m_gate.Guard(this);
}

void CWSBDlg::ShowContainer(const CZelJobContainer* container,
                            const joblisttext::PlateParameters& plate) {
    m_ready->ShowContainer(container, plate);
    m_refresh->setEnabled(false);
    UpdateStatus();
}

QString CWSBDlg::StatusText() const {
    return m_status->text();
}

void CWSBDlg::UpdateStatus() {
    // Only the order list has a status; the others leave it empty.
    m_status->setText(m_tabs->currentIndex() == OrderTab ? m_ready->StatusText() : QString());
}

void CWSBDlg::Watch() {
    if (!isVisible() || m_gate.Busy())
        return;
    const CZelJobContainer* shown = m_ready->Container();
    m_refresh->setEnabled(m_tabs->currentIndex() == OrderTab && shown && shown->NeedsRefresh());
}
