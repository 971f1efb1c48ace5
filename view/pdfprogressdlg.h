#pragma once

#include "records/progresssink.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>

class CTesselDoc;
class QLabel;
class QProgressBar;

// A modal progress window for a long run on the GUI thread: the run starts
// from the window's first timer tick (once), reports through this sink, and
// the window closes itself when the run ends. Between units the window
// repaints without taking the operator's input; Escape and the close box do
// not end a run half-way, since the plate and its files would be left
// between two states.
class CPDFProgressDlg : public QDialog, public ProgressSink {
    Q_OBJECT
public:
    // objectName and title name the window; detailFormat shows each detail
    // ("%1" is the text the run reports).
    CPDFProgressDlg(const char* objectName, const QString& title, const QString& detailFormat,
                    QWidget* parent = nullptr);

    // Shows the window, runs work and closes; work's result. True when the
    // window closed with OK.
    bool Run(const std::function<bool()>& work);
    // The same with the plate's progress reported here during the run.
    bool RunOn(CTesselDoc& doc, const std::function<bool()>& work);
    bool IsRunning() const { return m_running; }

    void Begin(const QString& text, int range) override;
    void Step(int position) override;
    void Detail(const QString& text) override;
    void InnerStep(int position, int range) override;
    void StillWorking() override;
    void End() override;

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LetPaint(bool force);

    QString m_detailFormat;
    QLabel* m_step;
    QLabel* m_detail;
    QProgressBar* m_bar;
    QProgressBar* m_innerBar;
    QElapsedTimer m_sincePaint;
    bool m_started = false;
    bool m_running = false;
};

// Loading a plate file with its artwork ("작업 파일 로드").
class CZelPDFDlgLoadDoc : public CPDFProgressDlg {
    Q_OBJECT
public:
    explicit CZelPDFDlgLoadDoc(QWidget* parent = nullptr);
};

// Placing dropped orders with their artwork ("조판용 PDF 파일 로드").
class CPDFDlgLoadJob : public CPDFProgressDlg {
    Q_OBJECT
public:
    explicit CPDFDlgLoadJob(QWidget* parent = nullptr);
};

// Making the press files ("출력용 PDF 파일 배치").
class CPDFDlgMakePress : public CPDFProgressDlg {
    Q_OBJECT
public:
    explicit CPDFDlgMakePress(QWidget* parent = nullptr);
};
