#include "pdfdlgloadjob.h"

#include "view/controlnames.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

CPDFDlgLoadJob::CPDFDlgLoadJob(QWidget* parent) : QDialog(parent) {
    Named(this, "loadJobDialog", QStringLiteral("조판용 PDF 파일 로드"));
    setWindowTitle(QStringLiteral("조판용 PDF 파일 로드"));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint & ~Qt::WindowContextHelpButtonHint);
    m_step = Named(new QLabel(QStringLiteral("주문을 가져오는 중입니다...")), "loadJobStep",
                   QStringLiteral("진행 단계"));
    m_bar = Named(new QProgressBar, "loadJobProgress", QStringLiteral("주문 진행률"));
    m_detail = Named(new QLabel, "loadJobDetail", QStringLiteral("주문"));
    m_inner = Named(new QProgressBar, "loadJobCaseProgress", QStringLiteral("건 진행률"));
    m_bar->setRange(0, 0); // busy until the placing counts its orders
    m_inner->setRange(0, 1);
    m_inner->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_step);
    layout->addWidget(m_bar);
    layout->addWidget(m_detail);
    layout->addWidget(m_inner);
    setMinimumWidth(380);
}

void CPDFDlgLoadJob::Open() {
    show();
    raise();
    LetPaint(true);
}

void CPDFDlgLoadJob::Begin(const QString& text, int range) {
    m_step->setText(text);
    m_bar->setRange(0, std::max(range, 1));
    m_bar->setValue(0);
    LetPaint(true);
}

void CPDFDlgLoadJob::Step(int position) {
    m_bar->setValue(std::min(position, m_bar->maximum()));
    LetPaint(false);
}

void CPDFDlgLoadJob::Detail(const QString& text) {
    m_detail->setText(text);
    LetPaint(false);
}

void CPDFDlgLoadJob::InnerStep(int position, int range) {
    m_inner->setRange(0, std::max(range, 1));
    m_inner->setValue(std::min(position, std::max(range, 1)));
    LetPaint(false);
}

void CPDFDlgLoadJob::End() {
    m_bar->setValue(m_bar->maximum());
    LetPaint(true);
}

void CPDFDlgLoadJob::LetPaint(bool force) {
    // At most every 50 ms: events cost more than a unit of work.
    if (!force && m_sincePaint.isValid() && m_sincePaint.elapsed() < 50)
        return;
    m_sincePaint.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
