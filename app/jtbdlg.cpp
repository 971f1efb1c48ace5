#include "jtbdlg.h"

#include "joblistgate.h"

#include "records/jobfoldertree.h"
#include "records/zeljobcontainer.h"
#include "records/zelpreference.h"
#include "view/controlnames.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kContainerRole = Qt::UserRole + 1; // index into the list of job lists

} // namespace

CJTBDlg::CJTBDlg(const CZelPreference& preference, ProgressSink* progress, JobListGate& gate,
                 QWidget* parent)
    : QWidget(parent), m_preference(preference), m_progress(progress), m_gate(gate) {
    Named(this, "productPanel", QStringLiteral("제품 분류"));
    m_tree = Named(new QTreeWidget, "productTree", QStringLiteral("제품 분류"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);
    m_refresh = Named(new QToolButton, "productRefresh", QStringLiteral("새로 고침"));
    m_refresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    m_refresh->setToolTip(QStringLiteral("모든 폴더를 다시 읽습니다"));
    m_refresh->setAutoRaise(true);
    m_refresh->setEnabled(false);
    m_collapse =
        Named(new QPushButton(QStringLiteral("-")), "collapseAll", QStringLiteral("모두 접기"));
    m_expand =
        Named(new QPushButton(QStringLiteral("+")), "expandAll", QStringLiteral("모두 펼치기"));
    for (QPushButton* button : {m_collapse, m_expand}) {
        button->setAutoDefault(false);
        button->setFixedWidth(28);
    }
    m_status = Named(new QLabel, "productStatus", QStringLiteral("상태"));

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(m_refresh);
    bar->addWidget(m_collapse);
    bar->addWidget(m_expand);
    bar->addWidget(m_status, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(bar);
    layout->addWidget(m_tree, 1);

    connect(m_refresh, &QToolButton::clicked, this, &CJTBDlg::RefreshAll);
    connect(m_collapse, &QPushButton::clicked, m_tree, &QTreeWidget::collapseAll);
    connect(m_expand, &QPushButton::clicked, m_tree, &QTreeWidget::expandAll);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &CJTBDlg::SelectionChanged);
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, &CJTBDlg::Watch);
    m_gate.Guard(this);
}

CJTBDlg::~CJTBDlg() = default;

void CJTBDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_built)
        QTimer::singleShot(0, this, [this] {
            if (!m_built)
                Build();
        });
}

void CJTBDlg::Build() {
    m_built = true;
    m_watch.stop();
    {
        const QSignalBlocker quiet(m_tree);
        m_tree->clear();
    }
    m_items.clear();
    m_containers.clear();
    m_changesSeen = false;
    m_status->clear();
    m_refresh->setEnabled(false);
    QString jobsDir;
    if (m_preference.GetJobsDir(jobsDir)) {
        const jobfoldertree::Node root = jobfoldertree::Read(jobsDir);
        const JobListGate::Hold hold(m_gate);
        const QSignalBlocker quiet(m_tree);
        AddChildren(nullptr, root);
    }
    m_watch.start();
    if (m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(0)); // tells the selection
    else
        emit containerSelected(nullptr);
}

void CJTBDlg::AddChildren(QTreeWidgetItem* parent, const jobfoldertree::Node& node) {
    for (const jobfoldertree::Node& child : node.children) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        item->setText(0, child.name);
        item->setToolTip(0, child.path);
        item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
        if (!child.IsLeaf()) {
            AddChildren(item, child);
            item->setExpanded(true);
            continue;
        }
        auto container = std::make_unique<CZelJobContainer>(child.name, child.path);
        // A folder gone since the tree was read keeps its item, without a list.
        if (!container->DirectoryExists())
            continue;
        container->Refresh(true, m_progress);
        item->setData(0, kContainerRole, static_cast<int>(m_containers.size()));
        m_items.insert(container.get(), item);
        m_containers.push_back(std::move(container));
        UpdateLabel(*m_containers.back());
    }
}

CZelJobContainer* CJTBDlg::ContainerOf(const QTreeWidgetItem* item) const {
    if (!item)
        return nullptr;
    const QVariant index = item->data(0, kContainerRole);
    if (!index.isValid())
        return nullptr;
    const int i = index.toInt();
    return i >= 0 && i < static_cast<int>(m_containers.size()) ? m_containers[size_t(i)].get()
                                                               : nullptr;
}

CZelJobContainer* CJTBDlg::CurrentContainer() const {
    return ContainerOf(m_tree->currentItem());
}

QString CJTBDlg::Label(const CZelJobContainer& container) const {
    return container.Summary(m_plate.plateQuantity, m_plate.gridWidth, m_plate.gridHeight);
}

void CJTBDlg::UpdateLabel(CZelJobContainer& container) {
    if (QTreeWidgetItem* item = m_items.value(&container))
        item->setText(0, Label(container));
}

void CJTBDlg::SelectionChanged() {
    CZelJobContainer* container = CurrentContainer();
    if (container)
        Reload(container, false); // tells the selection
    else
        emit containerSelected(nullptr);
}

void CJTBDlg::Reload(CZelJobContainer* container, bool force) {
    if (!container)
        return;
    if (force || container->NeedsRefresh()) {
        const JobListGate::Hold hold(m_gate);
        container->Refresh(force, m_progress);
    }
    UpdateLabel(*container);
    ForgetChangesIfNoneLeft();
    if (container == CurrentContainer())
        emit containerSelected(container);
}

void CJTBDlg::RefreshAll() {
    {
        const JobListGate::Hold hold(m_gate);
        for (const auto& container : m_containers) {
            container->Refresh(true, m_progress);
            UpdateLabel(*container);
        }
    }
    m_changesSeen = false;
    m_status->clear();
    m_refresh->setEnabled(false);
    emit containerSelected(CurrentContainer());
}

void CJTBDlg::SetPlateParameters(const joblisttext::PlateParameters& plate) {
    m_plate = plate;
    {
        const JobListGate::Hold hold(m_gate);
        for (const auto& container : m_containers) {
            if (container->NeedsRefresh())
                container->Refresh(false, m_progress);
            UpdateLabel(*container);
        }
    }
    ForgetChangesIfNoneLeft();
    emit containerSelected(CurrentContainer());
}

void CJTBDlg::ForgetTickets(const QStringList& tickets) {
    for (const auto& container : m_containers)
        if (container->Forget(tickets) > 0)
            UpdateLabel(*container);
    ForgetChangesIfNoneLeft();
}

void CJTBDlg::ForgetChangesIfNoneLeft() {
    if (!m_changesSeen)
        return;
    for (const auto& container : m_containers)
        if (container->NeedsRefresh())
            return;
    m_changesSeen = false;
    m_status->clear();
    m_refresh->setEnabled(false);
}

void CJTBDlg::Watch() {
    // One status query per folder; nothing at all once a change was seen.
    if (!isVisible() || m_gate.Busy() || m_changesSeen)
        return;
    for (const auto& container : m_containers) {
        if (container->NeedsRefresh()) {
            m_changesSeen = true;
            m_status->setText(QStringLiteral("갱신됨"));
            m_refresh->setEnabled(true);
            return;
        }
    }
}
