#include "joblists.h"

#include "joblistgate.h"
#include "jtbdlg.h"
#include "view/pdfprogressdlg.h"
#include "wsbdlg.h"
#include "wsbjobreadydlg.h"
#include "wsbjobworkdlg.h"
#include "wsblogdlg.h"

#include "engine/operatorinterface.h"
#include "engine/tesseldoc.h"
#include "shop/ticketintake.h"
#include "view/tesselview.h"

#include <QFileInfo>

#include <optional>

namespace {

QString OrderName(const ticketintake::OrderOutcome& order) {
    return order.ordernum.isEmpty() ? QFileInfo(order.ticket).fileName() : order.ordernum;
}

} // namespace

CJobLists::CJobLists(const CZelPreference& preference, CTesselView& view, ProgressSink* progress,
                     QObject* parent)
    : QObject(parent), m_gate(new JobListGate(this)), m_view(view) {
    m_product = new CJTBDlg(preference, progress, *m_gate);
    m_jobs = new CWSBDlg(*m_gate);
    connect(m_product, &CJTBDlg::containerSelected, this, [this](CZelJobContainer* container) {
        m_jobs->ShowContainer(container, m_product->PlateParameters());
    });
    connect(m_jobs, &CWSBDlg::refreshRequested, this,
            [this] { m_product->Reload(m_product->CurrentContainer(), true); });
    connect(&m_view, &CTesselView::ordersDropped, this, &CJobLists::TakeOrders);
}

CJobLists::~CJobLists() {
    if (m_doc)
        m_doc->RemoveObserver(this);
}

void CJobLists::SetDocument(CTesselDoc* doc) {
    if (m_doc)
        m_doc->RemoveObserver(this);
    m_doc = doc;
    if (m_doc)
        m_doc->AddObserver(this);
    ApplyPlateParameters(false);
    m_plateOrders.clear();
    FollowPlateOrders(false);
}

void CJobLists::PlateChanged(const PlateChange& change) {
    if (change.Has(PlateChange::Properties))
        ApplyPlateParameters(false);
    if (change.Has(PlateChange::Orders))
        FollowPlateOrders(!m_taking);
}

void CJobLists::ApplyPlateParameters(bool always) {
    if (!m_doc || !m_product)
        return;
    const PlateProperties& p = m_doc->Properties();
    const joblisttext::PlateParameters& now = m_product->PlateParameters();
    // The labels depend on these three alone; other settings change nothing.
    if (!always && now.plateQuantity == p.pressCount && now.gridWidth == p.gridWidth &&
        now.gridHeight == p.gridHeight)
        return;
    m_product->SetPlateParameters({p.pressCount, p.gridWidth, p.gridHeight});
}

void CJobLists::FollowPlateOrders(bool logLeaving) {
    if (!m_jobs)
        return;
    const CZelJobContainer* orders = m_doc ? &m_doc->JobContainer() : nullptr;
    m_jobs->WorkPage()->Fill(orders);
    QSet<QString> now;
    for (int i = 0; orders && i < orders->Count(); ++i)
        now.insert(orders->Job(i)->Text("Ordernum"));
    if (logLeaving)
        for (const QString& ordernum : m_plateOrders)
            if (!now.contains(ordernum))
                Log(QStringLiteral("판 %1: 주문 %2이(가) 판에서 빠져 작업 폴더로 돌아갔습니다.")
                        .arg(PlateName(), ordernum));
    m_plateOrders = now;
}

QString CJobLists::PlateName() const {
    return m_doc ? m_doc->Properties().jobCode : QString();
}

void CJobLists::Log(const QString& text, bool problem) {
    if (m_jobs)
        m_jobs->LogPage()->Append(text, problem);
}

void CJobLists::TakeOrders(const QStringList& tickets, double x, double y, bool oneCopy) {
    if (!m_doc || tickets.isEmpty() || !m_jobs || !m_product)
        return;
    // The watches wait; the dialog keeps the operator's hands off the rest.
    const JobListGate::Hold hold(*m_gate, false);
    CPDFDlgLoadJob dialog(m_jobs->window());
    // The drop's own report says what came and went: the plate's order
    // changes meanwhile are not logged twice.
    m_taking = true;
    std::optional<Result<ticketintake::Outcome>> taken;
    dialog.RunOn(*m_doc, [&] {
        taken = ticketintake::TakeAndPlace(*m_doc, tickets, x, y, oneCopy);
        return true;
    });
    m_taking = false;
    const Result<ticketintake::Outcome> result =
        taken ? std::move(*taken)
              : Result<ticketintake::Outcome>(Failure(QStringLiteral("the drop did not run")));

    OperatorInterface* op = m_doc->Context().op;
    const QString plate = PlateName();
    if (!result) {
        Log(QStringLiteral("판 %1: 주문을 가져오지 못했습니다: %2").arg(plate, result.error()),
            true);
        if (op)
            op->Tell(QStringLiteral("주문을 가져올 수 없습니다.\n%1").arg(result.error()));
    } else {
        const ticketintake::Outcome& outcome = result.value();
        const bool wanted = outcome.drop == CTesselDoc::DropResult::Placed;
        QStringList problems;
        for (const ticketintake::OrderOutcome& order : outcome.orders) {
            const QString name = OrderName(order);
            switch (order.fate) {
            case ticketintake::Fate::Placed:
                Log(QStringLiteral("판 %1: 주문 %2을(를) 가져와 배치했습니다 (항목 %3개).")
                        .arg(plate, name)
                        .arg(order.items));
                break;
            case ticketintake::Fate::Returned:
                Log(QStringLiteral("판 %1: 주문 %2을(를) 배치하지 못해 원래 폴더로 돌려보냈습니다: "
                                   "%3")
                        .arg(plate, name, order.reason));
                break;
            case ticketintake::Fate::Stranded:
                Log(QStringLiteral("판 %1: 주문 %2을(를) 돌려보내지 못했습니다 (진행 폴더에 "
                                   "남음): %3")
                        .arg(plate, name, order.reason),
                    true);
                problems << QStringLiteral("%1: %2").arg(name, order.reason);
                break;
            case ticketintake::Fate::Refused:
                Log(QStringLiteral("판 %1: 주문 %2을(를) 가져오지 않았습니다: %3")
                        .arg(plate, name, order.reason),
                    wanted);
                if (wanted)
                    problems << QStringLiteral("%1: %2").arg(name, order.reason);
                break;
            }
        }
        if (!outcome.saveError.isEmpty())
            Log(QStringLiteral("판 %1을(를) 저장하지 못해 가져온 주문을 돌려보냈습니다: %2")
                    .arg(plate, outcome.saveError),
                true);
        if (op && !outcome.saveError.isEmpty())
            op->Tell(QStringLiteral("판을 저장할 수 없어 주문을 돌려보냈습니다.\n%1")
                         .arg(outcome.saveError));
        else if (op && !problems.isEmpty())
            op->Tell(QStringLiteral("가져오지 못한 주문이 있습니다.\n%1")
                         .arg(problems.join(QLatin1Char('\n'))));
    }

    // Only the rows whose tickets left go; nothing is read again.
    m_product->ForgetTickets(tickets);
    m_jobs->ReadyPage()->DropGoneTickets(tickets);
    FollowPlateOrders(false);
}
