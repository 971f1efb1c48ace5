#pragma once

#include "engine/platechange.h"
#include "shop/preflight.h"

#include <QObject>
#include <QTimer>

#include <memory>

class CTesselDoc;
class CTesselView;
class CWSBPreflightDlg;
class Installation;

// Keeps the open plate's preflight up to date: when a plate opens and
// whenever its orders or settings change, its orders are checked on a
// worker thread (unchanged artwork answered from the cache), and the
// findings go to the preflight page and to the view's badges. Nothing here
// ever blocks the operator or changes the plate beyond a selection asked
// for from the page.
class CPlatePreflight : public QObject, private PlateObserver {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 300; // a burst of changes starts one check
    static constexpr int kPollMs = 50;

    CPlatePreflight(Installation& shop, CTesselView& view, CWSBPreflightDlg& page,
                    QObject* parent = nullptr);
    ~CPlatePreflight() override;

    // The open plate (null: none); watched until the next call, which must
    // come before that plate is destroyed.
    void SetDocument(CTesselDoc* doc);
    // Whether a check is under way or waiting to start.
    bool Busy() const { return m_run || m_settle.isActive(); }
    const std::vector<OrderPreflight>& Results() const { return m_results; }

signals:
    // A check ended and its findings are shown.
    void finished();

private:
    void PlateChanged(const PlateChange& change) override;
    void Start();
    void Poll();
    void SelectOrder(const QString& ordernum);

    Installation& m_shop;
    CTesselView& m_view;
    CWSBPreflightDlg& m_page;
    CTesselDoc* m_doc = nullptr;
    std::shared_ptr<PreflightCache> m_cache = std::make_shared<PreflightCache>();
    std::unique_ptr<BackgroundOperation<Result<std::vector<OrderPreflight>>>> m_run;
    std::vector<OrderPreflight> m_results;
    QTimer m_settle;
    QTimer m_poll;
};
