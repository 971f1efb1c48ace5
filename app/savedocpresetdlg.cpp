#include "savedocpresetdlg.h"

#include "view/controlnames.h"

#include "engine/operatorinterface.h"
#include "records/filenames.h"
#include "records/zeldocumentpreset.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CSaveDocPresetDlg::CSaveDocPresetDlg(const QStringList& names, int current, OperatorInterface& op,
                                     QWidget* parent)
    : QDialog(parent), m_op(op) {
    setObjectName(QStringLiteral("savePresetDialog"));
    setWindowTitle(QStringLiteral("프리셋 저장"));
    setAccessibleName(windowTitle());
    m_names = Named(new QComboBox, "presetName", QStringLiteral("다음과 같이 저장:"));
    m_names->setEditable(true);
    m_names->setInsertPolicy(QComboBox::NoInsert);
    m_names->lineEdit()->setMaxLength(256);
    m_names->addItems(names);
    m_names->setCurrentIndex(current);
    m_names->setMinimumWidth(260);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("다음과 같이 저장:"), m_names);
    auto* buttons = OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CSaveDocPresetDlg::accept() {
    const QString name = m_names->currentText();
    if (!filenames::IsValidPresetName(name)) {
        m_op.Tell(filenames::InvalidNameMessage(name));
        m_names->lineEdit()->setFocus();
        return;
    }
    if (QFileInfo::exists(CZelDocumentPreset::PathOf(name)) &&
        !m_op.Ask(
            QStringLiteral("\"%1\"은(는) 이미 있습니다.\n기존 파일을 바꾸시겠습니까?").arg(name)))
        return;
    m_name = name;
    QDialog::accept();
}
