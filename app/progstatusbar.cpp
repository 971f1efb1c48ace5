#include "progstatusbar.h"

#include "view/controlnames.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

CProgStatusBar::CProgStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("statusBar"));
    setAccessibleName(QStringLiteral("상태 표시줄"));
    m_step = Named(new QLabel, "progressStep", QStringLiteral("진행 단계"));
    m_bar = Named(new QProgressBar, "progressBar", QStringLiteral("진행률"));
    m_bar->setMaximumWidth(240);
    m_bar->setTextVisible(true);
    addPermanentWidget(m_step);
    addPermanentWidget(m_bar);
    m_step->hide();
    m_bar->hide();
}

void CProgStatusBar::Begin(const QString& text, int range) {
    m_step->setText(text);
    m_step->show();
    m_bar->setRange(0, std::max(range, 1));
    m_bar->setValue(0);
    m_bar->show();
    LetPaint(true);
}

void CProgStatusBar::Step(int position) {
    m_bar->setValue(std::min(position, m_bar->maximum()));
    LetPaint(false);
}

void CProgStatusBar::Detail(const QString& text) {
    showMessage(text);
    LetPaint(false);
}

void CProgStatusBar::End() {
    m_step->hide();
    m_bar->hide();
    clearMessage();
    LetPaint(true);
}

void CProgStatusBar::LetPaint(bool force) {
    // Repaint at most every 50 ms: events cost more than a unit of work.
    if (!force && m_sincePaint.isValid() && m_sincePaint.elapsed() < 50)
        return;
    m_sincePaint.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
