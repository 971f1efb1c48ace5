#include "zelitemarrangedlg.h"

#include "controlnames.h"
#include "numberedit.h"

#include "engine/operatorinterface.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Texts with a vertical and a horizontal variant, chosen by the mode.
QString Variant(const char16_t* vertical, const char16_t* horizontal, int mode) {
    return QString::fromUtf16(mode == CZelItemArrangeDlg::Horizontal ? horizontal : vertical);
}

} // namespace

CZelItemArrangeDlg::CZelItemArrangeDlg(Mode mode, double minGap, double maxGap,
                                       OperatorInterface& op, QWidget* parent)
    : QDialog(parent), m_minGap(minGap), m_maxGap(maxGap), m_op(op) {
    setObjectName(QStringLiteral("itemArrangeDialog"));
    setWindowTitle(Variant(u"항목 수직 정렬", u"항목 수평 정렬", mode));
    setAccessibleName(windowTitle());

    m_gap = Named(new CNumberEdit, "gap", QStringLiteral("간격"));
    m_gap->SetValue(0.0);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("간격(mm):"), m_gap);

    auto* bases = Named(new QGroupBox(QStringLiteral("정렬 기준")), "alignmentGroup",
                        QStringLiteral("정렬 기준"));
    const QString texts[] = {Variant(u"좌측 기준", u"상단 기준", mode), QStringLiteral("중앙 기준"),
                             Variant(u"우측 기준", u"하단 기준", mode),
                             QStringLiteral("정렬 안함")};
    static const char* const kNames[] = {"alignStart", "alignCentre", "alignEnd", "alignNone"};
    auto* baseLayout = new QVBoxLayout(bases);
    for (int i = 0; i < 4; ++i) {
        m_base[size_t(i)] = Named(new QRadioButton(texts[i]), kNames[i], texts[i]);
        baseLayout->addWidget(m_base[size_t(i)]);
    }
    m_base[kNoAlignment]->setChecked(true);
    m_withOwnCut = Named(new QCheckBox(QStringLiteral("독립 재단선 포함")), "withOwnCut",
                         QStringLiteral("독립 재단선 포함"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(bases);
    layout->addWidget(m_withOwnCut);
    layout->addWidget(OkCancelButtons(this));
}

double CZelItemArrangeDlg::Gap() const {
    return m_gap->Value();
}

int CZelItemArrangeDlg::Alignment() const {
    for (int i = 0; i < 4; ++i)
        if (m_base[size_t(i)]->isChecked())
            return i;
    return kNoAlignment;
}

bool CZelItemArrangeDlg::WithOwnCut() const {
    return m_withOwnCut->isChecked();
}

void CZelItemArrangeDlg::accept() {
    // A number still being typed counts as typed.
    emit m_gap->editingFinished();
    if (Gap() < m_minGap) {
        m_op.Tell(QStringLiteral("항목 간격이 너무 작습니다."));
    } else if (Gap() > m_maxGap) {
        m_op.Tell(QStringLiteral("항목 간격이 너무 큽니다."));
    } else {
        QDialog::accept();
        return;
    }
    m_gap->setFocus();
    m_gap->selectAll();
}
