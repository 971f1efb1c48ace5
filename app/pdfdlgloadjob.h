#pragma once

#include "records/progresssink.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

// The progress of placing dropped orders ("조판용 PDF 파일 로드"): modal over
// the main window while the drop runs, so that nothing else is clicked
// meanwhile. It cannot be closed: a drop stops only where it is safe to.
// As a progress sink it lets the windows repaint between units, without
// taking user input.
class CPDFDlgLoadJob : public QDialog, public ProgressSink {
    Q_OBJECT
public:
    explicit CPDFDlgLoadJob(QWidget* parent = nullptr);

    void Begin(const QString& text, int range) override;
    void Step(int position) override;
    void Detail(const QString& text) override;
    void InnerStep(int position, int range) override;
    void End() override;

    // Shows the dialog, runs the work behind it, and closes it.
    template <typename Work> auto Run(Work work) {
        Open();
        struct Closer {
            CPDFDlgLoadJob* dialog;
            ~Closer() { dialog->hide(); }
        } closer{this};
        return work();
    }

public slots:
    void reject() override {} // Escape and the close box do nothing

private:
    void Open();
    void LetPaint(bool force);

    QLabel* m_step;
    QProgressBar* m_bar;
    QLabel* m_detail;
    QProgressBar* m_inner;
    QElapsedTimer m_sincePaint;
};
