#pragma once

#include "records/joblisttext.h"

#include <QHash>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class CZelJobContainer;
class CZelPreference;
namespace jobfoldertree {
struct Node;
}
class JobListGate;
class ProgressSink;
class QLabel;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The product classification panel ("제품 분류"): the folders under JOBS_DIR
// as a tree, a job list on each leaf folder, each labelled with what its
// orders need on the current plate. It owns the job lists for its lifetime;
// every read of one goes through it, so that its label always matches what
// was read. A watch looks every 3 seconds for folders that changed on disk
// and shows "갱신됨"; the refresh button then reads every folder again.
class CJTBDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWatchMs = 3000;

    // The preference names JOBS_DIR; progress shows each read (may be null).
    CJTBDlg(const CZelPreference& preference, ProgressSink* progress, JobListGate& gate,
            QWidget* parent = nullptr);
    ~CJTBDlg() override;

    // Reads the folder tree and every job list, and selects the first folder.
    // Runs by itself when the panel is first shown.
    void Build();

    const joblisttext::PlateParameters& PlateParameters() const { return m_plate; }
    // The current plate's press quantity and grid: the labels are computed
    // again from the tickets already read; only folders that changed on
    // disk are read again. The selected list is told again.
    void SetPlateParameters(const joblisttext::PlateParameters& plate);

    // The job list of the selected folder, or null.
    CZelJobContainer* CurrentContainer() const;
    // Reads a job list again (forced, or only when its folder changed),
    // rewrites its label, and tells containerSelected when it is selected.
    void Reload(CZelJobContainer* container, bool force);
    // The refresh button: every job list read again.
    void RefreshAll();
    // Tickets that left their folders (taken onto a plate) leave the lists
    // without a read; labels follow.
    void ForgetTickets(const QStringList& tickets);

    // A job list's label: its summary on the current plate.
    QString Label(const CZelJobContainer& container) const;
    bool ChangesSeen() const { return m_changesSeen; }
    // One look of the watch (the timer calls it).
    void Watch();

signals:
    // The selected folder changed, or its list was read again (null: a
    // folder without a list, or none).
    void containerSelected(CZelJobContainer* container);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AddChildren(QTreeWidgetItem* parent, const jobfoldertree::Node& node);
    CZelJobContainer* ContainerOf(const QTreeWidgetItem* item) const;
    void UpdateLabel(CZelJobContainer& container);
    void ForgetChangesIfNoneLeft();
    void SelectionChanged();

    const CZelPreference& m_preference;
    ProgressSink* m_progress;
    JobListGate& m_gate;
    joblisttext::PlateParameters m_plate;
    QTreeWidget* m_tree;
    QToolButton* m_refresh;
    QPushButton* m_collapse;
    QPushButton* m_expand;
    QLabel* m_status;
    QTimer m_watch;
    // In tree order (depth first), as the watch and refresh walk them.
    std::vector<std::unique_ptr<CZelJobContainer>> m_containers;
    QHash<const CZelJobContainer*, QTreeWidgetItem*> m_items;
    bool m_built = false;
    bool m_changesSeen = false;
};
