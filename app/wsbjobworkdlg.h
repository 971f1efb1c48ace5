#pragma once

#include "joblistmodel.h"

#include <QWidget>

class QTableView;

// The work list page ("합판 작업 목록"): the orders the open plate holds (its
// progress folder), as the plate last read them.
class CWSBJobWorkDlg : public QWidget {
    Q_OBJECT
public:
    explicit CWSBJobWorkDlg(QWidget* parent = nullptr);
    // The plate's own job list (null: no plate).
    void Fill(const CZelJobContainer* container);
    CJobListModel& Model() { return m_model; }

private:
    CJobListModel m_model;
    QTableView* m_list;
};
