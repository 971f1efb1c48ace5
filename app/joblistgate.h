#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

// Keeps the job list bars out of their own way while they read a folder or
// take a drop. A read lets the window repaint between tickets; the gate
// makes sure that nothing in that pause reloads a list whose rows are still
// being used: the watches see Busy() and wait, and the operator's clicks and
// keys on the bars are swallowed until the read is over.
class JobListGate : public QObject {
public:
    explicit JobListGate(QObject* parent = nullptr) : QObject(parent) {}

    // Input to these windows (and their children) waits for the gate.
    void Guard(QWidget* window) { m_windows << window; }
    bool Busy() const { return m_depth > 0; }

    // Closes the gate for its lifetime; nests. A drag of orders only pauses
    // the watches (blockInput false): its own mouse must get through.
    class Hold {
    public:
        explicit Hold(JobListGate& gate, bool blockInput = true);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        JobListGate& m_gate;
        bool m_blockInput;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Guards(QObject* object) const;

    QList<QPointer<QWidget>> m_windows;
    int m_depth = 0;
    int m_blocking = 0;
};
