#include "labelsavedlg.h"

#include "view/controlnames.h"

#include "engine/operatorinterface.h"
#include "labels/labelset.h"
#include "records/filenames.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

CLabeSavelDlg::CLabeSavelDlg(const QString& presetDir, const QStringList& names,
                             const QString& current, OperatorInterface& op, QWidget* parent)
    : QDialog(parent), m_presetDir(presetDir), m_op(op) {
    setObjectName(QStringLiteral("labelSaveDialog"));
    setWindowTitle(QStringLiteral("레이블 저장"));
    setAccessibleName(windowTitle());
    m_names = Named(new QComboBox, "labelName", QStringLiteral("다음과 같이 저장:"));
    m_names->setEditable(true);
    m_names->setInsertPolicy(QComboBox::NoInsert);
    m_names->lineEdit()->setMaxLength(256);
    m_names->addItems(names);
    m_names->setCurrentIndex(names.indexOf(current));
    m_names->setEditText(current);
    m_names->setMinimumWidth(260);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("다음과 같이 저장:"), m_names);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

void CLabeSavelDlg::accept() {
    const QString name = m_names->currentText();
    if (!labelset::IsValidLabelName(name)) {
        m_op.Tell(filenames::InvalidNameMessage(name));
        m_names->lineEdit()->selectAll();
        m_names->lineEdit()->setFocus();
        return;
    }
    if (QFileInfo::exists(labelset::LabelPath(m_presetDir, name)) &&
        !m_op.Ask(
            QStringLiteral("\"%1\"은(는) 이미 있습니다.\n기존 파일을 바꾸시겠습니까?").arg(name))) {
        m_names->lineEdit()->setFocus();
        return;
    }
    m_name = name;
    QDialog::accept();
}
