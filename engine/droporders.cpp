// CTesselDoc: turning dropped orders into placed items.
#include "operatorinterface.h"
#include "tesseldoc.h"

#include "pdfbinding/pdfserver.h"
#include "records/intakejournal.h"
#include "records/progresssink.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

QString DoubleSidedMessage(const QString& ordernum) {
    return QStringLiteral("\"%1\"은(는) 양면 항목이므로 단면 판에 배치할 수 없습니다.")
        .arg(ordernum);
}

} // namespace

int CTesselDoc::OrderSheets(const CZelJob& job) {
    const int pquantity = job.GetPQuantity();
    if (pquantity >= 1)
        return pquantity;
    const double quantity = std::trunc(job.GetQuantity());
    return quantity > 0 && quantity < 2147483647.0 ? static_cast<int>(quantity) : 0;
}

int CTesselDoc::SidesPerItem(const CZelJob& job) const {
    // A work-and-turn plate without turn prints front and back as separate
    // single pages on the same side.
    if (m_geometry.workAndTurn && m_properties.turnDirection == 2)
        return 1;
    return job.GetPDFPage() >= 2 ? 2 : 1;
}

int CTesselDoc::CaseCount(const CZelJob& job) const {
    const int cases = job.GetPcases();
    if (cases < 1)
        return 0;
    if (m_geometry.workAndTurn && m_properties.turnDirection == 2 && job.GetPDFPage() > 1)
        return 2 * cases;
    return cases;
}

std::unique_ptr<CZelItem> CTesselDoc::MakeItem(const CZelJob& job, int caseIndex) const {
    auto item = std::make_unique<CZelItem>();
    item->jobCode = m_properties.jobCode;
    for (const CZelItem::TextField& field : CZelItem::TextFields())
        (*item).*field.member = job.Text(field.key);
    // The after-work fields join the ticket's lists.
    item->afterWork = job.AfterWorkText(false);
    item->afterWork2 = job.AfterWorkText(true);
    item->color = job.GetColor();
    item->pdfPage = job.GetPDFPage();
    item->pcases = job.GetPcases();
    item->quantity = job.GetQuantity();
    item->pquantity = OrderSheets(job);
    item->width = job.GetWidth();
    item->height = job.GetHeight();
    job.GetPdfPath(item->objPath);
    item->numSide = SidesPerItem(job);
    item->mediaInd = caseIndex;
    item->pageNum = caseIndex * item->numSide;
    return item;
}

Result<void> CTesselDoc::MeasureItemPages(CZelItem& item) {
    CPDFServer* pdf = m_context.pdf;
    if (!pdf || !pdf->IsLoaded())
        return Failure(QStringLiteral("the PDF composition library is not loaded"));
    for (int side = 0; side < (item.numSide >= 2 ? 2 : 1); ++side) {
        double width = 0, height = 0;
        if (!pdf->MiscGetPageSize(item.objPath, item.PdfPageNumber(side), width, height))
            return Failure(QStringLiteral("%1: %2").arg(item.objPath, pdf->LastError()));
        item.pages[side].SetPdfPath(item.objPath);
        item.pages[side].SetPageSize(width, height);
    }
    if (item.width != item.height &&
        CZelItem::PageLiesTurned(item.pages[0].PageWidth(), item.pages[0].PageHeight(), item.width,
                                 item.height))
        item.mediaRotate = 1;
    item.cx = item.pages[0].PageWidth();
    item.cy = item.pages[0].PageHeight();
    return {};
}

CTesselDoc::Placement CTesselDoc::PlaceOrder(const CZelJob& job, double x, double y, bool oneCopy,
                                             bool trial) {
    const int cases = CaseCount(job);
    const int sheets = OrderSheets(job);
    const int pressCount = m_properties.pressCount;
    ProgressSink* progress = trial ? nullptr : m_context.progress;
    const QString ordernum = job.Text("Ordernum");
    // The cases' previews are rendered ahead a few at a time on every
    // processor; progress still moves case by case.
    const int batch = 4 * std::max(1, QThread::idealThreadCount());
    std::shared_ptr<void> rendered;
    for (int g = 0; g < cases; ++g) {
        if (!trial && g % batch == 0) {
            rendered.reset();
            std::vector<std::unique_ptr<CZelItem>> ahead;
            std::vector<CZelItem*> pages;
            for (int c = g; c < std::min(cases, g + batch); ++c) {
                ahead.push_back(MakeItem(job, c));
                pages.push_back(ahead.back().get());
            }
            rendered = RenderPreviewsAhead(pages);
        }
        if (progress)
            progress->Detail(
                QStringLiteral("PDF 파일: %1.pdf - %2/%3").arg(ordernum).arg(g + 1).arg(cases));
        // One-copy mode gives every case exactly one item, even an order without sheets.
        for (int remainder = oneCopy ? 1 : sheets; remainder > 0;
             remainder = oneCopy ? 0 : remainder - pressCount) {
            std::unique_ptr<CZelItem> item = MakeItem(job, g);
            const Result<void> loaded =
                trial ? MeasureItemPages(*item) : RefreshPagePreviews(*item);
            if (!loaded)
                return {PlaceFailure::Artwork,
                        QStringLiteral("주문 \"%1\"의 PDF 파일을 읽을 수 없습니다.\n%2")
                            .arg(ordernum, loaded.error())};
            if (item->mediaRotate)
                item->rotate = (item->rotate + 270) % 360;
            // The label is prepared for the item as it lies after that turn.
            if (const Result<void> label = trial ? Result<void>() : RefreshLabelPreview(*item);
                !label)
                return {PlaceFailure::Artwork,
                        QStringLiteral("주문 \"%1\"의 레이블을 만들 수 없습니다.\n%2")
                            .arg(ordernum, label.error())};
            CZelItem* raw = item.get();
            if (!AddItemAtSlot(std::move(item), x, y))
                return {PlaceFailure::Room,
                        QStringLiteral("자리수가 부족하여 더이상 추가할 수 없습니다.")};
            raw->TurnPictures();
        }
        if (progress)
            progress->InnerStep(g + 1, cases);
    }
    return {};
}

bool CTesselDoc::DoubleSidedOnSingle(const CZelJob& job) const {
    return !m_geometry.workAndTurn && job.GetPDFPage() > m_geometry.paperSide + 1;
}

std::vector<size_t> CTesselDoc::PlacingOrder(const std::vector<CZelJob*>& orders) const {
    std::vector<size_t> sequence(orders.size());
    std::iota(sequence.begin(), sequence.end(), size_t{0});
    if (m_properties.arrangeMaxJob)
        std::stable_sort(sequence.begin(), sequence.end(), [&](size_t a, size_t b) {
            return orders[a]->GetPcases() > orders[b]->GetPcases();
        });
    return sequence;
}

void CTesselDoc::RefreshOrders() {
    const ChangeScope scope(*this);
    auto tickets = [this] {
        QStringList paths;
        for (int i = 0; i < m_jobContainer.Count(); ++i)
            paths << m_jobContainer.Job(i)->Path();
        return paths;
    };
    const QStringList before = tickets();
    m_jobContainer.Refresh(true);
    if (tickets() != before)
        Touch(PlateChange::Orders);
}

void CTesselDoc::RemoveItemsFrom(int index) {
    while (ItemCount() > index)
        RemoveItem(m_items.back().get());
}

Result<void> CTesselDoc::ReturnTicket(CZelJob& job) {
    QString jobsFolder;
    if (!m_context.preference || !m_context.preference->GetJobsDir(jobsFolder))
        return Failure(QStringLiteral("no job folder is set"));
    if (!job.MoveToLocation(jobsFolder))
        return Failure(job.LastError());
    return {};
}

void CTesselDoc::RecoverInterruptedDrops() {
    if (!intakejournal::AnyPending(m_progressFolder))
        return;
    // A drop still running elsewhere holds the lock and finishes its own.
    const std::unique_ptr<QLockFile> lock = intakejournal::Lock(m_progressFolder, 0);
    if (!lock)
        return;
    QString jobsFolder;
    if (m_context.preference)
        m_context.preference->GetJobsDir(jobsFolder);
    const intakejournal::Recovery recovery =
        intakejournal::Recover(m_progressFolder, jobsFolder, [this](const QString& pdf) {
            const QString wanted = QDir::cleanPath(pdf);
            return std::any_of(m_items.begin(), m_items.end(), [&](const auto& item) {
                return QDir::cleanPath(item->objPath) == wanted;
            });
        });
    if (recovery.Empty())
        return;
    // Tickets left the progress folder; the open reads what stays there.
    const ChangeScope scope(*this);
    Touch(PlateChange::Orders);
    if (!m_context.op)
        return;
    QString message = QStringLiteral("판 %1에 주문을 가져오던 작업이 중단되었습니다. 중단된 작업을 "
                                     "정리했습니다.")
                          .arg(m_properties.jobCode);
    if (!recovery.kept.isEmpty())
        message +=
            QStringLiteral("\n판에 있는 주문: %1").arg(recovery.kept.join(QStringLiteral(", ")));
    if (!recovery.returned.isEmpty())
        message += QStringLiteral("\n작업 폴더로 돌려보낸 주문: %1")
                       .arg(recovery.returned.join(QStringLiteral(", ")));
    if (!recovery.stranded.isEmpty())
        message += QStringLiteral("\n돌려보내지 못한 주문(진행 폴더에 있습니다): %1")
                       .arg(recovery.stranded.join(QStringLiteral("; ")));
    m_context.op->Tell(message);
}

int CTesselDoc::MaxItemsPerOrder(const CZelJob& job) const {
    // Beyond this an order is a damaged ticket, whatever the plate.
    constexpr int kHardLimit = 5000;
    if (m_geometry.HasGrid())
        return std::min<int>(kHardLimit, static_cast<int>(m_geometry.cellsByRow.size()));
    // Without a grid items follow each other inside the usable area.
    const double area = std::max(1.0, job.GetWidth() * job.GetHeight());
    const double usable = m_geometry.usableArea.width * m_geometry.usableArea.height;
    const double fits = std::floor(usable / area);
    return static_cast<int>(std::clamp(fits, 1.0, static_cast<double>(kHardLimit)));
}

QString CTesselDoc::OrderProblem(const CZelJob& job, bool oneCopy) const {
    const int cases = job.GetPcases();
    if (cases < 1)
        return QStringLiteral("Pcases %1 is not a number of cases").arg(job.Text("Pcases"));
    if (job.Has("Quantity")) {
        const double quantity = job.GetQuantity();
        if (!std::isfinite(quantity) || quantity < 0 || quantity >= 2147483648.0)
            return QStringLiteral("Quantity %1 is out of range").arg(job.Text("Quantity"));
    }
    for (const char* key : {"Width", "Height"}) {
        const double length = key[0] == 'W' ? job.GetWidth() : job.GetHeight();
        if (!std::isfinite(length) || length < 0)
            return QStringLiteral("%1 %2 is out of range").arg(QLatin1String(key), job.Text(key));
    }
    const int sheets = OrderSheets(job);
    if (!oneCopy && sheets < 1)
        return QStringLiteral("neither PQuantity nor Quantity gives a sheet to print");
    const int pressCount = std::max(1, m_properties.pressCount);
    const qint64 perCase =
        oneCopy ? 1 : (static_cast<qint64>(sheets) + pressCount - 1) / pressCount;
    const qint64 items = static_cast<qint64>(CaseCount(job)) * perCase;
    const int most = MaxItemsPerOrder(job);
    if (items > most)
        return QStringLiteral("the order makes %1 items (Pcases %2, %3 sheets at %4 per plate); "
                              "this plate holds at most %5")
            .arg(items)
            .arg(cases)
            .arg(sheets)
            .arg(pressCount)
            .arg(most);
    return QString();
}

bool CTesselDoc::AcceptsDropAt(double x, double y) const {
    const CZelBound& area = m_geometry.usableArea;
    return x >= area.x && x <= area.Right() && y >= area.y && y <= area.Bottom();
}

CTesselDoc::DropReport CTesselDoc::TryDrop(const std::vector<CZelJob*>& orders, double x, double y,
                                           bool oneCopy) {
    DropReport report;
    report.orders.resize(orders.size());
    if (!AcceptsDropAt(x, y)) {
        for (OrderVerdict& verdict : report.orders)
            verdict.reason = QStringLiteral("the drop point lies outside the usable area");
        return report;
    }
    OperatorInterface* op = m_context.op;
    const int pressCount = m_properties.pressCount;
    report.result = DropResult::Cancelled;
    // Slots are counted in plates of pressCount sheets; without one no order
    // can be divided into slots.
    if (pressCount < 1) {
        const QString message = QStringLiteral("인쇄매수가 1매보다 작아 주문을 배치할 수 없습니다. "
                                               "판 속성에서 인쇄매수를 정하십시오.");
        if (op)
            op->Tell(message);
        for (OrderVerdict& verdict : report.orders)
            verdict.reason = message;
        return report;
    }

    // The trial: every order must fit around the ones before it; the plate
    // and its modified flag are as they were afterwards. Only the cleared
    // selection is a change: the trial's items come and go unreported.
    const ChangeScope scope(*this);
    const bool wasModified = m_modified;
    DeselectAll();
    const PlateChange beforeTrial = m_pending;
    const int first = ItemCount();
    bool agreed = false;
    report.result = DropResult::Placed;
    const std::vector<size_t> sequence = PlacingOrder(orders);
    for (size_t n = 0; n < sequence.size(); ++n) {
        const CZelJob& job = *orders[sequence[n]];
        OrderVerdict& verdict = report.orders[sequence[n]];
        const QString ordernum = job.Text("Ordernum");
        verdict.reason = OrderProblem(job, oneCopy);
        if (!verdict.reason.isEmpty())
            continue;
        if (DoubleSidedOnSingle(job)) {
            verdict.reason = DoubleSidedMessage(ordernum);
            if (op)
                op->Tell(verdict.reason);
            continue;
        }
        const int start = ItemCount();
        const Placement placed = PlaceOrder(job, x, y, oneCopy, true);
        const PlaceFailure failure = placed.failure;
        if (failure != PlaceFailure::None)
            verdict.reason = placed.reason;
        if (failure == PlaceFailure::Artwork) {
            // Not a matter of room: this order alone stays out.
            RemoveItemsFrom(start);
            if (op)
                op->Tell(verdict.reason);
            continue;
        }
        if (failure == PlaceFailure::Room) {
            const bool go =
                op && op->Ask(QStringLiteral(
                          "선택 항목(들)을 배치할 자리가 부족합니다.\n계속 하시겠습니까?"));
            report.result = go ? DropResult::Placed : DropResult::Cancelled;
            // The real phase would stop here: this order and the rest stay out.
            for (size_t rest = n; rest < sequence.size(); ++rest)
                report.orders[sequence[rest]].reason = verdict.reason;
            break;
        }
        verdict.ok = true;
        if (agreed)
            continue;
        const int sheets = OrderSheets(job);
        QString question;
        if (sheets < pressCount)
            question = QStringLiteral(
                "제품 \"%1\"의 주문매수(%2매)가 인쇄매수(%3매) 보다 작습니다.\n계속하시겠습니까?");
        else if (sheets % pressCount != 0)
            question = QStringLiteral("제품 \"%1\"의 주문매수(%2매)와 인쇄매수(%3매)가 일치하지 "
                                      "않습니다.\n계속하시겠습니까?");
        if (!question.isEmpty()) {
            // Yes is not asked again in this drop: the orders after this one
            // whose counts do not match either are named now, or the
            // operator would never hear of them.
            QStringList others;
            for (size_t rest = n + 1; rest < sequence.size(); ++rest) {
                const CZelJob& other = *orders[sequence[rest]];
                const int otherSheets = OrderSheets(other);
                if (OrderProblem(other, oneCopy).isEmpty() && !DoubleSidedOnSingle(other) &&
                    (otherSheets < pressCount || otherSheets % pressCount != 0))
                    others << QStringLiteral("\"%1\"(%2매)")
                                  .arg(other.Text("Ordernum"))
                                  .arg(otherSheets);
            }
            question = question.arg(ordernum).arg(sheets).arg(pressCount);
            if (!others.isEmpty())
                question.insert(question.lastIndexOf(QLatin1Char('\n')),
                                QStringLiteral("\n인쇄매수와 맞지 않는 다른 제품: %1")
                                    .arg(others.join(QStringLiteral(", "))));
            if (!op || !op->Ask(question)) {
                report.result = DropResult::Cancelled;
                break;
            }
            agreed = true;
        }
    }
    RemoveItemsFrom(first);
    m_modified = wasModified;
    m_pending = beforeTrial;
    if (report.result == DropResult::Cancelled) {
        for (OrderVerdict& verdict : report.orders) {
            verdict.ok = false;
            if (verdict.reason.isEmpty())
                verdict.reason = QStringLiteral("the drop was cancelled");
        }
    }
    return report;
}

CTesselDoc::DropReport CTesselDoc::PlaceDropped(const std::vector<CZelJob*>& orders, double x,
                                                double y, bool oneCopy) {
    DropReport report;
    report.result = DropResult::Placed;
    report.orders.resize(orders.size());
    OperatorInterface* op = m_context.op;
    const std::shared_ptr<void> labels = m_context.HoldLabelSet();
    // Each item placed or taken away again reports its rectangle.
    const ChangeScope scope(*this, Edit::Place);
    DeselectAll();
    RefreshOrders();
    ProgressSink* progress = m_context.progress;
    if (progress)
        progress->Begin(QStringLiteral("조판용 PDF 파일 로드"), static_cast<int>(orders.size()));
    const std::vector<size_t> sequence = PlacingOrder(orders);
    for (size_t n = 0; n < sequence.size(); ++n) {
        const CZelJob& job = *orders[sequence[n]];
        OrderVerdict& verdict = report.orders[sequence[n]];
        const QString ordernum = job.Text("Ordernum");
        if (progress)
            progress->Detail(
                QStringLiteral("주문 번호: %1 (%2 건)").arg(ordernum).arg(job.GetPcases()));
        // The trial refused these already; a caller that skipped it meets them here.
        verdict.reason = OrderProblem(job, oneCopy);
        if (verdict.reason.isEmpty() && DoubleSidedOnSingle(job))
            verdict.reason = DoubleSidedMessage(ordernum);
        if (!verdict.reason.isEmpty()) {
            if (op)
                op->Tell(verdict.reason);
        } else {
            const int start = ItemCount();
            const Placement placed = PlaceOrder(job, x, y, oneCopy, false);
            const PlaceFailure failure = placed.failure;
            if (failure != PlaceFailure::None) {
                verdict.reason = placed.reason;
                RemoveItemsFrom(start);
            }
            if (failure == PlaceFailure::Room) {
                for (size_t rest = n; rest < sequence.size(); ++rest)
                    report.orders[sequence[rest]].reason = verdict.reason;
                if (op)
                    op->Tell(verdict.reason);
                report.result = DropResult::Stopped;
                break;
            }
            // Unreadable artwork keeps out this order alone; its reason is
            // the last word about it.
            if (failure == PlaceFailure::Artwork && op)
                op->Tell(verdict.reason);
            verdict.ok = failure == PlaceFailure::None;
        }
        if (progress)
            progress->Step(static_cast<int>(n + 1));
    }
    if (progress)
        progress->End();
    RefreshOrders();
    return report;
}

int CTesselDoc::DuplicateSelection(int count, int direction) {
    if (m_selection.size() != 1 || count < 1)
        return 0;
    const ChangeScope scope(*this, Edit::Duplicate);
    const CZelItem original = *m_selection.front();
    const int savedDirection = m_properties.arrangeDirection;
    m_properties.arrangeDirection = direction;
    int placed = 0;
    for (int i = 0; i < count; ++i) {
        auto copy = std::make_unique<CZelItem>(original);
        copy->selected = false;
        // The copy starts as a newly placed item: upright, its artwork
        // turned back when it lies turned in its slot.
        copy->rotate = 0;
        if (!RefreshPagePreviews(*copy))
            continue;
        if (copy->mediaRotate)
            copy->rotate = 270;
        if (!RefreshLabelPreview(*copy))
            continue;
        CZelItem* raw = copy.get();
        // Each copy joins the selection, so that with free placement the next
        // one steps on from it.
        if (!AddItemAtSlot(std::move(copy), 0, 0)) {
            if (m_context.op)
                m_context.op->Tell(QStringLiteral("자리수가 부족하여 더이상 추가할 수 없습니다."));
            break;
        }
        raw->TurnPictures();
        ++placed;
    }
    m_properties.arrangeDirection = savedDirection;
    return placed;
}

void CTesselDoc::RemoveOrdersAndReturnTickets(const QStringList& ordernums) {
    const ChangeScope scope(*this);
    if (!ordernums.isEmpty())
        Touch(PlateChange::Orders);
    for (const QString& ordernum : ordernums) {
        RemoveOrder(ordernum);
        if (CZelJob* job = m_jobContainer.FindByOrdernum(ordernum)) {
            const QString ticketName = QFileInfo(job->Path()).fileName();
            if (ReturnTicket(*job))
                RecordTicketMove(
                    {ordernum, ticketName, QFileInfo(job->Path()).absolutePath(), false});
        }
    }
    if (!ordernums.isEmpty())
        m_jobContainer.Refresh(true);
}

bool CTesselDoc::DeleteSelectedItems() {
    if (m_selection.empty())
        return false;
    if (!m_context.op ||
        !m_context.op->Ask(
            QStringLiteral("선택 항목 %1 개를 삭제하시겠습니까.").arg(m_selection.size())))
        return false;
    const ChangeScope scope(*this, Edit::DeleteItems);
    QStringList emptied;
    const std::vector<const CZelItem*> selected = m_selection;
    for (const CZelItem* item : selected) {
        if (CountOrderItems(item->ordernum, item->mediaInd) == 1 &&
            !emptied.contains(item->ordernum))
            emptied << item->ordernum;
        RemoveItem(item);
    }
    // An order missing a whole case cannot be printed: it goes back entire.
    RemoveOrdersAndReturnTickets(emptied);
    return true;
}

bool CTesselDoc::DeleteSelectedOrders() {
    QStringList ordernums;
    for (const CZelItem* item : m_selection)
        if (!ordernums.contains(item->ordernum))
            ordernums << item->ordernum;
    if (ordernums.isEmpty())
        return false;
    if (!m_context.op ||
        !m_context.op->Ask(QStringLiteral("선택 항목에 대한 주문 %1 건을 삭제하시겠습니까.")
                               .arg(ordernums.size())))
        return false;
    const ChangeScope scope(*this, Edit::DeleteOrders);
    RemoveOrdersAndReturnTickets(ordernums);
    return true;
}

bool CTesselDoc::ChangeLabel(const QString& labelName) {
    if (m_selection.size() != 1)
        return false;
    const ChangeScope scope(*this, Edit::Label);
    const QString ordernum = m_selection.front()->ordernum;
    QString failure;
    for (const auto& item : m_items) {
        if (item->ordernum == ordernum) {
            item->labelName = labelName;
            if (const Result<void> drawn = RefreshLabelPreview(*item); !drawn && failure.isEmpty())
                failure = drawn.error();
            TouchItem(*item);
        }
    }
    MarkModified();
    if (failure.isEmpty())
        return true;
    if (m_context.op)
        m_context.op->Tell(
            QStringLiteral("주문 \"%1\"의 레이블을 만들 수 없습니다.\n%2").arg(ordernum, failure));
    return false;
}
