#pragma once

#include <QString>

// Where a long operation reports how far it is, and asks whether to go on.
// The GUI's status bar and the command line implement it; a caller that
// passes no sink gets no reports. Calls come on the caller's thread.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;

    // A step of range units starts; the text says what is being done.
    virtual void Begin(const QString& text, int range) = 0;
    // position units of the current step are done (1..range).
    virtual void Step(int position) = 0;
    // What the current unit is about (a file, an order), shown under the step.
    virtual void Detail(const QString& text) { (void)text; }
    // position of range parts of the current unit are done (the cases of an
    // order, say), for a second bar under the step's.
    virtual void InnerStep(int position, int range) {
        (void)position;
        (void)range;
    }
    // Called every few tens of milliseconds while the current unit waits on
    // work done elsewhere (other threads or processes), so a window can paint.
    virtual void StillWorking() {}
    // The step is over, whether it finished or stopped.
    virtual void End() = 0;
    // Asked between units; false stops the operation early.
    virtual bool KeepGoing() { return true; }
};
