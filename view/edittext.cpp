#include "edittext.h"

#include "colorcombo.h"
#include "controlnames.h"
#include "fontchoice.h"
#include "numberedit.h"

#include "engine/operatorinterface.h"
#include "engine/platechecks.h"
#include "engine/textboxpicture.h"
#include "markup/numbertext.h"

#include <QComboBox>
#include <QFile>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kBlack = QStringLiteral(" [ Black ]");
const QString kWhite = QStringLiteral(" [ White ]");

QString RotationText(int index) {
    return QString::number(index * 90) + QLatin1Char('`');
}

LogFont DefaultFont() {
    LogFont font;
    font.lfWeight = 400;
    fontchoice::SetFace(font, QStringLiteral("NanumGothic"));
    fontchoice::SetPointSize(font, 10);
    return font;
}

} // namespace

CEditText::CEditText(std::vector<TextBox> boxes, const Plate& plate, OperatorInterface& op,
                     QWidget* parent)
    : QDialog(parent), m_boxes(std::move(boxes)), m_plate(plate), m_op(op), m_font(DefaultFont()) {
    setObjectName(QStringLiteral("editTextDialog"));
    setWindowTitle(QStringLiteral("텍스트 박스 편집"));
    setAccessibleName(windowTitle());

    auto* size = Named(new QGroupBox(QStringLiteral("판 크기")), "plateSizeGroup",
                       QStringLiteral("판 크기"));
    auto* sizeForm = new QFormLayout(size);
    sizeForm->addRow(QStringLiteral("가로:"),
                     Named(new QLabel(numbertext::MillimetreText(plate.width)), "plateWidth",
                           QStringLiteral("판 가로")));
    sizeForm->addRow(QStringLiteral("세로:"),
                     Named(new QLabel(numbertext::MillimetreText(plate.height)), "plateHeight",
                           QStringLiteral("판 세로")));

    m_x = Named(new CNumberEdit, "x", QStringLiteral("X"));
    m_y = Named(new CNumberEdit, "y", QStringLiteral("Y"));
    m_width = Named(new CNumberEdit, "width", QStringLiteral("W"));
    m_height = Named(new CNumberEdit, "height", QStringLiteral("H"));
    m_frameColor =
        Named(new CColorCombo(plate.colors), "frameColor", QStringLiteral("테두리 색상"));
    m_frameColor->SelectName(QString(), kBlack);
    m_contentColor =
        Named(new CColorCombo(plate.colors), "contentColor", QStringLiteral("배경 색상"));
    m_contentColor->SelectName(QString(), kWhite);
    m_textColor = Named(new CColorCombo(plate.colors), "textColor", QStringLiteral("텍스트 색상"));
    m_textColor->SelectName(QString(), kBlack);
    m_rotation = Named(new QComboBox, "rotation", QStringLiteral("회전"));
    for (int i = 0; i < 4; ++i)
        m_rotation->addItem(RotationText(i));
    m_face = Named(new QComboBox, "face", QStringLiteral("글꼴"));
    m_size = Named(new QComboBox, "size", QStringLiteral("크기"));
    m_size->setEditable(true);
    for (int points : fontchoice::PointSizes())
        m_size->addItem(QString::number(points));
    m_fontButton = Named(new QPushButton(QStringLiteral("글꼴 선택...")), "chooseFont",
                         QStringLiteral("글꼴 선택"));
    m_fontButton->setAutoDefault(false);
    m_text = Named(new QPlainTextEdit, "text", QStringLiteral("텍스트"));
    m_text->setMaximumHeight(90);

    auto* position = new QGridLayout;
    position->addWidget(new QLabel(QStringLiteral("X:")), 0, 0);
    position->addWidget(m_x, 0, 1);
    position->addWidget(new QLabel(QStringLiteral("Y:")), 0, 2);
    position->addWidget(m_y, 0, 3);
    position->addWidget(new QLabel(QStringLiteral("W:")), 1, 0);
    position->addWidget(m_width, 1, 1);
    position->addWidget(new QLabel(QStringLiteral("H:")), 1, 2);
    position->addWidget(m_height, 1, 3);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(m_face, 1);
    fontRow->addWidget(m_size);
    fontRow->addWidget(m_fontButton);
    auto* entry = new QFormLayout;
    entry->addRow(position);
    entry->addRow(QStringLiteral("테두리 색상:"), m_frameColor);
    entry->addRow(QStringLiteral("배경 색상:"), m_contentColor);
    entry->addRow(QStringLiteral("텍스트 색상:"), m_textColor);
    entry->addRow(QStringLiteral("회전:"), m_rotation);
    entry->addRow(QStringLiteral("글꼴:"), fontRow);
    entry->addRow(QStringLiteral("텍스트:"), m_text);

    m_add = Named(new QPushButton(QStringLiteral("추가")), "add", QStringLiteral("추가"));
    m_apply = Named(new QPushButton(QStringLiteral("적용")), "apply", QStringLiteral("적용"));
    m_delete = Named(new QPushButton(QStringLiteral("삭제")), "delete", QStringLiteral("삭제"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_add, m_apply, m_delete}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }

    m_model = new QStandardItemModel(0, 5, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("X"), QStringLiteral("Y"),
                                        QStringLiteral("W"), QStringLiteral("H"),
                                        QStringLiteral("내용")});
    m_table = Named(new QTableView, "boxes", QStringLiteral("텍스트 박스 목록"));
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    for (int column = 0; column < 4; ++column)
        m_table->setColumnWidth(column, 70);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_model->setRowCount(int(m_boxes.size()));
    for (int row = 0; row < int(m_boxes.size()); ++row)
        WriteRow(row);

    auto* left = new QVBoxLayout;
    left->addWidget(size);
    left->addLayout(entry);
    left->addLayout(buttons);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(m_table, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(OkCancelButtons(this));
    resize(900, 480);
    ShowFont();

    // Validity follows every keystroke; the fields are filled before this.
    for (CNumberEdit* edit : {m_x, m_y, m_width, m_height}) {
        connect(edit, &QLineEdit::textEdited, this, &CEditText::UpdateButtons);
        connect(edit, &CNumberEdit::valueEdited, this, &CEditText::UpdateButtons);
    }
    for (QComboBox* combo :
         {static_cast<QComboBox*>(m_frameColor), static_cast<QComboBox*>(m_contentColor),
          static_cast<QComboBox*>(m_textColor), m_rotation})
        connect(combo, &QComboBox::activated, this, &CEditText::UpdateButtons);
    connect(m_text, &QPlainTextEdit::textChanged, this, &CEditText::UpdateButtons);
    connect(m_face, &QComboBox::activated, this, [this] {
        fontchoice::SetFace(m_font, m_face->currentText());
        UpdateButtons();
    });
    auto sizeChosen = [this] {
        const std::optional<int> points = numbertext::LeadingInteger(m_size->currentText());
        if (points && *points > 0 && *points <= 1000)
            fontchoice::SetPointSize(m_font, *points);
        ShowFont();
        UpdateButtons();
    };
    connect(m_size, &QComboBox::activated, this, sizeChosen);
    connect(m_size->lineEdit(), &QLineEdit::editingFinished, this, sizeChosen);
    connect(m_fontButton, &QPushButton::clicked, this, &CEditText::ChooseFont);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CEditText::OnRowChosen);
    connect(m_add, &QPushButton::clicked, this, &CEditText::OnAdd);
    connect(m_apply, &QPushButton::clicked, this, &CEditText::OnApply);
    connect(m_delete, &QPushButton::clicked, this, &CEditText::OnDelete);
    UpdateButtons();
}

void CEditText::ShowFont() {
    const QSignalBlocker faceBlocker(m_face), sizeBlocker(m_size);
    m_face->clear();
    m_face->addItems(fontchoice::Faces(m_font.lfFaceName));
    m_face->setCurrentIndex(m_face->findText(m_font.lfFaceName));
    const QString points = QString::number(fontchoice::PointSize(m_font));
    const int index = m_size->findText(points);
    if (index >= 0)
        m_size->setCurrentIndex(index);
    m_size->setEditText(points);
}

void CEditText::ChooseFont() {
    QFontDialog dialog(fontchoice::ToQFont(m_font), this);
    dialog.setObjectName(QStringLiteral("fontDialog"));
    dialog.setWindowTitle(QStringLiteral("글꼴"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_font = fontchoice::FromQFont(dialog.selectedFont(), m_font);
    ShowFont();
    UpdateButtons();
}

bool CEditText::Entry(TextBox& box) const {
    double* fields[] = {&box.x, &box.y, &box.width, &box.height};
    const CNumberEdit* edits[] = {m_x, m_y, m_width, m_height};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> typed = numbertext::LeadingNumber(edits[i]->text());
        if (!typed)
            return false;
        *fields[i] = *typed;
    }
    box.frameColor = m_frameColor->ColorName();
    box.contentColor = m_contentColor->ColorName();
    box.textColor = m_textColor->ColorName();
    box.rotate = std::max(m_rotation->currentIndex(), 0) * 90;
    box.font = m_font;
    box.text = m_text->toPlainText();
    return platechecks::IsValidTextBox(box, m_plate.width, m_plate.height);
}

int CEditText::SelectedRow() const {
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CEditText::UpdateButtons() {
    TextBox box;
    const bool usable = Entry(box) && !platechecks::IsDuplicateTextBox(box, m_boxes);
    const bool selected = SelectedRow() >= 0;
    m_add->setEnabled(usable);
    m_apply->setEnabled(usable && selected);
    m_delete->setEnabled(selected);
}

void CEditText::WriteRow(int row) {
    const TextBox& box = m_boxes[size_t(row)];
    const QString texts[] = {numbertext::MillimetreText(box.x), numbertext::MillimetreText(box.y),
                             numbertext::MillimetreText(box.width),
                             numbertext::MillimetreText(box.height), box.text};
    for (int column = 0; column < 5; ++column)
        m_model->setItem(row, column, new QStandardItem(texts[column]));
}

void CEditText::OnRowChosen() {
    const int row = SelectedRow();
    if (row >= 0) {
        const TextBox& box = m_boxes[size_t(row)];
        const QSignalBlocker textBlocker(m_text);
        m_x->SetValue(box.x);
        m_y->SetValue(box.y);
        m_width->SetValue(box.width);
        m_height->SetValue(box.height);
        m_frameColor->SelectName(box.frameColor, kBlack);
        m_contentColor->SelectName(box.contentColor, kWhite);
        m_textColor->SelectName(box.textColor, kBlack);
        const QSignalBlocker rotationBlocker(m_rotation);
        m_rotation->setCurrentIndex(std::clamp(box.rotate / 90, 0, 3));
        m_text->setPlainText(box.text);
        m_font = box.font;
        ShowFont();
    }
    UpdateButtons();
}

bool CEditText::MakeFiles(TextBox& box) {
    // Always a fresh name: the files of the plate's own boxes stay as they
    // are until the dialog's list is taken.
    box.name.clear();
    if (const Result<void> made =
            CTextBoxPicture::Make(box, m_plate.workFolder, m_plate.colors, m_plate.pdf);
        !made) {
        m_op.Tell(QStringLiteral("텍스트 박스를 만들 수 없습니다.\n%1").arg(made.error()));
        return false;
    }
    m_made.insert(box.name);
    return true;
}

void CEditText::OnAdd() {
    TextBox box;
    if (!Entry(box) || platechecks::IsDuplicateTextBox(box, m_boxes) || !MakeFiles(box))
        return;
    m_boxes.push_back(box);
    const int row = int(m_boxes.size()) - 1;
    m_model->setRowCount(row + 1);
    WriteRow(row);
    UpdateButtons();
}

void CEditText::OnApply() {
    const int row = SelectedRow();
    TextBox box;
    if (row < 0 || !Entry(box) || platechecks::IsDuplicateTextBox(box, m_boxes) || !MakeFiles(box))
        return;
    m_boxes[size_t(row)] = box;
    WriteRow(row);
    UpdateButtons();
}

void CEditText::OnDelete() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    m_boxes.erase(m_boxes.begin() + row);
    m_model->removeRow(row);
    UpdateButtons();
}

void CEditText::done(int result) {
    // Files made here that no box of the outcome uses: every one of them on
    // Cancel, those replaced or deleted again on OK.
    QSet<QString> used;
    if (result == QDialog::Accepted)
        for (const TextBox& box : m_boxes)
            used.insert(box.name);
    for (const QString& name : std::as_const(m_made)) {
        if (used.contains(name))
            continue;
        TextBox made;
        made.name = name;
        QFile::remove(CTextBoxPicture::PicturePath(m_plate.workFolder, made));
        QFile::remove(CTextBoxPicture::PdfPath(m_plate.workFolder, made));
    }
    m_made.clear();
    QDialog::done(result);
}
