#include "zelduplicatedlg.h"

#include "controlnames.h"
#include "platesettingspanel.h"

#include "engine/operatorinterface.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

CZelDuplicateDlg::CZelDuplicateDlg(int count, int arrangement, OperatorInterface& op,
                                   QWidget* parent)
    : QDialog(parent), m_op(op) {
    setObjectName(QStringLiteral("duplicateDialog"));
    setWindowTitle(QStringLiteral("항목 복제"));
    setAccessibleName(windowTitle());
    m_count = Named(new QSpinBox, "count", QStringLiteral("자리 수"));
    m_count->setRange(kMinCount, kMaxCount);
    m_count->setValue(std::clamp(count, kMinCount, kMaxCount));
    m_arrangement = Named(new QComboBox, "arrangement", QStringLiteral("배열 방식"));
    m_arrangement->addItems(CPlateSettingsPanel::ArrangementNames());
    m_arrangement->setCurrentIndex(std::clamp(arrangement, 0, m_arrangement->count() - 1));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("자리 수:"), m_count);
    form->addRow(QStringLiteral("배열 방식:"), m_arrangement);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

int CZelDuplicateDlg::Count() const {
    return m_count->value();
}

int CZelDuplicateDlg::Arrangement() const {
    return m_arrangement->currentIndex();
}

void CZelDuplicateDlg::accept() {
    // The box holds only counts in range; text typed outside it (0, 21,
    // letters) is refused here rather than silently replaced.
    if (m_count->hasAcceptableInput()) {
        m_count->interpretText();
        QDialog::accept();
        return;
    }
    m_op.Tell(QStringLiteral("자리수는 1 에서 20 사이의 값 이어야합니다."));
    m_count->setFocus();
    m_count->selectAll();
}
