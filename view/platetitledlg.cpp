#include "platetitledlg.h"

#include "controlnames.h"
#include "fontchoice.h"

#include "engine/textlayout.h"
#include "press/platetitle.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

CPlateTitleDlg::CPlateTitleDlg(const QString& titleItems, const LogFont& font, QWidget* parent)
    : QDialog(parent), m_font(font) {
    setObjectName(QStringLiteral("plateTitleDialog"));
    setWindowTitle(QStringLiteral("판 제목 설정"));
    setAccessibleName(windowTitle());

    m_available = Named(new QListWidget, "titleTokens", QStringLiteral("항목 목록"));
    m_available->addItems(CPlateTitle::Tokens());
    m_available->setCurrentRow(0);
    m_applied = Named(new QListWidget, "appliedTokens", QStringLiteral("항목 적용"));
    // Only the items the title knows: an unknown one would print nothing.
    for (const QString& token : CPlateTitle::SplitItems(titleItems))
        if (CPlateTitle::Tokens().contains(token) &&
            m_applied->findItems(token, Qt::MatchExactly).isEmpty())
            m_applied->addItem(token);
    for (QListWidget* list : {m_available, m_applied})
        list->setMinimumWidth(200);
    m_add = Named(new QPushButton(QStringLiteral("추가")), "addToken", QStringLiteral("추가"));
    m_remove =
        Named(new QPushButton(QStringLiteral("삭제")), "removeToken", QStringLiteral("삭제"));
    for (QPushButton* button : {m_add, m_remove})
        button->setAutoDefault(false);
    connect(m_add, &QPushButton::clicked, this, &CPlateTitleDlg::AddSelected);
    connect(m_remove, &QPushButton::clicked, this, &CPlateTitleDlg::RemoveSelected);
    connect(m_available, &QListWidget::itemDoubleClicked, this, &CPlateTitleDlg::AddSelected);
    connect(m_applied, &QListWidget::itemDoubleClicked, this, &CPlateTitleDlg::RemoveSelected);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("항목 목록")), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("항목 적용")), 0, 2);
    lists->addWidget(m_available, 1, 0);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addStretch();
    lists->addLayout(buttons, 1, 1);
    lists->addWidget(m_applied, 1, 2);

    m_face = Named(new QLineEdit, "fontFace", QStringLiteral("글꼴"));
    m_size = Named(new QLineEdit, "fontSize", QStringLiteral("크기"));
    m_face->setReadOnly(true);
    m_size->setReadOnly(true);
    m_size->setMaximumWidth(60);
    auto* chooseFont = Named(new QPushButton(QStringLiteral("글꼴 선택...")), "chooseFont",
                             QStringLiteral("글꼴 선택"));
    chooseFont->setAutoDefault(false);
    connect(chooseFont, &QPushButton::clicked, this, &CPlateTitleDlg::ChooseFont);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(new QLabel(QStringLiteral("글꼴:")));
    fontRow->addWidget(m_face, 1);
    fontRow->addWidget(new QLabel(QStringLiteral("크기:")));
    fontRow->addWidget(m_size);
    fontRow->addWidget(chooseFont);

    auto* previewGroup = Named(new QGroupBox(QStringLiteral("미리 보기")), "previewGroup",
                               QStringLiteral("미리 보기"));
    m_preview = Named(new QLabel, "titlePreview", QStringLiteral("미리 보기"));
    m_preview->setMinimumHeight(48);
    m_preview->setWordWrap(true);
    (new QVBoxLayout(previewGroup))->addWidget(m_preview);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(fontRow);
    layout->addWidget(previewGroup);
    layout->addWidget(OkCancelButtons(this));
    ShowFont();
    UpdatePreview();
}

QStringList CPlateTitleDlg::AppliedTokens() const {
    QStringList tokens;
    for (int i = 0; i < m_applied->count(); ++i)
        tokens << m_applied->item(i)->text();
    return tokens;
}

QString CPlateTitleDlg::Items() const {
    return AppliedTokens().join(QLatin1Char('-'));
}

QString CPlateTitleDlg::PreviewText(const QStringList& tokens) {
    return tokens.join(QLatin1Char('-'));
}

void CPlateTitleDlg::AddSelected() {
    const QListWidgetItem* chosen = m_available->currentItem();
    if (!chosen || !m_applied->findItems(chosen->text(), Qt::MatchExactly).isEmpty())
        return;
    m_applied->addItem(chosen->text());
    m_applied->setCurrentRow(m_applied->count() - 1);
    UpdatePreview();
}

void CPlateTitleDlg::RemoveSelected() {
    const int row = m_applied->currentRow();
    if (row < 0)
        return;
    delete m_applied->takeItem(row);
    UpdatePreview();
}

void CPlateTitleDlg::ChooseFont() {
    if (const std::optional<LogFont> chosen = fontchoice::Choose(this, m_font)) {
        m_font = *chosen;
        ShowFont();
    }
}

void CPlateTitleDlg::ShowFont() {
    m_face->setText(textlayout::FaceName(m_font));
    m_size->setText(QString::number(std::lround(std::abs(m_font.lfHeight) * 72.0 / 96.0)));
    QFont shown = textlayout::FontOf(m_font);
    m_preview->setFont(shown);
}

void CPlateTitleDlg::UpdatePreview() {
    m_preview->setText(PreviewText(AppliedTokens()));
}
