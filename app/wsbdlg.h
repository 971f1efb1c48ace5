#pragma once

#include "records/joblisttext.h"

#include <QTimer>
#include <QWidget>

class CWSBJobReadyDlg;
class CWSBJobUsedDlg;
class CWSBJobWorkDlg;
class CWSBLogDlg;
class CWSBPreflightDlg;
class CZelJobContainer;
class JobListGate;
class QLabel;
class QTabWidget;
class QToolButton;

// The job list panel ("작업 목록"): the order list, the plate's work list,
// the in-use list and the log as tabs, with a status text and a refresh
// button right of the tabs. A watch looks every second whether the shown
// folder changed on disk and enables the refresh button.
class CWSBDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWatchMs = 1000;
    enum Tab { OrderTab, WorkTab, UsedTab, LogTab, PreflightTab };

    explicit CWSBDlg(JobListGate& gate, QWidget* parent = nullptr);

    // The selected folder's list, as read (null: none).
    void ShowContainer(const CZelJobContainer* container,
                       const joblisttext::PlateParameters& plate);

    CWSBJobReadyDlg* ReadyPage() const { return m_ready; }
    CWSBJobWorkDlg* WorkPage() const { return m_work; }
    CWSBJobUsedDlg* UsedPage() const { return m_used; }
    CWSBLogDlg* LogPage() const { return m_log; }
    CWSBPreflightDlg* PreflightPage() const { return m_preflight; }
    QString StatusText() const;
    // One look of the watch (the timer calls it).
    void Watch();

signals:
    // The refresh button: the shown folder is to be read again.
    void refreshRequested();

private:
    void UpdateStatus();

    JobListGate& m_gate;
    QTabWidget* m_tabs;
    QLabel* m_status;
    QToolButton* m_refresh;
    CWSBJobReadyDlg* m_ready;
    CWSBJobWorkDlg* m_work;
    CWSBJobUsedDlg* m_used;
    CWSBLogDlg* m_log;
    CWSBPreflightDlg* m_preflight;
    QTimer m_watch;
};
