#include "platehistory.h"

#include <QStringList>

#include <algorithm>
#include <map>

bool PlateState::SameAs(const PlateState& other) const {
    return items == other.items && properties == other.properties && lines == other.lines &&
           textBoxes == other.textBoxes;
}

PlateState PlateState::Without(const QStringList& ordernums) const {
    PlateState kept = *this;
    std::erase_if(kept.items, [&](const auto& item) { return ordernums.contains(item->ordernum); });
    return kept;
}

void PlateHistory::Reset(std::shared_ptr<const PlateState> state, bool saved) {
    m_steps.clear();
    m_current = std::move(state);
    m_position = 0;
    m_saved = saved ? 0 : -1;
}

void PlateHistory::Rebase(std::shared_ptr<const PlateState> state) {
    m_current = std::move(state);
    if (m_position > 0)
        m_steps[m_position - 1].after = m_current;
    if (m_position < StepCount())
        m_steps[m_position].before = m_current;
}

void PlateHistory::Push(PlateStep step) {
    m_steps.erase(m_steps.begin() + m_position, m_steps.end());
    if (m_saved > m_position)
        m_saved = -1;
    m_current = step.after;
    m_steps.push_back(std::move(step));
    ++m_position;
}

void PlateHistory::StepBack() {
    --m_position;
    m_current = m_steps[m_position].before;
}

void PlateHistory::StepOn() {
    m_current = m_steps[m_position].after;
    ++m_position;
}

namespace {

// Selection indices into a state after some of its items were taken out.
std::vector<int> KeptSelection(const std::vector<int>& selection, const PlateState& state,
                               const QStringList& ordernums) {
    std::vector<int> newIndex(state.items.size(), -1);
    int next = 0;
    for (size_t i = 0; i < state.items.size(); ++i)
        if (!ordernums.contains(state.items[i]->ordernum))
            newIndex[i] = next++;
    std::vector<int> kept;
    for (int index : selection)
        if (index >= 0 && index < static_cast<int>(newIndex.size()) && newIndex[index] >= 0)
            kept.push_back(newIndex[index]);
    return kept;
}

} // namespace

void PlateHistory::Forget(const QStringList& ordernums) {
    if (ordernums.isEmpty())
        return;
    // States are shared between neighbouring steps: each is filtered once.
    std::map<const PlateState*, std::shared_ptr<const PlateState>> filtered;
    auto without = [&](const std::shared_ptr<const PlateState>& state) {
        auto& slot = filtered[state.get()];
        if (!slot)
            slot = std::make_shared<const PlateState>(state->Without(ordernums));
        return slot;
    };
    for (PlateStep& step : m_steps) {
        step.selectionBefore = KeptSelection(step.selectionBefore, *step.before, ordernums);
        step.selectionAfter = KeptSelection(step.selectionAfter, *step.after, ordernums);
        step.before = without(step.before);
        step.after = without(step.after);
        std::erase_if(step.tickets,
                      [&](const TicketMove& move) { return ordernums.contains(move.ordernum); });
    }
    m_current = without(m_current);
    // The plate file may still hold them.
    m_saved = -1;
}
