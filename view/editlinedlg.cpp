#include "editlinedlg.h"

#include "colorcombo.h"
#include "controlnames.h"
#include "numberedit.h"

#include "engine/platechecks.h"
#include "markup/numbertext.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

CEditLineDlg::CEditLineDlg(std::vector<FreeLine> lines, double plateWidth, double plateHeight,
                           const CZelColorPresets* colors, QWidget* parent)
    : QDialog(parent), m_lines(std::move(lines)), m_plateWidth(plateWidth),
      m_plateHeight(plateHeight) {
    setObjectName(QStringLiteral("editLineDialog"));
    setWindowTitle(QStringLiteral("수평/수직 선 편집"));
    setAccessibleName(windowTitle());

    auto* size = Named(new QGroupBox(QStringLiteral("판 크기")), "plateSizeGroup",
                       QStringLiteral("판 크기"));
    auto* sizeForm = new QFormLayout(size);
    sizeForm->addRow(QStringLiteral("가로:"),
                     Named(new QLabel(numbertext::MillimetreText(plateWidth)), "plateWidth",
                           QStringLiteral("판 가로")));
    sizeForm->addRow(QStringLiteral("세로:"),
                     Named(new QLabel(numbertext::MillimetreText(plateHeight)), "plateHeight",
                           QStringLiteral("판 세로")));

    m_direction = Named(new QComboBox, "direction", QStringLiteral("방향"));
    m_direction->addItems({QStringLiteral("수직"), QStringLiteral("수평")}); // index = LINE_DIR
    m_start = Named(new CNumberEdit, "start", QStringLiteral("시작"));
    m_end = Named(new CNumberEdit, "end", QStringLiteral("끝"));
    m_offset = Named(new CNumberEdit, "offset", QStringLiteral("오프셋"));
    m_weight = Named(new CNumberEdit, "weight", QStringLiteral("두께"));
    m_weight->SetValue(0.25);
    m_color = Named(new CColorCombo(colors), "color", QStringLiteral("색상"));
    m_color->SelectName(QString());
    auto* entry = new QFormLayout;
    entry->addRow(QStringLiteral("방향:"), m_direction);
    entry->addRow(QStringLiteral("시작:"), m_start);
    entry->addRow(QStringLiteral("끝:"), m_end);
    entry->addRow(QStringLiteral("오프셋:"), m_offset);
    entry->addRow(QStringLiteral("두께:"), m_weight);
    entry->addRow(QStringLiteral("색상:"), m_color);

    m_add = Named(new QPushButton(QStringLiteral("추가")), "add", QStringLiteral("추가"));
    m_apply = Named(new QPushButton(QStringLiteral("적용")), "apply", QStringLiteral("적용"));
    m_delete = Named(new QPushButton(QStringLiteral("삭제")), "delete", QStringLiteral("삭제"));
    for (QPushButton* button : {m_add, m_apply, m_delete})
        button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_delete);

    m_model = new QStandardItemModel(0, 6, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("방향"), QStringLiteral("시작"),
                                        QStringLiteral("끝"), QStringLiteral("오프셋"),
                                        QStringLiteral("두께"), QStringLiteral("색상")});
    m_table = Named(new QTableView, "lines", QStringLiteral("선 목록"));
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->setColumnWidth(0, 40);
    for (int column = 1; column < 5; ++column)
        m_table->setColumnWidth(column, 80);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_model->setRowCount(int(m_lines.size()));
    for (int row = 0; row < int(m_lines.size()); ++row)
        WriteRow(row);

    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(size);
    left->addLayout(entry);
    left->addLayout(buttons);
    left->addStretch();
    top->addLayout(left);
    top->addWidget(m_table, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(OkCancelButtons(this));
    resize(820, 420);

    // Validity follows every keystroke; the fields are filled before this.
    for (CNumberEdit* edit : {m_start, m_end, m_offset, m_weight}) {
        connect(edit, &QLineEdit::textEdited, this, &CEditLineDlg::UpdateButtons);
        connect(edit, &CNumberEdit::valueEdited, this, &CEditLineDlg::UpdateButtons);
    }
    connect(m_direction, &QComboBox::activated, this, &CEditLineDlg::UpdateButtons);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CEditLineDlg::OnRowChosen);
    connect(m_add, &QPushButton::clicked, this, &CEditLineDlg::OnAdd);
    connect(m_apply, &QPushButton::clicked, this, &CEditLineDlg::OnApply);
    connect(m_delete, &QPushButton::clicked, this, &CEditLineDlg::OnDelete);
    UpdateButtons();
}

bool CEditLineDlg::Entry(FreeLine& line) const {
    line.dir = m_direction->currentIndex();
    line.colorName = m_color->ColorName();
    double* fields[] = {&line.start, &line.end, &line.offset, &line.weight};
    const CNumberEdit* edits[] = {m_start, m_end, m_offset, m_weight};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> typed = numbertext::LeadingNumber(edits[i]->text());
        if (!typed)
            return false;
        *fields[i] = *typed;
    }
    return platechecks::IsValidLine(line, m_plateWidth, m_plateHeight);
}

int CEditLineDlg::SelectedRow() const {
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CEditLineDlg::UpdateButtons() {
    FreeLine line;
    const bool valid = Entry(line);
    const bool selected = SelectedRow() >= 0;
    m_add->setEnabled(valid);
    m_apply->setEnabled(valid && selected);
    m_delete->setEnabled(selected);
}

void CEditLineDlg::WriteRow(int row) {
    const FreeLine& line = m_lines[size_t(row)];
    const QString texts[] = {line.dir ? QStringLiteral("수평") : QStringLiteral("수직"),
                             numbertext::MillimetreText(line.start),
                             numbertext::MillimetreText(line.end),
                             numbertext::MillimetreText(line.offset),
                             numbertext::MillimetreText(line.weight),
                             line.colorName};
    for (int column = 0; column < 6; ++column)
        m_model->setItem(row, column, new QStandardItem(texts[column]));
}

void CEditLineDlg::OnRowChosen() {
    const int row = SelectedRow();
    if (row >= 0) {
        const FreeLine& line = m_lines[size_t(row)];
        const QSignalBlocker blocker(m_direction);
        m_direction->setCurrentIndex(line.dir ? 1 : 0);
        m_start->SetValue(line.start);
        m_end->SetValue(line.end);
        m_offset->SetValue(line.offset);
        m_weight->SetValue(line.weight);
        m_color->SelectName(line.colorName);
    }
    UpdateButtons();
}

void CEditLineDlg::OnAdd() {
    FreeLine line;
    if (!Entry(line))
        return;
    m_lines.push_back(line);
    const int row = int(m_lines.size()) - 1;
    m_model->setRowCount(row + 1);
    WriteRow(row);
    UpdateButtons();
}

void CEditLineDlg::OnApply() {
    const int row = SelectedRow();
    FreeLine line;
    if (row < 0 || !Entry(line))
        return;
    m_lines[size_t(row)] = line;
    WriteRow(row);
}

void CEditLineDlg::OnDelete() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    m_lines.erase(m_lines.begin() + row);
    m_model->removeRow(row);
    UpdateButtons();
}
