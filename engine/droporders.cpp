// CTesselDoc: turning dropped orders into placed items.
#include "operatorinterface.h"
#include "tesseldoc.h"

#include "pdfbinding/pdfserver.h"
#include "records/progresssink.h"
#include "records/zelpreference.h"

#include <cmath>

namespace {

void SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
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
    item->ordernum = job.Text("Ordernum");
    item->rework = job.Text("Rework");
    item->branchShop = job.Text("BranchShop");
    item->rokDate = job.Text("ROKDate");
    item->product = job.Text("Product");
    item->kind = job.Text("Kind");
    item->paper = job.Text("Paper");
    item->sizeKind = job.Text("SizeKind");
    item->afterWork = job.AfterWorkText(false);
    item->afterWork2 = job.AfterWorkText(true);
    item->deliveryM = job.Text("DeliveryM");
    item->deliveryA = job.Text("DeliveryA");
    item->uid = job.Text("Uid");
    item->ucom = job.Text("Ucom");
    item->uname = job.Text("Uname");
    item->utel = job.Text("Utel");
    item->uhp = job.Text("UHP");
    item->receiptS = job.Text("ReceiptS");
    item->pcom = job.Text("Pcom");
    item->pname = job.Text("Pname");
    item->mmemo = job.Text("Mmemo");
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

bool CTesselDoc::MeasureItemPages(CZelItem& item, QString* error) {
    CPDFServer* pdf = m_context.pdf;
    if (!pdf || !pdf->IsLoaded()) {
        SetError(error, QStringLiteral("the PDF composition library is not loaded"));
        return false;
    }
    for (int side = 0; side < (item.numSide >= 2 ? 2 : 1); ++side) {
        double width = 0, height = 0;
        if (!pdf->MiscGetPageSize(item.objPath, item.mediaInd * item.numSide + side + 1, width,
                                  height)) {
            SetError(error, QStringLiteral("%1: %2").arg(item.objPath, pdf->LastError()));
            return false;
        }
        item.pages[side].SetPdfPath(item.objPath);
        item.pages[side].SetPageSize(width, height);
    }
    if (item.width != item.height &&
        CZelItem::PageLiesTurned(item.pages[0].PageWidth(), item.pages[0].PageHeight(), item.width,
                                 item.height))
        item.mediaRotate = 1;
    item.cx = item.pages[0].PageWidth();
    item.cy = item.pages[0].PageHeight();
    return true;
}

bool CTesselDoc::PlaceOrder(const CZelJob& job, double x, double y, bool oneCopy, bool trial) {
    const int cases = CaseCount(job);
    const int sheets = OrderSheets(job);
    const int pressCount = m_properties.pressCount;
    ProgressSink* progress = trial ? nullptr : m_context.progress;
    for (int g = 0; g < cases; ++g) {
        if (progress)
            progress->Detail(QStringLiteral("PDF 파일: %1.pdf - %2/%3")
                                 .arg(job.Text("Ordernum"))
                                 .arg(g + 1)
                                 .arg(cases));
        // One-copy mode gives every case exactly one item, even an order without sheets.
        for (int remainder = oneCopy ? 1 : sheets; remainder > 0;
             remainder = oneCopy ? 0 : remainder - pressCount) {
            std::unique_ptr<CZelItem> item = MakeItem(job, g);
            QString error;
            const bool loaded =
                trial ? MeasureItemPages(*item, &error) : RefreshPagePreviews(*item, &error);
            if (!loaded) {
                // The question that follows speaks of room; say what really failed.
                if (m_context.op)
                    m_context.op->Tell(
                        QStringLiteral("주문 \"%1\"의 PDF 파일을 읽을 수 없습니다.\n%2")
                            .arg(job.Text("Ordernum"), error));
                return false;
            }
            if (item->mediaRotate)
                item->rotate = (item->rotate + 270) % 360;
            // The label is prepared for the item as it lies after that turn.
            if (!trial && !RefreshLabelPreview(*item, &error)) {
                if (m_context.op)
                    m_context.op->Tell(
                        QStringLiteral("주문 \"%1\"의 레이블을 만들 수 없습니다.\n%2")
                            .arg(job.Text("Ordernum"), error));
                return false;
            }
            CZelItem* raw = item.get();
            if (!AddItemAtSlot(std::move(item), x, y))
                return false;
            raw->TurnPictures();
        }
        if (progress)
            progress->InnerStep(g + 1, cases);
    }
    return true;
}

bool CTesselDoc::ReturnTicket(CZelJob& job, QString* error) {
    QString jobsFolder;
    if (!m_context.preference || !m_context.preference->GetJobsDir(jobsFolder)) {
        SetError(error, QStringLiteral("no job folder is set"));
        return false;
    }
    if (!job.MoveToLocation(jobsFolder)) {
        SetError(error, job.LastError());
        return false;
    }
    return true;
}

CTesselDoc::DropResult CTesselDoc::DropOrders(std::vector<CZelJob*> orders, double x, double y,
                                              bool oneCopy) {
    const std::shared_ptr<void> labels = m_context.HoldLabelSet();
    const CZelBound& area = m_geometry.usableArea;
    if (!(x >= area.x && x <= area.Right() && y >= area.y && y <= area.Bottom()))
        return DropResult::Outside;
    // The trial places and removes items, tickets come and go: the drop
    // reports the whole plate once.
    const ChangeScope scope(*this);
    TouchWholePlate(PlateChange::Items | PlateChange::Selection | PlateChange::Orders);
    OperatorInterface* op = m_context.op;
    const int pressCount = m_properties.pressCount;
    auto returnAll = [&](size_t from) {
        for (size_t i = from; i < orders.size(); ++i) {
            RemoveOrder(orders[i]->Text("Ordernum"));
            ReturnTicket(*orders[i]);
        }
    };
    // Slots are counted in plates of pressCount sheets; without one no order
    // can be divided into slots.
    if (pressCount < 1) {
        if (op)
            op->Tell(QStringLiteral("인쇄매수가 1매보다 작아 주문을 배치할 수 없습니다. 판 "
                                    "속성에서 인쇄매수를 정하십시오."));
        returnAll(0);
        m_jobContainer.Refresh(true);
        return DropResult::Cancelled;
    }
    if (m_properties.arrangeMaxJob)
        SortByPcases(orders);
    auto doubleSidedOnSingle = [this](const CZelJob& job) {
        return !m_geometry.workAndTurn && job.GetPDFPage() > m_geometry.paperSide + 1;
    };

    // The trial: every order must fit around the ones before it.
    DeselectAll();
    bool proceed = true;
    bool agreed = false;
    for (CZelJob* job : orders) {
        if (doubleSidedOnSingle(*job))
            continue;
        const QString ordernum = job->Text("Ordernum");
        if (!PlaceOrder(*job, x, y, oneCopy, true)) {
            proceed = op && op->Ask(QStringLiteral(
                                "선택 항목(들)을 배치할 자리가 부족합니다.\n계속 하시겠습니까?"));
            break;
        }
        if (agreed)
            continue;
        const int sheets = OrderSheets(*job);
        QString question;
        if (sheets < pressCount)
            question = QStringLiteral(
                "제품 \"%1\"의 주문매수(%2매)가 인쇄매수(%3매) 보다 작습니다.\n계속하시겠습니까?");
        else if (sheets % pressCount != 0)
            question = QStringLiteral("제품 \"%1\"의 주문매수(%2매)와 인쇄매수(%3매)가 일치하지 "
                                      "않습니다.\n계속하시겠습니까?");
        if (!question.isEmpty()) {
            if (!op || !op->Ask(question.arg(ordernum).arg(sheets).arg(pressCount))) {
                proceed = false;
                break;
            }
            agreed = true;
        }
    }
    for (CZelJob* job : orders)
        RemoveOrder(job->Text("Ordernum"));
    if (!proceed) {
        returnAll(0);
        m_jobContainer.Refresh(true);
        return DropResult::Cancelled;
    }

    // The real placement.
    DeselectAll();
    m_jobContainer.Refresh(true);
    ProgressSink* progress = m_context.progress;
    if (progress)
        progress->Begin(QStringLiteral("조판용 PDF 파일 로드"), static_cast<int>(orders.size()));
    DropResult result = DropResult::Placed;
    for (size_t i = 0; i < orders.size(); ++i) {
        CZelJob& job = *orders[i];
        const QString ordernum = job.Text("Ordernum");
        if (progress)
            progress->Detail(
                QStringLiteral("주문 번호: %1 (%2 건)").arg(ordernum).arg(job.GetPcases()));
        if (doubleSidedOnSingle(job)) {
            RemoveOrder(ordernum);
            ReturnTicket(job);
            if (op)
                op->Tell(
                    QStringLiteral("\"%1\"은(는) 양면 항목이므로 단면 판에 배치할 수 없습니다.")
                        .arg(ordernum));
        } else if (!PlaceOrder(job, x, y, oneCopy, false)) {
            returnAll(i);
            if (op)
                op->Tell(QStringLiteral("자리수가 부족하여 더이상 추가할 수 없습니다."));
            result = DropResult::Stopped;
            break;
        }
        if (progress)
            progress->Step(static_cast<int>(i + 1));
    }
    if (progress)
        progress->End();
    m_jobContainer.Refresh(true);
    return result;
}

int CTesselDoc::DuplicateSelection(int count, int direction) {
    if (m_selection.size() != 1 || count < 1)
        return 0;
    const ChangeScope scope(*this);
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
        if (!RefreshPagePreviews(*copy, nullptr))
            continue;
        if (copy->mediaRotate)
            copy->rotate = 270;
        if (!RefreshLabelPreview(*copy, nullptr))
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
        if (CZelJob* job = m_jobContainer.FindByOrdernum(ordernum))
            ReturnTicket(*job);
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
    const ChangeScope scope(*this);
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
    RemoveOrdersAndReturnTickets(ordernums);
    return true;
}

bool CTesselDoc::ChangeLabel(const QString& labelName) {
    if (m_selection.size() != 1)
        return false;
    const ChangeScope scope(*this);
    const QString ordernum = m_selection.front()->ordernum;
    QString failure;
    for (const auto& item : m_items) {
        if (item->ordernum == ordernum) {
            item->labelName = labelName;
            QString reason;
            if (!RefreshLabelPreview(*item, &reason) && failure.isEmpty())
                failure = reason;
            TouchItem(*item);
        }
    }
    m_modified = true;
    if (failure.isEmpty())
        return true;
    if (m_context.op)
        m_context.op->Tell(
            QStringLiteral("주문 \"%1\"의 레이블을 만들 수 없습니다.\n%2").arg(ordernum, failure));
    return false;
}
