#pragma once

#include "engine/platechange.h"
#include "jtbdlg.h"
#include "wsbdlg.h"

#include "records/joblisttext.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

class CTesselDoc;
class CTesselView;
class CZelPreference;
class JobListGate;
class ProgressSink;

// The two job list bars working as one: the product classification panel
// tells the job list panel which folder is selected; orders dropped on the
// plate view are taken and placed behind a progress dialog, and both lists
// let the taken rows go; the work list follows the plate's own orders; the
// log page records what this workstation did with tickets. The panels are
// made here and handed to the frame's docks, which own them.
class CJobLists : public QObject, public PlateObserver {
    Q_OBJECT
public:
    // The preference names JOBS_DIR; progress shows folder reads (may be null).
    CJobLists(const CZelPreference& preference, CTesselView& view, ProgressSink* progress,
              QObject* parent = nullptr);
    ~CJobLists() override;

    CJTBDlg* ProductPanel() const { return m_product; }
    CWSBDlg* JobPanel() const { return m_jobs; }

    // The open plate (null: none); watched until the next call, which must
    // come before that plate is destroyed.
    void SetDocument(CTesselDoc* doc);
    void PlateChanged(const PlateChange& change) override;

    // Takes dropped tickets onto the plate at (x, y) behind the progress
    // dialog, with the plate's questions; logs and tells what became of each.
    void TakeOrders(const QStringList& tickets, double x, double y, bool oneCopy);

    // A line in the log page (press runs and registrations write here too).
    void Log(const QString& text, bool problem = false);

private:
    void ApplyPlateParameters(bool always);
    void FollowPlateOrders(bool logLeaving);
    QString PlateName() const;

    JobListGate* m_gate;
    CTesselView& m_view;
    QPointer<CJTBDlg> m_product;
    QPointer<CWSBDlg> m_jobs;
    CTesselDoc* m_doc = nullptr;
    bool m_taking = false;       // a drop is being taken
    QSet<QString> m_plateOrders; // order numbers the plate's progress folder holds
};
