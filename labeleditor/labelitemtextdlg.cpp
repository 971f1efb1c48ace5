#include "labelitemtextdlg.h"

#include "view/controlnames.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CZelLabeItemTextDlg::CZelLabeItemTextDlg(const QString& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("labelItemTextDialog"));
    setWindowTitle(QStringLiteral("레이블 항목 텍스트"));
    setAccessibleName(windowTitle());
    m_text = Named(new QLineEdit(text), "title", QStringLiteral("타이틀:"));
    m_text->setMinimumWidth(280);
    m_text->selectAll();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("타이틀:"), m_text);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

QString CZelLabeItemTextDlg::Text() const {
    return m_text->text();
}
