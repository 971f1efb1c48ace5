#pragma once

#include "records/joblisttext.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class CZelJobContainer;
class QTableView;

// The rows of one job list as the table shows them. A fill copies what the
// rows show out of the container's jobs once (texts, the numbers of the
// selection summary, the ticket's path); the rows never point into the
// container, whose next read frees its jobs.
class CJobListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Kind {
        Orders, // "주문 목록": the orders of a job folder, with their places
        Work,   // "합판 작업 목록": the plate's own orders
        InUse,  // "사용 중인 목록": its columns only
    };
    struct Row {
        QStringList texts;
        QString ticket;
        bool memo = false;
        int cases = 0;
        long long places = 0;
    };

    explicit CJobListModel(Kind kind, QObject* parent = nullptr);

    static QStringList Titles(Kind kind);

    // One row per job of the container (none for null), in its order, then
    // sorted as the list is sorted.
    void Fill(const CZelJobContainer* container, const joblisttext::PlateParameters& plate);
    void Clear();
    // Takes out the rows of these tickets; the number taken out.
    int RemoveTickets(const QStringList& tickets);

    const Row& RowAt(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    int SortColumn() const { return m_sortColumn; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }
    // The tickets of these rows, in the order given, each once.
    QStringList Tickets(const QList<int>& rows) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Numeric columns ("수량", "건수", "자리수") by their numbers, others by
    // text. Keeps the selection on its rows.
    void sort(int column, Qt::SortOrder order) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    void SortRows();

    Kind m_kind;
    QStringList m_titles;
    std::vector<Row> m_rows;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

// Puts a job list into a table: full rows, grid lines, 70-pixel columns (the
// last 240), sorting by a click on a column's title.
void ShowJobList(QTableView* table, CJobListModel* model);
