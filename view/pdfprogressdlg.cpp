#include "pdfprogressdlg.h"

#include "controlnames.h"

#include "engine/tesseldoc.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

CPDFProgressDlg::CPDFProgressDlg(const char* objectName, const QString& title,
                                 const QString& detailFormat, QWidget* parent)
    : QDialog(parent), m_detailFormat(detailFormat) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);
    setAccessibleName(title);
    setModal(true);
    // No close box: the run decides when the window goes.
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
    m_step = Named(new QLabel(title), "progressStep", QStringLiteral("진행 단계"));
    m_detail = Named(new QLabel, "progressDetail", QStringLiteral("진행 내용"));
    m_detail->setMinimumWidth(420);
    m_bar = Named(new QProgressBar, "progressBar", QStringLiteral("진행률"));
    m_innerBar = Named(new QProgressBar, "innerProgressBar", QStringLiteral("세부 진행률"));
    m_innerBar->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_step);
    layout->addWidget(m_detail);
    layout->addWidget(m_bar);
    layout->addWidget(m_innerBar);
}

bool CPDFProgressDlg::Run(const std::function<bool()>& work) {
    bool ok = false;
    // The run starts once the window is shown; a second tick does nothing.
    QTimer::singleShot(0, this, [this, &work, &ok] {
        if (m_started)
            return;
        m_started = true;
        m_running = true;
        LetPaint(true);
        ok = work();
        m_running = false;
        done(ok ? Accepted : Rejected);
    });
    exec();
    return ok && result() == Accepted;
}

bool CPDFProgressDlg::RunOn(CTesselDoc& doc, const std::function<bool()>& work) {
    const ShopContext before = doc.Context();
    ShopContext during = before;
    during.progress = this;
    doc.SetContext(during);
    const bool ok = Run(work);
    doc.SetContext(before);
    return ok;
}

void CPDFProgressDlg::Begin(const QString& text, int range) {
    m_step->setText(text);
    m_bar->setRange(0, std::max(range, 1));
    m_bar->setValue(0);
    m_innerBar->hide();
    LetPaint(true);
}

void CPDFProgressDlg::Step(int position) {
    m_bar->setValue(std::min(position, m_bar->maximum()));
    LetPaint(false);
}

void CPDFProgressDlg::Detail(const QString& text) {
    m_detail->setText(m_detailFormat.arg(text));
    LetPaint(false);
}

void CPDFProgressDlg::InnerStep(int position, int range) {
    m_innerBar->setRange(0, std::max(range, 1));
    m_innerBar->setValue(std::min(position, m_innerBar->maximum()));
    m_innerBar->show();
    LetPaint(false);
}

void CPDFProgressDlg::StillWorking() {
    LetPaint(false);
}

void CPDFProgressDlg::End() {
    m_bar->setValue(m_bar->maximum());
    LetPaint(true);
}

void CPDFProgressDlg::reject() {
    if (!m_running)
        QDialog::reject();
}

void CPDFProgressDlg::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void CPDFProgressDlg::LetPaint(bool force) {
    // Events cost more than a unit of work: let the window paint every 50 ms.
    if (!force && m_sincePaint.isValid() && m_sincePaint.elapsed() < 50)
        return;
    m_sincePaint.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

CZelPDFDlgLoadDoc::CZelPDFDlgLoadDoc(QWidget* parent)
    : CPDFProgressDlg("loadPlateProgress", QStringLiteral("작업 파일 로드"),
                      QStringLiteral("PDF 파일: %1"), parent) {}

CPDFDlgLoadJob::CPDFDlgLoadJob(QWidget* parent)
    : CPDFProgressDlg("loadOrdersProgress", QStringLiteral("조판용 PDF 파일 로드"),
                      QStringLiteral("%1"), parent) {}

CPDFDlgMakePress::CPDFDlgMakePress(QWidget* parent)
    : CPDFProgressDlg("makePressProgress", QStringLiteral("출력용 PDF 파일 배치"),
                      QStringLiteral("%1"), parent) {}
