#include "operatorinterface.h"
#include "tesseldoc.h"

#include "records/zeljob.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QFileInfo>

#include <unordered_map>
#include <unordered_set>

QString CTesselDoc::EditName(Edit edit) {
    switch (edit) {
    case Edit::Place:
        return QStringLiteral("배치");
    case Edit::Move:
        return QStringLiteral("이동");
    case Edit::Align:
        return QStringLiteral("정렬");
    case Edit::Space:
        return QStringLiteral("간격");
    case Edit::Rotate:
        return QStringLiteral("회전");
    case Edit::Stacking:
        return QStringLiteral("순서 바꾸기");
    case Edit::OwnCut:
        return QStringLiteral("독립 재단선");
    case Edit::Frame:
        return QStringLiteral("테두리");
    case Edit::Duplicate:
        return QStringLiteral("복제");
    case Edit::DeleteItems:
        return QStringLiteral("항목 삭제");
    case Edit::DeleteOrders:
        return QStringLiteral("주문 삭제");
    case Edit::Label:
        return QStringLiteral("레이블 변경");
    case Edit::Properties:
        return QStringLiteral("판 속성");
    case Edit::Lines:
        return QStringLiteral("자유 선");
    case Edit::TextBoxes:
        return QStringLiteral("텍스트 상자");
    case Edit::Item:
        return QStringLiteral("항목 속성");
    case Edit::None:
        break;
    }
    return QStringLiteral("편집");
}

void CTesselDoc::BeginEdit(Edit edit) {
    if (m_groupDepth++ == 0 && m_changeDepth == 0)
        BeginUnit();
    if (m_unitEdit == Edit::None)
        m_unitEdit = edit;
}

void CTesselDoc::EndEdit() {
    if (m_groupDepth == 0)
        return;
    // The scope reports the new step to the observers.
    const ChangeScope scope(*this);
    --m_groupDepth;
}

void CTesselDoc::RecordTicketMove(const TicketMove& move) {
    m_unitTickets.push_back(move);
}

QString CTesselDoc::UndoName() const {
    const PlateStep* step = m_history.NextUndo();
    return step ? step->name : QString();
}

QString CTesselDoc::RedoName() const {
    const PlateStep* step = m_history.NextRedo();
    return step ? step->name : QString();
}

std::vector<int> CTesselDoc::SelectionIndices() const {
    std::vector<int> indices;
    // A few selected items are found faster by looking than by an index.
    if (m_selection.size() <= 8) {
        for (const CZelItem* item : m_selection)
            indices.push_back(IndexOf(item));
        return indices;
    }
    std::unordered_map<const CZelItem*, int> index;
    for (size_t i = 0; i < m_items.size(); ++i)
        index[m_items[i].get()] = static_cast<int>(i);
    for (const CZelItem* item : m_selection)
        indices.push_back(index.at(item));
    return indices;
}

void CTesselDoc::BeginUnit() {
    m_unitEdit = Edit::None;
    m_unitSelection = SelectionIndices();
    m_unitTickets.clear();
    m_edited = false;
    m_dataTouched = false;
    m_savedInUnit = false;
}

std::shared_ptr<const PlateState> CTesselDoc::TakeState() {
    auto state = std::make_shared<PlateState>();
    state->properties = m_properties;
    state->lines = m_lines;
    state->textBoxes = m_textBoxes;
    state->items.reserve(m_items.size());
    const bool allDirty = std::exchange(m_allItemsDirty, false);
    const std::unordered_set<const CZelItem*> dirty = std::exchange(m_dirtyItems, {});
    for (const auto& item : m_items) {
        std::shared_ptr<const CZelItem>& copy = m_frozen[item.get()];
        if (copy && !allDirty && !dirty.contains(item.get())) {
            state->items.push_back(copy);
            continue;
        }
        // The history keeps items unselected; the selection is kept apart.
        const bool selected = std::exchange(item->selected, false);
        if (!copy || !(*copy == *item))
            copy = std::make_shared<const CZelItem>(*item);
        item->selected = selected;
        state->items.push_back(copy);
    }
    // Copies of items no longer on the plate are let go now and then.
    if (m_frozen.size() > 2 * m_items.size() + 64) {
        m_frozen.clear();
        for (size_t i = 0; i < m_items.size(); ++i)
            m_frozen.emplace(m_items[i].get(), state->items[i]);
    }
    return state;
}

void CTesselDoc::RecordUnit() {
    const bool reset = std::exchange(m_historyReset, false);
    const bool edited = std::exchange(m_edited, false);
    const bool dataTouched = std::exchange(m_dataTouched, false);
    const bool savedInUnit = std::exchange(m_savedInUnit, false);
    const Edit edit = std::exchange(m_unitEdit, Edit::None);
    std::vector<TicketMove> tickets = std::exchange(m_unitTickets, {});
    if (reset) {
        m_frozen.clear();
        m_history.Reset(TakeState(), !m_modified);
        return;
    }
    if (!dataTouched && !edited)
        return;
    std::shared_ptr<const PlateState> state = TakeState();
    if (state->SameAs(*m_history.Current()))
        return;
    if (!edited) {
        // Previews made again, a box given a name: the plate as it now is
        // is where undo returns to.
        if (m_modified && m_history.AtSaved())
            m_history.MarkUnsaved();
        m_history.Rebase(std::move(state));
        return;
    }
    PlateStep step;
    step.name = EditName(edit);
    step.before = m_history.Current();
    step.after = std::move(state);
    step.selectionBefore = std::move(m_unitSelection);
    step.selectionAfter = SelectionIndices();
    step.tickets = std::move(tickets);
    m_history.Push(std::move(step));
    if (savedInUnit && m_editCountAtSave == m_editCount)
        m_history.MarkSaved();
    // A group's edits were reported as they happened; its end tells of the step.
    if (m_pending.IsEmpty())
        Touch(PlateChange::History);
}

void CTesselDoc::ApplyState(const std::shared_ptr<const PlateState>& state,
                            const std::vector<int>& selection) {
    const ChangeScope scope(*this);
    m_selection.clear();
    std::vector<std::unique_ptr<CZelItem>> items;
    std::unordered_map<const CZelItem*, std::shared_ptr<const CZelItem>> frozen;
    items.reserve(state->items.size());
    for (const auto& kept : state->items) {
        items.push_back(std::make_unique<CZelItem>(*kept));
        frozen.emplace(items.back().get(), kept);
    }
    m_items = std::move(items);
    m_frozen = std::move(frozen);
    for (int index : selection)
        if (index >= 0 && index < ItemCount())
            SelectItem(m_items[index].get());
    m_properties = state->properties;
    m_geometry = ComputePlateGeometry(m_properties);
    m_lines = state->lines;
    m_textBoxes = state->textBoxes;
    TouchWholePlate(PlateChange::Items | PlateChange::Selection | PlateChange::Properties |
                    PlateChange::Furniture | PlateChange::Orders | PlateChange::History);
    // The copies are the items: nothing to compare when the scope ends.
    m_allItemsDirty = false;
    m_dirtyItems.clear();
}

Result<void> CTesselDoc::Undo() {
    return Travel(true);
}

Result<void> CTesselDoc::Redo() {
    return Travel(false);
}

Result<void> CTesselDoc::Travel(bool back) {
    if (back ? !m_history.CanUndo() : !m_history.CanRedo())
        return Failure(back ? QStringLiteral("실행 취소할 작업이 없습니다.")
                            : QStringLiteral("다시 실행할 작업이 없습니다."));
    if (m_groupDepth > 0 || m_changeDepth > 0)
        return Failure(QStringLiteral("편집이 끝난 뒤에 실행 취소하거나 다시 실행할 수 있습니다."));
    PlateStep& step = back ? m_history.UndoStep() : m_history.RedoStep();

    // Each ticket moves the other way on undo; in reverse order, so that a
    // step that moved one ticket twice ends where it began.
    std::vector<TicketMove> moves = step.tickets;
    if (back) {
        std::reverse(moves.begin(), moves.end());
        for (TicketMove& move : moves)
            move.taken = !move.taken;
    }
    QString jobsFolder;
    if (m_context.preference)
        m_context.preference->GetJobsDir(jobsFolder);
    const QDir progress(m_progressFolder);
    if (!moves.empty() && m_progressFolder.isEmpty())
        return Failure(
            QStringLiteral("판의 진행 폴더가 없어 주문의 작업지시서를 옮길 수 없습니다."));

    // Tickets go back out first: one that cannot leaves the step undone.
    std::vector<const TicketMove*> givenBack;
    for (const TicketMove& move : moves) {
        if (move.taken)
            continue;
        CZelJob job(progress.filePath(move.ticketName));
        if (!job.ReadError().isEmpty() || !job.MoveBack(move.outside, jobsFolder)) {
            const QString reason = job.ReadError().isEmpty() ? job.LastError() : job.ReadError();
            for (const TicketMove* done : givenBack) {
                CZelJob again(QDir(done->outside).filePath(done->ticketName));
                again.MoveTo(m_progressFolder);
            }
            return Failure(QStringLiteral("주문 \"%1\"의 작업지시서를 작업 폴더로 돌려보낼 수 "
                                          "없습니다: %2")
                               .arg(move.ordernum, reason));
        }
        givenBack.push_back(&move);
    }
    // Then those taken in: an order another workstation took meanwhile stays out.
    QStringList lost;
    QStringList lostReasons;
    for (const TicketMove& move : moves) {
        if (!move.taken)
            continue;
        CZelJob job(QDir(move.outside).filePath(move.ticketName));
        if (!job.ReadError().isEmpty() || !job.MoveTo(m_progressFolder)) {
            lost << move.ordernum;
            lostReasons << QStringLiteral("%1: %2").arg(
                move.ordernum, job.ReadError().isEmpty() ? job.LastError() : job.ReadError());
        }
    }

    const std::vector<int> selection = back ? step.selectionBefore : step.selectionAfter;
    const bool movedTickets = !moves.empty();
    if (back)
        m_history.StepBack();
    else
        m_history.StepOn();
    m_history.Forget(lost);
    {
        const ChangeScope scope(*this);
        ApplyState(m_history.Current(), lost.isEmpty() ? selection : std::vector<int>());
        if (movedTickets)
            RefreshOrders();
    }
    m_modified = !m_history.AtSaved();
    // The plate file follows its tickets, as the operations that moved them saved it.
    if (movedTickets && !m_path.isEmpty())
        if (const Result<void> saved = Save(m_path); !saved && m_context.op)
            m_context.op->Tell(
                QStringLiteral("판 파일을 저장할 수 없습니다: %1").arg(saved.error()));
    if (!lost.isEmpty() && m_context.op)
        m_context.op->Tell(QStringLiteral("다른 작업자가 가져간 주문은 판에 넣지 못했습니다:\n%1")
                               .arg(lostReasons.join(QLatin1Char('\n'))));
    return {};
}
