#pragma once

#include "joblistmodel.h"

#include <QTableView>
#include <QWidget>

class CZelJobContainer;
class JobListGate;

// The order list's table: the selected orders are dragged from it onto the
// plate, carrying their tickets (ticketdrag) under a picture of their count.
class CWSBJobReadyList : public QTableView {
    Q_OBJECT
public:
    CWSBJobReadyList(JobListGate& gate, QWidget* parent = nullptr);
    bool IsDragging() const { return m_dragging; }
    // The selected rows, each once, top to bottom.
    QList<int> SelectedRows() const;

protected:
    void startDrag(Qt::DropActions supportedActions) override;

private:
    JobListGate& m_gate;
    bool m_dragging = false;
};

// The order list page ("주문 목록"): the orders of the selected folder with
// what each needs on the current plate, and the summary of a selection.
class CWSBJobReadyDlg : public QWidget {
    Q_OBJECT
public:
    CWSBJobReadyDlg(JobListGate& gate, QWidget* parent = nullptr);

    // Shows the orders of a job list as last read (null: none). The list is
    // owned by the product classification panel, which outlives this page.
    void ShowContainer(const CZelJobContainer* container,
                       const joblisttext::PlateParameters& plate);
    const CZelJobContainer* Container() const { return m_container; }
    // Rows of tickets that are no longer where the list read them (taken onto
    // a plate, or by someone else) go; the rest stay as they are.
    void DropGoneTickets(const QStringList& tickets);

    // The container's label, then ",  선택 " and the selection's summary.
    QString StatusText() const;
    QString SelectionSummary() const;

    CJobListModel& Model() { return m_model; }
    CWSBJobReadyList* List() const { return m_list; }

signals:
    void selectionChanged();

private:
    CJobListModel m_model;
    CWSBJobReadyList* m_list;
    const CZelJobContainer* m_container = nullptr;
    joblisttext::PlateParameters m_plate;
    QString m_label; // the container's label, as of the last fill
};
