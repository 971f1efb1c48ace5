#include "platesettingspanel.h"

#include "controlnames.h"
#include "numberedit.h"
#include "platetitledlg.h"
#include "pressmarksbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>

QStringList CPlateSettingsPanel::AlignNames() {
    return {QStringLiteral("용지 끝"), QStringLiteral("여백 가운데"),
            QStringLiteral("인쇄 영역 쪽")};
}

QStringList CPlateSettingsPanel::EdgeNames() {
    return {QStringLiteral("왼쪽"), QStringLiteral("위쪽"), QStringLiteral("오른쪽"),
            QStringLiteral("아래쪽")};
}

QStringList CPlateSettingsPanel::ArrangementNames() {
    return {QStringLiteral("수평 배열(좌상)"), QStringLiteral("수평 배열(우상)"),
            QStringLiteral("수평 배열(좌하)"), QStringLiteral("수평 배열(우하)"),
            QStringLiteral("수직 배열(좌상)"), QStringLiteral("수직 배열(우상)"),
            QStringLiteral("수직 배열(좌하)"), QStringLiteral("수직 배열(우하)"),
            QStringLiteral("배열 안함")};
}

QStringList CPlateSettingsPanel::TurnNames() {
    return {QStringLiteral("수평 대첩"), QStringLiteral("수직 대첩"), QStringLiteral("대첩 안함")};
}

CPlateSettingsPanel::CPlateSettingsPanel(const Lists& lists, QWidget* parent)
    : QWidget(parent), m_lists(lists) {
    setObjectName(QStringLiteral("plateSettings"));
    setAccessibleName(QStringLiteral("판 설정"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(ImpositionGroup(), 0, 0);
    grid->addWidget(AfterWorkGroup(), 1, 0);
    grid->addWidget(PaperGroup(), 0, 1, 2, 1);
    grid->addWidget(m_layout.arrangementGroup, 2, 0);
    grid->addWidget(TitleGroup(), 2, 1);
    grid->addWidget(FurnitureGroup(), 0, 2, 3, 1);
    SetProperties(PlateProperties());
}

QWidget* CPlateSettingsPanel::ImpositionGroup() {
    auto* group = Named(new QGroupBox(QStringLiteral("조판 정보")), "impositionGroup",
                        QStringLiteral("조판 정보"));
    m_quantity = NamedNumber("quantity", QStringLiteral("수량"));
    m_pressUnit = NamedCombo("pressUnit", QStringLiteral("수량 단위"),
                             {QStringLiteral("매"), QStringLiteral("연")});
    m_pressUnit->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_pressCount = NamedNumber("pressCount", QStringLiteral("인쇄 매수"));
    m_sides = NamedCombo("paperSide", QStringLiteral("면수"),
                         {QStringLiteral("단면"), QStringLiteral("양면"), QStringLiteral("돈땡")});
    m_colorA =
        NamedCombo("colorA", QStringLiteral("앞"), {QStringLiteral("1도"), QStringLiteral("4도")});
    m_colorB =
        NamedCombo("colorB", QStringLiteral("뒤"), {QStringLiteral("1도"), QStringLiteral("4도")});
    m_turn = NamedCombo("turnMethod", QStringLiteral("대첩 방식"), TurnNames());
    m_paperType = NamedCombo("paperType", QStringLiteral("종이 지질"), m_lists.paperTypes);
    m_comment = Named(new QLineEdit, "comment", QStringLiteral("메모"));

    auto* quantityRow = new QHBoxLayout;
    quantityRow->addWidget(m_quantity);
    quantityRow->addWidget(m_pressUnit);
    quantityRow->addStretch();
    auto* sidesRow = new QHBoxLayout;
    sidesRow->addWidget(m_sides);
    sidesRow->addWidget(new QLabel(QStringLiteral("앞:")));
    sidesRow->addWidget(m_colorA);
    sidesRow->addWidget(new QLabel(QStringLiteral("뒤:")));
    sidesRow->addWidget(m_colorB);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("수량:"), quantityRow);
    form->addRow(QStringLiteral("인쇄  매수:"), m_pressCount);
    form->addRow(QStringLiteral("면수, 도수:"), sidesRow);
    form->addRow(QStringLiteral("대첩  방식:"), m_turn);
    form->addRow(QStringLiteral("종이  지질:"), m_paperType);
    form->addRow(QStringLiteral("메          모:"), m_comment);
    connect(m_sides, &QComboBox::activated, this, &CPlateSettingsPanel::OnSidesChosen);
    return group;
}

QWidget* CPlateSettingsPanel::AfterWorkGroup() {
    auto* group = Named(new QGroupBox(QStringLiteral("후 가공")), "afterWorkGroup",
                        QStringLiteral("후 가공"));
    m_afterWorkList = Named(new QListWidget, "afterWorkList", QStringLiteral("후가공 목록"));
    m_afterWorkList->addItems(m_lists.afterWorks);
    m_afterWorkApplied = Named(new QListWidget, "afterWorkApplied", QStringLiteral("후가공 적용"));
    m_afterWorkAdd = Named(new QPushButton(QStringLiteral("추가")), "afterWorkAdd",
                           QStringLiteral("후가공 추가"));
    m_afterWorkRemove = Named(new QPushButton(QStringLiteral("삭제")), "afterWorkRemove",
                              QStringLiteral("후가공 삭제"));
    for (QListWidget* list : {m_afterWorkList, m_afterWorkApplied}) {
        list->setMaximumHeight(110);
        connect(list, &QListWidget::itemSelectionChanged, this,
                &CPlateSettingsPanel::UpdateAfterWorkButtons);
    }
    auto add = [this] {
        const QListWidgetItem* item = m_afterWorkList->currentItem();
        if (item && item->isSelected() &&
            m_afterWorkApplied->findItems(item->text(), Qt::MatchExactly).isEmpty())
            m_afterWorkApplied->addItem(item->text());
        UpdateAfterWorkButtons();
    };
    auto remove = [this] {
        QListWidgetItem* item = m_afterWorkApplied->currentItem();
        if (item && item->isSelected())
            delete item;
        UpdateAfterWorkButtons();
    };
    connect(m_afterWorkAdd, &QPushButton::clicked, this, add);
    connect(m_afterWorkList, &QListWidget::itemDoubleClicked, this, add);
    connect(m_afterWorkRemove, &QPushButton::clicked, this, remove);
    connect(m_afterWorkApplied, &QListWidget::itemDoubleClicked, this, remove);

    auto* layout = new QGridLayout(group);
    layout->addWidget(new QLabel(QStringLiteral("후가공 목록")), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("후가공 적용")), 0, 1);
    layout->addWidget(m_afterWorkList, 1, 0);
    layout->addWidget(m_afterWorkApplied, 1, 1);
    layout->addWidget(m_afterWorkAdd, 2, 0);
    layout->addWidget(m_afterWorkRemove, 2, 1);
    UpdateAfterWorkButtons();
    return group;
}

QWidget* CPlateSettingsPanel::PaperGroup() {
    auto* box =
        Named(new QGroupBox(QStringLiteral("판 형")), "paperGroup", QStringLiteral("판 형"));
    QStringList sizes;
    for (const PaperSize& size : m_lists.paperSizes)
        sizes << size.name;
    sizes << CustomSizeName();
    m_size = NamedCombo("paperSize", QStringLiteral("판 형"), sizes);
    m_width = NamedNumber("width", QStringLiteral("가로"));
    m_height = NamedNumber("height", QStringLiteral("세로"));
    auto* paper = new QFormLayout;
    paper->addRow(QStringLiteral("판 형:"), m_size);
    paper->addRow(QStringLiteral("가로:"), m_width);
    paper->addRow(QStringLiteral("세로:"), m_height);
    connect(m_size, &QComboBox::activated, this, &CPlateSettingsPanel::OnSizeChosen);
    connect(m_width, &CNumberEdit::valueEdited, this, &CPlateSettingsPanel::OnSizeTyped);
    connect(m_height, &CNumberEdit::valueEdited, this, &CPlateSettingsPanel::OnSizeTyped);

    auto* layout = new QGridLayout(box);
    layout->addLayout(paper, 0, 0, 1, 2);
    layout->addWidget(m_layout.marginGroup, 1, 0);
    layout->addWidget(m_layout.cutMarginGroup, 1, 1);
    layout->addWidget(m_layout.gridGroup, 2, 0, 1, 2);
    return box;
}

QWidget* CPlateSettingsPanel::TitleGroup() {
    auto* group =
        Named(new QGroupBox(QStringLiteral("판 제목")), "titleGroup", QStringLiteral("판 제목"));
    m_titlePosition = NamedCombo("titlePosition", QStringLiteral("판 제목 위치"), EdgeNames());
    m_titleAlign = NamedCombo("titleAlign", QStringLiteral("판 제목 정렬"), AlignNames());
    m_titleItems = Named(new QLineEdit, "titleItems", QStringLiteral("판 제목 형식"));
    m_titleItems->setReadOnly(true);
    m_titleItems->setMinimumWidth(240);
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("위치:"), m_titlePosition);
    form->addRow(QStringLiteral("정렬:"), m_titleAlign);
    auto* edit =
        Named(new QPushButton(QStringLiteral("편집")), "editTitle", QStringLiteral("판 제목 편집"));
    edit->setAutoDefault(false);
    connect(edit, &QPushButton::clicked, this, &CPlateSettingsPanel::EditTitle);
    auto* itemsRow = new QHBoxLayout;
    itemsRow->addWidget(m_titleItems, 1);
    itemsRow->addWidget(edit);
    form->addRow(QStringLiteral("판 제목 형식:"), itemsRow);
    return group;
}

void CPlateSettingsPanel::EditTitle() {
    CPlateTitleDlg editor(m_titleItems->text(), m_base.titleFont, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    m_titleItems->setText(editor.Items());
    m_base.titleFont = editor.Font();
}

QWidget* CPlateSettingsPanel::FurnitureGroup() {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    m_marks = new CPressMarksBox(m_lists.colorBars, m_lists.registrationMarks);
    layout->addWidget(m_marks);
    layout->addStretch();
    return box;
}

void CPlateSettingsPanel::SetProperties(const PlateProperties& p) {
    const QList<QWidget*> all = findChildren<QWidget*>();
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QWidget* w : all)
        blockers.push_back(std::make_unique<QSignalBlocker>(w));
    m_base = p;
    m_quantity->SetValue(p.quantity);
    m_pressUnit->setCurrentIndex(p.pressUnit ? 1 : 0);
    m_pressCount->SetValue(p.pressCount);
    m_sides->setCurrentIndex(std::clamp(p.paperSideSetting, 0, 2));
    m_colorA->setCurrentIndex(p.colorA ? 1 : 0);
    m_colorB->setCurrentIndex(p.colorB ? 1 : 0);
    m_turn->setCurrentIndex(std::clamp(p.turnDirection, 0, 2));
    SelectStoredName(m_paperType, p.paperType);
    m_comment->setText(p.comment);
    m_afterWorkApplied->clear();
    for (const QString& step : p.afterWork.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (m_afterWorkApplied->findItems(step, Qt::MatchExactly).isEmpty())
            m_afterWorkApplied->addItem(step);
    m_width->SetValue(p.width);
    m_height->SetValue(p.height);
    m_layout.Show(p);
    m_titlePosition->setCurrentIndex(std::clamp(p.titlePosition, 0, 3));
    m_titleAlign->setCurrentIndex(std::clamp(p.titleAlign, 0, 2));
    m_titleItems->setText(p.titleItems);
    m_marks->Show(p);
    blockers.clear();
    OnSizeTyped();
    OnSidesChosen();
    UpdateAfterWorkButtons();
}

PlateProperties CPlateSettingsPanel::Properties() const {
    PlateProperties p = m_base;
    p.quantity = m_quantity->Value();
    p.pressUnit = m_pressUnit->currentIndex();
    const double count = m_pressCount->Value();
    p.pressCount = std::isfinite(count) && std::abs(count) < 2e9 ? int(count) : 0;
    p.paperSideSetting = m_sides->currentIndex();
    p.colorA = m_colorA->currentIndex();
    p.colorB = m_colorB->currentIndex();
    p.turnDirection = m_turn->currentIndex();
    p.paperType = m_paperType->currentText();
    p.comment = m_comment->text();
    QString afterWork;
    for (int i = 0; i < m_afterWorkApplied->count(); ++i)
        afterWork += m_afterWorkApplied->item(i)->text() + QLatin1Char(';');
    p.afterWork = afterWork;
    p.size = SizeName();
    p.width = m_width->Value();
    p.height = m_height->Value();
    m_layout.Take(p);
    p.titlePosition = m_titlePosition->currentIndex();
    p.titleAlign = m_titleAlign->currentIndex();
    p.titleItems = m_titleItems->text();
    m_marks->Take(p);
    return p;
}

QString CPlateSettingsPanel::SizeName() const {
    return m_size->currentText();
}

void CPlateSettingsPanel::OnSidesChosen() {
    switch (m_sides->currentIndex()) {
    case 0: // one side: no back, no turn
        m_colorB->setCurrentIndex(0);
        m_turn->setCurrentIndex(2);
        m_colorB->setEnabled(false);
        m_turn->setEnabled(false);
        break;
    case 1:
        m_colorB->setEnabled(true);
        m_turn->setEnabled(true);
        break;
    default: // work-and-turn: one plate for both sides; the turn splits the sheet
        m_colorB->setCurrentIndex(0);
        m_colorB->setEnabled(false);
        m_turn->setEnabled(true);
        break;
    }
}

void CPlateSettingsPanel::OnSizeChosen(int index) {
    if (index < 0 || index >= int(m_lists.paperSizes.size()))
        return; // "사용자 정의" keeps the typed size
    m_width->SetValue(m_lists.paperSizes[size_t(index)].width);
    m_height->SetValue(m_lists.paperSizes[size_t(index)].height);
}

void CPlateSettingsPanel::OnSizeTyped() {
    const QSignalBlocker blocker(m_size);
    for (size_t i = 0; i < m_lists.paperSizes.size(); ++i)
        if (m_lists.paperSizes[i].width == m_width->Value() &&
            m_lists.paperSizes[i].height == m_height->Value()) {
            m_size->setCurrentIndex(int(i));
            return;
        }
    m_size->setCurrentIndex(m_size->count() - 1);
}

void CPlateSettingsPanel::UpdateAfterWorkButtons() {
    m_afterWorkAdd->setEnabled(!m_afterWorkList->selectedItems().isEmpty());
    m_afterWorkRemove->setEnabled(!m_afterWorkApplied->selectedItems().isEmpty());
}
