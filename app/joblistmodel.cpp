#include "joblistmodel.h"

#include "joblisticons.h"

#include "records/zeljobcontainer.h"
#include "view/ticketdrag.h"

#include <QDir>
#include <QHash>
#include <QHeaderView>
#include <QSet>
#include <QTableView>

#include <algorithm>

CJobListModel::CJobListModel(Kind kind, QObject* parent)
    : QAbstractTableModel(parent), m_kind(kind), m_titles(Titles(kind)) {}

QStringList CJobListModel::Titles(Kind kind) {
    QStringList titles = joblisttext::OrderListTitles();
    switch (kind) {
    case Kind::Orders:
        return titles;
    case Kind::Work:
        titles[11] = QStringLiteral("자리수");
        titles[16] = QStringLiteral("제작물상호");
        return titles;
    case Kind::InUse:
        break;
    }
    return {QStringLiteral("주문번호"), QStringLiteral("접수"),     QStringLiteral("접수일"),
            QStringLiteral("제품"),     QStringLiteral("제품종류"), QStringLiteral("도수"),
            QStringLiteral("재질"),     QStringLiteral("규격종류"), QStringLiteral("크기"),
            QStringLiteral("건수"),     QStringLiteral("자리수"),   QStringLiteral("수량"),
            QStringLiteral("후가공"),   QStringLiteral("후가공2"),  QStringLiteral("배송"),
            QStringLiteral("작업자")};
}

void CJobListModel::Fill(const CZelJobContainer* container,
                         const joblisttext::PlateParameters& plate) {
    beginResetModel();
    m_rows.clear();
    if (container && m_kind != Kind::InUse) {
        m_rows.reserve(static_cast<size_t>(container->Count()));
        for (int i = 0; i < container->Count(); ++i) {
            const CZelJob& job = *container->Job(i);
            Row row;
            row.texts = joblisttext::OrderListRow(job, plate);
            row.ticket = job.Path();
            row.memo = joblisttext::HasMemo(job);
            row.cases = joblisttext::CasesOf(job);
            row.places =
                joblisttext::PlacesOf(job, plate.plateQuantity, plate.gridWidth, plate.gridHeight)
                    .gridPlaces;
            if (m_kind == Kind::Work)
                row.texts[11] = QStringLiteral("N/A");
            m_rows.push_back(std::move(row));
        }
    }
    SortRows();
    endResetModel();
}

void CJobListModel::Clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int CJobListModel::RemoveTickets(const QStringList& tickets) {
    QSet<QString> gone;
    for (const QString& ticket : tickets)
        gone.insert(QDir::cleanPath(ticket));
    int removed = 0;
    // From the end, in runs, so that the view keeps the other rows' selection.
    for (int row = rowCount() - 1; row >= 0;) {
        if (!gone.contains(QDir::cleanPath(RowAt(row).ticket))) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && gone.contains(QDir::cleanPath(RowAt(first - 1).ticket)))
            --first;
        beginRemoveRows({}, first, row);
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + row + 1);
        endRemoveRows();
        removed += row - first + 1;
        row = first - 1;
    }
    return removed;
}

QStringList CJobListModel::Tickets(const QList<int>& rows) const {
    QStringList tickets;
    QSet<int> seen;
    for (int row : rows)
        if (row >= 0 && row < rowCount() && !seen.contains(row)) {
            seen.insert(row);
            tickets << RowAt(row).ticket;
        }
    return tickets;
}

int CJobListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CJobListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant CJobListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const Row& row = RowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return row.texts.value(index.column());
    case Qt::DecorationRole:
        if (index.column() == 0)
            return joblisticons::Order(row.memo);
        return {};
    default:
        return {};
    }
}

QVariant CJobListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_titles.value(section);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

Qt::ItemFlags CJobListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && m_kind == Kind::Orders)
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

void CJobListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount())
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<QString> tickets;
    tickets.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before)
        tickets.push_back(RowAt(index.row()).ticket);
    SortRows();
    // The persistent indices (the selection) follow their rows, found by
    // ticket: a folder holds each ticket once.
    QHash<QString, int> rowOf;
    if (!before.isEmpty()) {
        rowOf.reserve(rowCount());
        for (int row = 0; row < rowCount(); ++row)
            rowOf.insert(RowAt(row).ticket, row);
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(rowOf.value(tickets[static_cast<size_t>(i)], before[i].row()),
                       before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CJobListModel::SortRows() {
    const int column = m_sortColumn;
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    std::stable_sort(m_rows.begin(), m_rows.end(), [column, ascending](const Row& a, const Row& b) {
        const int c =
            joblisttext::CompareCells(column, a.texts.value(column), b.texts.value(column));
        return ascending ? c < 0 : c > 0;
    });
}

QStringList CJobListModel::mimeTypes() const {
    return {QLatin1String(ticketdrag::kMimeType)};
}

QMimeData* CJobListModel::mimeData(const QModelIndexList& indexes) const {
    QList<int> rows;
    for (const QModelIndex& index : indexes)
        rows << index.row();
    return ticketdrag::Encode(Tickets(rows));
}

Qt::DropActions CJobListModel::supportedDragActions() const {
    return m_kind == Kind::Orders ? Qt::MoveAction : Qt::IgnoreAction;
}

void ShowJobList(QTableView* table, CJobListModel* model) {
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setShowGrid(true);
    table->setWordWrap(false);
    table->setIconSize(QSize(16, 16));
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setDefaultSectionSize(70);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (int column = 0; column < model->columnCount(); ++column)
        table->setColumnWidth(column, column + 1 == model->columnCount() ? 240 : 70);
    table->horizontalHeader()->setSortIndicator(model->SortColumn(), model->SortOrder());
    table->setSortingEnabled(true);
}
