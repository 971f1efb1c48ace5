#include "wsblogdlg.h"

#include "view/controlnames.h"

#include <QDateTime>
#include <QTextEdit>
#include <QVBoxLayout>

CWSBLogDlg::CWSBLogDlg(QWidget* parent) : QWidget(parent) {
    Named(this, "logPage", QStringLiteral("로그"));
    m_text = Named(new QTextEdit, "logText", QStringLiteral("로그"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
}

void CWSBLogDlg::Append(const QString& text, bool problem) {
    const QString line = QStringLiteral("%1  %2").arg(
        QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), text.toHtmlEscaped());
    m_text->append(problem ? QStringLiteral("<span style=\"color:#c00000\">%1</span>").arg(line)
                           : line);
}

QString CWSBLogDlg::Text() const {
    return m_text->toPlainText();
}
