#include "wsbjobreadydlg.h"

#include "joblistgate.h"
#include "joblisticons.h"

#include "records/zeljobcontainer.h"
#include "view/controlnames.h"
#include "view/ticketdrag.h"

#include <QDrag>
#include <QFileInfo>
#include <QMimeData>
#include <QVBoxLayout>

#include <vector>

CWSBJobReadyList::CWSBJobReadyList(JobListGate& gate, QWidget* parent)
    : QTableView(parent), m_gate(gate) {
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::MoveAction);
}

QList<int> CWSBJobReadyList::SelectedRows() const {
    QList<int> rows;
    if (!model() || !selectionModel())
        return rows;
    // Ranges, not indices: a selection of 10,000 orders is a handful of ranges.
    std::vector<bool> seen(static_cast<size_t>(model()->rowCount()), false);
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (row >= 0 && row < static_cast<int>(seen.size()))
                seen[size_t(row)] = true;
    for (int row = 0; row < static_cast<int>(seen.size()); ++row)
        if (seen[size_t(row)])
            rows << row;
    return rows;
}

void CWSBJobReadyList::startDrag(Qt::DropActions) {
    auto* jobs = qobject_cast<CJobListModel*>(model());
    if (!jobs || m_dragging)
        return;
    const QStringList tickets = jobs->Tickets(SelectedRows());
    if (tickets.isEmpty())
        return;
    // The drag runs an event loop of its own: the watches wait for it. The
    // orders are taken after it, by the view they were dropped on.
    const JobListGate::Hold hold(m_gate, false);
    m_dragging = true;
    auto* drag = new QDrag(this);
    drag->setMimeData(ticketdrag::Encode(tickets));
    drag->setPixmap(joblisticons::Drag(static_cast<int>(tickets.size())));
    drag->setHotSpot(QPoint(8, 8));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
    m_dragging = false;
}

CWSBJobReadyDlg::CWSBJobReadyDlg(JobListGate& gate, QWidget* parent)
    : QWidget(parent), m_model(CJobListModel::Kind::Orders) {
    Named(this, "orderPage", QStringLiteral("주문 목록"));
    m_list = Named(new CWSBJobReadyList(gate), "orderList", QStringLiteral("주문 목록"));
    ShowJobList(m_list, &m_model);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CWSBJobReadyDlg::selectionChanged);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &CWSBJobReadyDlg::selectionChanged);
}

void CWSBJobReadyDlg::ShowContainer(const CZelJobContainer* container,
                                    const joblisttext::PlateParameters& plate) {
    m_container = container;
    m_plate = plate;
    m_label = container ? container->Summary(plate.plateQuantity, plate.gridWidth, plate.gridHeight)
                        : QString();
    m_model.Fill(container, plate);
}

void CWSBJobReadyDlg::DropGoneTickets(const QStringList& tickets) {
    QStringList gone;
    for (const QString& ticket : tickets)
        if (!QFileInfo::exists(ticket))
            gone << ticket;
    if (gone.isEmpty())
        return;
    m_model.RemoveTickets(gone);
    if (m_container)
        m_label =
            m_container->Summary(m_plate.plateQuantity, m_plate.gridWidth, m_plate.gridHeight);
    emit selectionChanged();
}

QString CWSBJobReadyDlg::SelectionSummary() const {
    const QList<int> rows = m_list->SelectedRows();
    long long cases = 0;
    long long places = 0;
    for (int row : rows) {
        cases += m_model.RowAt(row).cases;
        places += m_model.RowAt(row).places;
    }
    return joblisttext::SelectionSummary(static_cast<int>(rows.size()), cases, places);
}

QString CWSBJobReadyDlg::StatusText() const {
    if (!m_container || m_model.rowCount() == 0)
        return QString();
    const bool selected = m_list->selectionModel()->hasSelection();
    return joblisttext::StatusText(m_label, m_model.rowCount(), selected ? 1 : 0,
                                   selected ? SelectionSummary() : QString());
}
