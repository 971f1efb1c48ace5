#include "makepresssetupdlg.h"

#include "controlnames.h"
#include "fontchoice.h"
#include "platesettingspanel.h"
#include "platetitledlg.h"
#include "pressmarksbox.h"

#include "engine/operatorinterface.h"
#include "engine/tesseldoc.h"
#include "press/makepress.h"
#include "records/zelpreference.h"
#include "records/zelpressmarkpresets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

using Option = CZelPreference::Option;
constexpr Option kItemCut[] = {Option::ItemCutA, Option::ItemCutB, Option::ItemCutL};
constexpr Option kItemFrame[] = {Option::ItemFrameA, Option::ItemFrameB, Option::ItemFrameL};

QButtonGroup* Radios(QWidget* owner, QBoxLayout* layout, const QStringList& texts,
                     const QList<const char*>& names, const QString& group) {
    auto* buttons = new QButtonGroup(owner);
    for (int i = 0; i < texts.size(); ++i) {
        auto* radio =
            Named(new QRadioButton(texts[i]), names[i], group + QLatin1Char(' ') + texts[i]);
        buttons->addButton(radio, i);
        layout->addWidget(radio);
    }
    return buttons;
}

void Choose(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id))
        button->setChecked(true);
    else
        group->button(0)->setChecked(true);
}

QPushButton* Button(const char* name, const QString& text, const QString& accessible) {
    auto* button = Named(new QPushButton(text), name, accessible);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CMakePressSetupDlg::CMakePressSetupDlg(CTesselDoc& doc, CZelPreference& preference,
                                       const CZelPressMarkPresets& colorBars,
                                       const CZelPressMarkPresets& registrationMarks,
                                       OperatorInterface& op, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_preference(preference), m_colorBars(colorBars),
      m_registrationMarks(registrationMarks), m_op(op) {
    setObjectName(QStringLiteral("makePressSetupDialog"));
    setWindowTitle(QStringLiteral("출력용 PDF 생성"));
    setAccessibleName(windowTitle());

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(TitleGroup());
    m_marks = new CPressMarksBox(m_colorBars.Names(), m_registrationMarks.Names());
    left->addWidget(m_marks);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(PlateGroup());
    right->addWidget(OutputGroup());
    right->addStretch();
    columns->addLayout(left);
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(OkCancelButtons(this));
    Fill();
}

QWidget* CMakePressSetupDlg::TitleGroup() {
    auto* group =
        Named(new QGroupBox(QStringLiteral("판 제목")), "titleGroup", QStringLiteral("판 제목"));
    auto* positions = new QHBoxLayout;
    m_titlePosition =
        Radios(this, positions, CPlateSettingsPanel::EdgeNames(),
               {"titleLeft", "titleTop", "titleRight", "titleBottom"}, QStringLiteral("판 제목"));
    m_titleItems = Named(new QLineEdit, "titleItems", QStringLiteral("판 제목 형식"));
    m_titleItems->setReadOnly(true);
    m_titleItems->setMinimumWidth(260);
    auto* edit = Button("editTitle", QStringLiteral("편집"), QStringLiteral("판 제목 편집"));
    connect(edit, &QPushButton::clicked, this, &CMakePressSetupDlg::EditTitle);
    auto* itemsRow = new QHBoxLayout;
    itemsRow->addWidget(m_titleItems, 1);
    itemsRow->addWidget(edit);
    m_titleAlign =
        NamedCombo("titleAlign", QStringLiteral("판 제목 정렬"), CPlateSettingsPanel::AlignNames());
    m_titleFontButton = Button("titleFont", QString(), QStringLiteral("판 제목 글꼴"));
    m_barcodeFontButton = Button("barcodeFont", QString(), QStringLiteral("바코드 글꼴"));
    connect(m_titleFontButton, &QPushButton::clicked, this, [this] {
        if (const std::optional<LogFont> font = fontchoice::Choose(this, m_titleFont)) {
            m_titleFont = *font;
            ShowFonts();
        }
    });
    connect(m_barcodeFontButton, &QPushButton::clicked, this, [this] {
        if (const std::optional<LogFont> font = fontchoice::Choose(this, m_barcodeFont)) {
            m_barcodeFont = *font;
            ShowFonts();
        }
    });
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("위치:"), positions);
    form->addRow(QStringLiteral("판 제목 형식:"), itemsRow);
    form->addRow(QStringLiteral("정렬:"), m_titleAlign);
    form->addRow(QStringLiteral("제목 글꼴:"), m_titleFontButton);
    form->addRow(QStringLiteral("바코드 글꼴:"), m_barcodeFontButton);
    return group;
}

QWidget* CMakePressSetupDlg::PlateGroup() {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* turn =
        Named(new QGroupBox(QStringLiteral("대첩 방식")), "turnGroup", QStringLiteral("대첩 방식"));
    auto* turnRow = new QHBoxLayout(turn);
    m_turn = Radios(this, turnRow, CPlateSettingsPanel::TurnNames(),
                    {"turnHorizontal", "turnVertical", "turnNone"}, QStringLiteral("대첩 방식"));
    // Only a two-sided plate turns its back; work-and-turn is set with the plate.
    turn->setEnabled(m_doc.Properties().paperSideSetting == 1);
    layout->addWidget(turn);

    m_comment = Named(new QLineEdit, "comment", QStringLiteral("메모"));
    m_pressQuantity = Named(new QLineEdit, "pressQuantity", QStringLiteral("수량"));
    auto* quantityRow = new QHBoxLayout;
    quantityRow->addWidget(m_pressQuantity, 1);
    quantityRow->addWidget(Named(
        new QLabel(m_doc.Properties().pressUnit ? QStringLiteral("연") : QStringLiteral("매")),
        "pressUnit", QStringLiteral("수량 단위")));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("메모:"), m_comment);
    form->addRow(QStringLiteral("수량:"), quantityRow);
    layout->addLayout(form);
    return box;
}

QWidget* CMakePressSetupDlg::OutputGroup() {
    auto* group =
        Named(new QGroupBox(QStringLiteral("출력")), "outputGroup", QStringLiteral("출력"));
    auto* layout = new QVBoxLayout(group);
    m_pdfType =
        Radios(this, layout,
               {QStringLiteral("모든 페이지를 하나의 파일로 저장"),
                QStringLiteral("레이블 페이지만 별도 파일로 저장"),
                QStringLiteral("각 페이지를 별도 파일로 저장")},
               {"pdfTypeOne", "pdfTypeLabelApart", "pdfTypeEach"}, QStringLiteral("파일 나누기"));
    m_openMade = NamedCheck("openMade", QStringLiteral("생성된 PDF 열기"),
                            QStringLiteral("생성된 PDF 열기"));
    layout->addWidget(m_openMade);

    const QString sides[] = {QStringLiteral("A 판"), QStringLiteral("B 판"),
                             QStringLiteral("레이블")};
    static const char* const kCutNames[] = {"itemCutA", "itemCutB", "itemCutL"};
    static const char* const kFrameNames[] = {"itemFrameA", "itemFrameB", "itemFrameL"};
    auto* switches = new QGridLayout;
    switches->addWidget(new QLabel(QStringLiteral("독립 재단선:")), 0, 0);
    switches->addWidget(new QLabel(QStringLiteral("항목 테두리:")), 1, 0);
    for (size_t i = 0; i < 3; ++i) {
        m_itemCut[i] =
            NamedCheck(kCutNames[i], sides[i], QStringLiteral("독립 재단선 ") + sides[i]);
        m_itemFrame[i] =
            NamedCheck(kFrameNames[i], sides[i], QStringLiteral("항목 테두리 ") + sides[i]);
        switches->addWidget(m_itemCut[i], 0, int(i) + 1);
        switches->addWidget(m_itemFrame[i], 1, int(i) + 1);
    }
    layout->addLayout(switches);
    m_titleFileName = NamedCheck("titleFileName", QStringLiteral("판 제목 PDF 파일명"),
                                 QStringLiteral("판 제목 PDF 파일명"));
    layout->addWidget(m_titleFileName);
    m_cutPlan = NamedCheck("cutPlan", QStringLiteral("재단 지시서와 재단 프로그램 만들기"),
                           QStringLiteral("재단 지시서와 재단 프로그램 만들기"));
    layout->addWidget(m_cutPlan);

    m_pressDir = Named(new QLineEdit, "pressDir", QStringLiteral("출력용 PDF 저장 폴더"));
    m_pressDir->setMinimumWidth(280);
    auto* browse = Button("browsePressDir", QStringLiteral("..."),
                          QStringLiteral("출력용 PDF 저장 폴더 찾기"));
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
    connect(browse, &QPushButton::clicked, this, &CMakePressSetupDlg::BrowsePressDir);
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(m_pressDir, 1);
    dirRow->addWidget(browse);
    layout->addWidget(new QLabel(QStringLiteral("출력용 PDF 저장 폴더:")));
    layout->addLayout(dirRow);
    auto* openPress = Button("openPressDir", QStringLiteral("출력용 PDF 폴더 열기"),
                             QStringLiteral("출력용 PDF 폴더 열기"));
    auto* openPlate =
        Button("openPlateDir", QStringLiteral("판 폴더 열기"), QStringLiteral("판 폴더 열기"));
    connect(openPress, &QPushButton::clicked, this,
            [this] { OpenFolder(m_pressDir->text().trimmed()); });
    connect(openPlate, &QPushButton::clicked, this,
            [this] { OpenFolder(QFileInfo(m_doc.Path()).absolutePath()); });
    auto* openRow = new QHBoxLayout;
    openRow->addWidget(openPress);
    openRow->addWidget(openPlate);
    layout->addLayout(openRow);
    return group;
}

void CMakePressSetupDlg::Fill() {
    const PlateProperties& p = m_doc.Properties();
    Choose(m_titlePosition, p.titlePosition);
    m_titleItems->setText(p.titleItems);
    m_titleItems->setCursorPosition(0);
    m_titleAlign->setCurrentIndex(std::clamp(p.titleAlign, 0, 2));
    m_titleFont = p.titleFont;
    m_barcodeFont = p.barcodeFont;
    ShowFonts();
    m_marks->Show(p);
    Choose(m_turn, p.turnDirection);
    m_comment->setText(p.comment);
    m_pressQuantity->setText(p.pressQuantityText);

    Choose(m_pdfType, m_preference.GetOption(Option::MakePdfType));
    m_openMade->setChecked(m_preference.GetOption(Option::MakePdfView) != 0);
    for (size_t i = 0; i < 3; ++i) {
        m_itemCut[i]->setChecked(m_preference.GetOption(kItemCut[i]) != 0);
        m_itemFrame[i]->setChecked(m_preference.GetOption(kItemFrame[i]) != 0);
    }
    m_titleFileName->setChecked(m_preference.GetOption(Option::MakePdfTitleFname) != 0);
    m_cutPlan->setChecked(MakePressOptions::FromPreference(m_preference).cutPlan);
    // A folder that has gone is shown as stored, so the operator sees what to mend.
    m_pressDir->setText(MakePressOptions::FromPreference(m_preference).pressDir);
}

PlateProperties CMakePressSetupDlg::Properties() const {
    PlateProperties p = m_doc.Properties();
    p.titlePosition = m_titlePosition->checkedId();
    p.titleItems = m_titleItems->text();
    p.titleAlign = m_titleAlign->currentIndex();
    p.titleFont = m_titleFont;
    p.barcodeFont = m_barcodeFont;
    m_marks->Take(p);
    if (p.paperSideSetting == 1)
        p.turnDirection = m_turn->checkedId();
    p.comment = m_comment->text();
    p.pressQuantityText = m_pressQuantity->text().trimmed();
    return p;
}

void CMakePressSetupDlg::accept() {
    // Everything is checked before anything is written.
    const QString pressDir = m_pressDir->text().trimmed();
    if (pressDir.isEmpty() || !QFileInfo(pressDir).isDir()) {
        m_op.Tell(QStringLiteral("출력용 PDF 저장 폴더를 설정하십시오."));
        m_pressDir->clear();
        m_pressDir->setFocus();
        return;
    }
    m_preference.SetPressDir(pressDir);
    m_preference.SetOption(Option::MakePdfType, m_pdfType->checkedId());
    m_preference.SetOption(Option::MakePdfView, m_openMade->isChecked() ? 1 : 0);
    for (size_t i = 0; i < 3; ++i) {
        m_preference.SetOption(kItemCut[i], m_itemCut[i]->isChecked() ? 1 : 0);
        m_preference.SetOption(kItemFrame[i], m_itemFrame[i]->isChecked() ? 1 : 0);
    }
    m_preference.SetOption(Option::MakePdfTitleFname, m_titleFileName->isChecked() ? 1 : 0);
    m_preference.SetOption(Option::MakeCutPlan, m_cutPlan->isChecked() ? 1 : 0);
    // The settings hold for this run either way; the operator hears when they
    // will not be there next time.
    if (!m_preference.Save())
        m_op.Tell(
            QStringLiteral("출력 설정을 저장할 수 없습니다.\n%1").arg(m_preference.LastError()));
    m_doc.SetProperties(Properties()); // marks the plate modified only when something changed
    QDialog::accept();
}

void CMakePressSetupDlg::EditTitle() {
    CPlateTitleDlg editor(m_titleItems->text(), m_titleFont, this);
    if (editor.exec() != QDialog::Accepted)
        return;
    m_titleItems->setText(editor.Items());
    m_titleFont = editor.Font();
    ShowFonts();
}

void CMakePressSetupDlg::ShowFonts() {
    m_titleFontButton->setText(fontchoice::Describe(m_titleFont));
    m_barcodeFontButton->setText(fontchoice::Describe(m_barcodeFont));
}

void CMakePressSetupDlg::BrowsePressDir() {
    const QString chosen = QFileDialog::getExistingDirectory(
        this, QStringLiteral("출력용 PDF 저장 폴더"), m_pressDir->text().trimmed());
    if (!chosen.isEmpty())
        m_pressDir->setText(chosen);
}

void CMakePressSetupDlg::OpenFolder(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        m_op.Tell(QStringLiteral("폴더 \"%1\"이(가) 없습니다.").arg(path));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
