#pragma once

#include "records/progresssink.h"

#include <QElapsedTimer>
#include <QStatusBar>

class QLabel;
class QProgressBar;

// The main window's status bar: the message pane and, while a long operation
// runs, its step, detail and a progress bar. As the engine's progress sink it
// lets the window repaint between units, without taking user input.
class CProgStatusBar : public QStatusBar, public ProgressSink {
    Q_OBJECT
public:
    explicit CProgStatusBar(QWidget* parent = nullptr);

    void Begin(const QString& text, int range) override;
    void Step(int position) override;
    void Detail(const QString& text) override;
    void End() override;

private:
    void LetPaint(bool force);

    QLabel* m_step;
    QProgressBar* m_bar;
    QElapsedTimer m_sincePaint;
};
