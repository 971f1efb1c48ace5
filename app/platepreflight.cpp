#include "platepreflight.h"

#include "wsbpreflightdlg.h"

#include "engine/tesseldoc.h"
#include "shop/installation.h"
#include "view/tesselview.h"

CPlatePreflight::CPlatePreflight(Installation& shop, CTesselView& view, CWSBPreflightDlg& page,
                                 QObject* parent)
    : QObject(parent), m_shop(shop), m_view(view), m_page(page) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &CPlatePreflight::Start);
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &CPlatePreflight::Poll);
    connect(&m_page, &CWSBPreflightDlg::orderClicked, this, &CPlatePreflight::SelectOrder);
}

CPlatePreflight::~CPlatePreflight() {
    // The view and the page may be gone already: only the plate is let go.
    if (m_doc)
        m_doc->RemoveObserver(this);
}

void CPlatePreflight::SetDocument(CTesselDoc* doc) {
    if (m_doc)
        m_doc->RemoveObserver(this);
    m_doc = doc;
    m_run.reset(); // its findings were of the plate before
    m_poll.stop();
    m_results.clear();
    m_view.SetPreflightFindings({});
    if (!m_doc) {
        m_settle.stop();
        m_page.Clear();
        return;
    }
    m_doc->AddObserver(this);
    m_settle.start();
}

void CPlatePreflight::PlateChanged(const PlateChange& change) {
    if (change.Has(PlateChange::Orders) || change.Has(PlateChange::Properties))
        m_settle.start();
}

void CPlatePreflight::Start() {
    if (!m_doc)
        return;
    PreflightSettings settings;
    QString presetDir;
    m_shop.preference.GetPresetDir(presetDir);
    settings.products = preflight::ProductNames(m_shop.site);
    // The worker gets copies: the plate may change while it runs. It opens
    // the library the program loaded, in a session of its own.
    const QString library =
        m_shop.pdf.IsLoaded() ? m_shop.pdf.LibraryPath() : CPDFServer::DefaultLibraryPath();
    m_run = preflight::Start(m_cache, preflight::OrdersOf(*m_doc, presetDir), settings,
                             preflight::PlateOf(*m_doc), library);
    m_page.ShowRunning();
    m_poll.start();
}

void CPlatePreflight::Poll() {
    if (!m_run || !m_run->IsFinished())
        return;
    m_poll.stop();
    Result<std::vector<OrderPreflight>> found = m_run->Take();
    m_run.reset();
    if (!found) {
        m_page.ShowFailure(found.error());
        m_results.clear();
    } else {
        m_results = std::move(found.value());
        m_page.ShowResults(m_results);
    }
    QHash<QString, QStringList> marks;
    for (const OrderPreflight& order : m_results)
        for (const PreflightFinding& finding : order.findings)
            marks[order.ordernum] << finding.text;
    m_view.SetPreflightFindings(marks);
    emit finished();
}

void CPlatePreflight::SelectOrder(const QString& ordernum) {
    if (!m_doc)
        return;
    m_doc->DeselectAll();
    for (int i = 0; i < m_doc->ItemCount(); ++i)
        if (m_doc->ItemAt(i)->ordernum == ordernum)
            m_doc->SelectItem(m_doc->ItemAt(i));
}
