#pragma once

#include "progresssink.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <mutex>
#include <utility>

// Long operations for the windows: their progress as the progress dialog
// shows it (a step title with its bar, a detail line with a second bar),
// cancellation, and running one on its own thread where the work allows it.

// A progress sink that any thread may report to and the GUI thread reads
// from its timer. Cancel asks the operation to stop at its next KeepGoing.
class SharedProgress : public ProgressSink {
public:
    struct Snapshot {
        QString title;  // the step, as Begin named it
        QString detail; // the unit being worked on
        int position = 0;
        int range = 0;
        int innerPosition = 0;
        int innerRange = 0;
        bool inStep = false; // between Begin and End
        bool cancelled = false;
    };

    void Begin(const QString& text, int range) override;
    void Step(int position) override;
    void Detail(const QString& text) override;
    void InnerStep(int position, int range) override;
    void End() override;
    bool KeepGoing() override { return !m_cancelled.load(); }

    void Cancel() { m_cancelled.store(true); }
    bool IsCancelled() const { return m_cancelled.load(); }
    Snapshot Take() const;

private:
    mutable std::mutex m_mutex;
    Snapshot m_state;
    std::atomic<bool> m_cancelled{false};
};

// An operation running on its own thread from construction; the caller polls
// IsFinished (a timer of the GUI) and takes the result. The work gets the
// shared progress and must touch nothing the calling thread uses meanwhile:
// pass it copies (a plate's registration record, say), never the open plate.
// Destroying an unfinished operation cancels it and waits for it.
template <typename T> class BackgroundOperation {
public:
    explicit BackgroundOperation(std::function<T(ProgressSink&)> work)
        : m_future(std::async(std::launch::async,
                              [this, work = std::move(work)] { return work(m_progress); })) {}
    BackgroundOperation(const BackgroundOperation&) = delete;
    BackgroundOperation& operator=(const BackgroundOperation&) = delete;
    ~BackgroundOperation() {
        if (m_future.valid()) {
            m_progress.Cancel();
            m_future.wait();
        }
    }

    bool IsFinished() const {
        return !m_future.valid() ||
               m_future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }
    // Blocks until the work has ended, at most timeout; whether it has.
    bool WaitFor(std::chrono::milliseconds timeout) const {
        return !m_future.valid() || m_future.wait_for(timeout) == std::future_status::ready;
    }
    SharedProgress& Progress() { return m_progress; }
    void Cancel() { m_progress.Cancel(); }
    // The work's result; waits for it. Only once.
    T Take() { return m_future.get(); }

private:
    SharedProgress m_progress; // before m_future: the work reports to it
    std::future<T> m_future;
};
