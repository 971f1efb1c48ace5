#include "zeldocpropertydlg.h"

#include "controlnames.h"
#include "numberedit.h"
#include "platesettingspanel.h"

#include "engine/operatorinterface.h"
#include "engine/platechecks.h"
#include "markup/numbertext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using Edge = PlateProperties::Edge;

QLabel* Shown(const char* name, const QString& label, const QString& text) {
    auto* shown = Named(new QLabel(text), name, label);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return shown;
}

QString SidesText(const PlateProperties& p) {
    auto colours = [](int colour) { return colour ? 4 : 1; };
    if (p.paperSideSetting == 2)
        return QStringLiteral("돈땡(%1)").arg(colours(p.colorA));
    if (p.paperSideSetting == 1)
        return QStringLiteral("양면(A:%1, B:%2)").arg(colours(p.colorA)).arg(colours(p.colorB));
    return QStringLiteral("단면(%1)").arg(colours(p.colorA));
}

} // namespace

CZelDocPropertyDlg::CZelDocPropertyDlg(const PlateProperties& properties,
                                       const QStringList& paperTypes, const QStringList& afterWorks,
                                       OperatorInterface& op, QWidget* parent)
    : QDialog(parent), m_plate(properties), m_op(op) {
    setObjectName(QStringLiteral("docPropertyDialog"));
    setWindowTitle(QStringLiteral("판 상세 정보"));
    setAccessibleName(windowTitle());

    // The paper type the plate has stays choosable even when the shop
    // dropped it from its list.
    QStringList papers = paperTypes;
    if (!papers.contains(m_plate.paperType))
        papers.append(m_plate.paperType);
    m_paperType = Named(new QComboBox, "paperType", QStringLiteral("종이 지질"));
    m_paperType->addItems(papers);
    m_paperType->setCurrentIndex(int(papers.indexOf(m_plate.paperType)));

    auto* grid = new QGridLayout;
    grid->addWidget(InfoGroup(), 0, 0);
    grid->addWidget(LayoutGroup(), 0, 1);
    grid->addWidget(AfterWorkGroup(afterWorks), 1, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(OkCancelButtons(this));
}

QWidget* CZelDocPropertyDlg::InfoGroup() {
    const PlateProperties& p = m_plate;
    auto* group = Named(new QGroupBox(QStringLiteral(" 판형: %1 ").arg(p.size)), "sizeGroup",
                        QStringLiteral("판형"));
    m_turn = Named(new QComboBox, "turnMethod", QStringLiteral("대첩 방식"));
    m_turn->addItems(CPlateSettingsPanel::TurnNames());
    m_turn->setCurrentIndex(std::clamp(p.turnDirection, 0, 2));
    // On a work-and-turn plate the turn decides the area under the placed
    // items, and a single-sided plate has none.
    m_turn->setEnabled(platechecks::TurnMethodEditable(p.paperSideSetting));
    m_comment = Named(new QLineEdit(p.comment), "comment", QStringLiteral("메모"));

    auto* quantity = new QHBoxLayout;
    quantity->addWidget(Shown("quantity", QStringLiteral("수량"), numbertext::Trimmed(p.quantity)));
    quantity->addWidget(Shown("pressUnit", QStringLiteral("수량 단위"),
                              p.pressUnit ? QStringLiteral("연") : QStringLiteral("매")));
    quantity->addStretch();
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("판 번호:"),
                 Shown("jobCode", QStringLiteral("판 번호"), p.jobCode));
    form->addRow(QStringLiteral("작업자(ID):"),
                 Shown("operator", QStringLiteral("작업자(ID)"),
                       QStringLiteral("%1(%2)").arg(p.userName, p.userAccount)));
    form->addRow(QStringLiteral("작업 날짜:"),
                 Shown("jobDate", QStringLiteral("작업 날짜"), p.jobDate));
    form->addRow(QStringLiteral("면수, 도수:"),
                 Shown("sides", QStringLiteral("면수, 도수"), SidesText(p)));
    form->addRow(QStringLiteral("수량:"), quantity);
    form->addRow(QStringLiteral("인쇄  매수:"),
                 Shown("pressCount", QStringLiteral("인쇄 매수"), QString::number(p.pressCount)));
    form->addRow(QStringLiteral("가로:"),
                 Shown("width", QStringLiteral("가로"), numbertext::MillimetreText(p.width)));
    form->addRow(QStringLiteral("세로:"),
                 Shown("height", QStringLiteral("세로"), numbertext::MillimetreText(p.height)));
    form->addRow(QStringLiteral("종이  지질:"), m_paperType);
    form->addRow(QStringLiteral("대첩  방식:"), m_turn);
    form->addRow(QStringLiteral("메모:"), m_comment);
    return group;
}

QWidget* CZelDocPropertyDlg::LayoutGroup() {
    auto* box = new QWidget;
    auto* layout = new QGridLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    m_layout.Show(m_plate);
    layout->addWidget(m_layout.marginGroup, 0, 0);
    layout->addWidget(m_layout.cutMarginGroup, 0, 1);
    layout->addWidget(m_layout.gridGroup, 1, 0);
    layout->addWidget(m_layout.arrangementGroup, 1, 1);
    return box;
}

QWidget* CZelDocPropertyDlg::AfterWorkGroup(const QStringList& afterWorks) {
    auto* group =
        Named(new QGroupBox(QStringLiteral("후가공")), "afterWorkGroup", QStringLiteral("후가공"));
    m_afterWorkList = Named(new QListWidget, "afterWorkList", QStringLiteral("후가공 목록"));
    m_afterWorkList->addItems(afterWorks);
    m_afterWorkApplied = Named(new QListWidget, "afterWorkApplied", QStringLiteral("후가공 적용"));
    // Every step stored, empty pieces aside, and the last one too when no
    // separator follows it.
    m_afterWorkApplied->addItems(m_plate.afterWork.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    m_afterWorkAdd = Named(new QPushButton(QStringLiteral("추가")), "afterWorkAdd",
                           QStringLiteral("후가공 추가"));
    m_afterWorkRemove = Named(new QPushButton(QStringLiteral("삭제")), "afterWorkRemove",
                              QStringLiteral("후가공 삭제"));
    for (QListWidget* list : {m_afterWorkList, m_afterWorkApplied}) {
        list->setMaximumHeight(120);
        connect(list, &QListWidget::itemSelectionChanged, this,
                &CZelDocPropertyDlg::UpdateAfterWorkButtons);
    }
    connect(m_afterWorkAdd, &QPushButton::clicked, this, &CZelDocPropertyDlg::AddAfterWork);
    connect(m_afterWorkList, &QListWidget::itemDoubleClicked, this,
            &CZelDocPropertyDlg::AddAfterWork);
    connect(m_afterWorkRemove, &QPushButton::clicked, this, &CZelDocPropertyDlg::RemoveAfterWork);
    connect(m_afterWorkApplied, &QListWidget::itemDoubleClicked, this,
            &CZelDocPropertyDlg::RemoveAfterWork);
    auto* layout = new QGridLayout(group);
    layout->addWidget(new QLabel(QStringLiteral("후가공 목록")), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("후가공 적용")), 0, 2);
    layout->addWidget(m_afterWorkList, 1, 0, 2, 1);
    layout->addWidget(m_afterWorkAdd, 1, 1);
    layout->addWidget(m_afterWorkRemove, 2, 1);
    layout->addWidget(m_afterWorkApplied, 1, 2, 2, 1);
    UpdateAfterWorkButtons();
    return group;
}

void CZelDocPropertyDlg::AddAfterWork() {
    const QListWidgetItem* item = m_afterWorkList->currentItem();
    if (item && item->isSelected() &&
        m_afterWorkApplied->findItems(item->text(), Qt::MatchExactly).isEmpty()) {
        m_afterWorkApplied->addItem(item->text());
        m_afterWorkEdited = true;
    }
    UpdateAfterWorkButtons();
}

void CZelDocPropertyDlg::RemoveAfterWork() {
    QListWidgetItem* item = m_afterWorkApplied->currentItem();
    if (item && item->isSelected()) {
        delete item;
        m_afterWorkEdited = true;
    }
    UpdateAfterWorkButtons();
}

void CZelDocPropertyDlg::UpdateAfterWorkButtons() {
    m_afterWorkAdd->setEnabled(!m_afterWorkList->selectedItems().isEmpty());
    m_afterWorkRemove->setEnabled(!m_afterWorkApplied->selectedItems().isEmpty());
}

PlateProperties CZelDocPropertyDlg::Properties() const {
    PlateProperties p = m_plate;
    p.paperType = m_paperType->currentText();
    p.turnDirection = m_turn->currentIndex();
    p.comment = m_comment->text();
    m_layout.Take(p);
    // Rewritten only when edited, so that a stored value the list cannot
    // show exactly (empty pieces, no final separator) survives other changes.
    if (m_afterWorkEdited) {
        QString afterWork;
        for (int i = 0; i < m_afterWorkApplied->count(); ++i)
            afterWork += m_afterWorkApplied->item(i)->text() + QLatin1Char(';');
        p.afterWork = afterWork;
    }
    return p;
}

void CZelDocPropertyDlg::accept() {
    // A number still being typed counts as typed.
    for (CNumberEdit* edit : findChildren<CNumberEdit*>())
        emit edit->editingFinished();
    const PlateProperties p = Properties();
    const QString problem = platechecks::ValidateLayout(p);
    if (problem.isEmpty()) {
        QDialog::accept();
        return;
    }
    m_op.Tell(problem);
    // The box the message is about takes the focus.
    CNumberEdit* focus = nullptr;
    auto firstBelowZero = [](const std::array<CNumberEdit*, 4>& edits) -> CNumberEdit* {
        for (CNumberEdit* edit : edits)
            if (!(edit->Value() >= 0.0))
                return edit;
        return nullptr;
    };
    if (problem == QStringLiteral("판형의 여백이 잘못되었습니다."))
        focus = firstBelowZero(m_layout.margin);
    else if (problem == QStringLiteral("판형의 그리드 간격이 잘못되었습니다."))
        focus = m_layout.gridWidth->Value() < 0.0 ? m_layout.gridWidth : m_layout.gridHeight;
    else if (problem == QStringLiteral("판형의 재단선 여백이 잘못되었습니다."))
        focus = firstBelowZero(m_layout.cutMargin);
    else if (problem == QStringLiteral("판형의 여백이 전체 폭 보다 큽니다."))
        focus = m_layout.margin[PlateProperties::Edge::Left];
    else
        focus = m_layout.margin[PlateProperties::Edge::Top];
    if (focus) {
        focus->setFocus();
        focus->selectAll();
    }
}
