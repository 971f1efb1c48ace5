#include "longoperation.h"

void SharedProgress::Begin(const QString& text, int range) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_state.title = text;
    m_state.detail.clear();
    m_state.position = 0;
    m_state.range = range;
    m_state.innerPosition = 0;
    m_state.innerRange = 0;
    m_state.inStep = true;
}

void SharedProgress::Step(int position) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_state.position = position;
}

void SharedProgress::Detail(const QString& text) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_state.detail = text;
}

void SharedProgress::InnerStep(int position, int range) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_state.innerPosition = position;
    m_state.innerRange = range;
}

void SharedProgress::End() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_state.inStep = false;
}

SharedProgress::Snapshot SharedProgress::Take() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    Snapshot snapshot = m_state;
    snapshot.cancelled = m_cancelled.load();
    return snapshot;
}
