#include "labeldlg.h"

#include "labeleditwnd.h"
#include "labelfonts.h"
#include "labelsavedlg.h"

#include "view/controlnames.h"

#include "engine/operatorinterface.h"
#include "labels/labelset.h"
#include "labels/zellabel.h"
#include "markup/numbertext.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>

// The field kinds of the definitions file, one row each; a row is dragged
// onto the canvas by its index.
class FieldListModel : public QAbstractTableModel {
public:
    explicit FieldListModel(const std::vector<std::pair<QString, QString>>& definitions,
                            QObject* parent)
        : QAbstractTableModel(parent), m_definitions(definitions) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_definitions.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 1;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || size_t(index.row()) >= m_definitions.size())
            return {};
        const auto& [tag, title] = m_definitions[size_t(index.row())];
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return title.isEmpty() ? tag : title;
        if (role == Qt::ToolTipRole)
            return tag;
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == 0)
            return QStringLiteral("레이블 항목");
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
    }
    QStringList mimeTypes() const override {
        return {QLatin1String(CZelLabEditWnd::kFieldMimeType)};
    }
    QMimeData* mimeData(const QModelIndexList& indexes) const override {
        if (indexes.isEmpty())
            return nullptr;
        auto* data = new QMimeData;
        data->setData(QLatin1String(CZelLabEditWnd::kFieldMimeType),
                      QByteArray::number(indexes.first().row()));
        return data;
    }

private:
    const std::vector<std::pair<QString, QString>>& m_definitions;
};

namespace {

QString NewLabelEntry() {
    return QString::fromUtf16(labelset::kNewLabelEntry);
}

int RotationEntry(int escapement) {
    switch (escapement) {
    case 900:
        return 1;
    case 1800:
        return 2;
    case 2700:
        return 3;
    default:
        return 0;
    }
}

} // namespace

CZelLabelDlg::CZelLabelDlg(const QString& presetDir, OperatorInterface& op, QWidget* parent)
    : QDialog(parent), m_presetDir(presetDir), m_op(op), m_label(std::make_unique<CZelLabel>()),
      m_fontHeight(labelfonts::HeightOf(10)) {
    setObjectName(QStringLiteral("labelEditorDialog"));
    setWindowTitle(QStringLiteral("레이블 편집"));
    setAccessibleName(windowTitle());

    m_names = Named(new QComboBox, "labelName", QStringLiteral("레이블:"));
    m_names->setMinimumWidth(240);
    auto button = [](const char* name, const QString& text) {
        auto* pushButton = Named(new QPushButton(text), name, text);
        // Enter applies a field; it never presses a button.
        pushButton->setAutoDefault(false);
        return pushButton;
    };
    m_save = button("save", QStringLiteral("저장"));
    m_delete = button("delete", QStringLiteral("삭제"));
    m_close = button("close", QStringLiteral("닫기"));

    if (Result<std::vector<std::pair<QString, QString>>> definitions =
            labelset::LoadDefinitions(m_presetDir))
        m_definitions = std::move(definitions).value();
    else
        m_op.Tell(QStringLiteral("레이블 항목 정의 파일을 읽을 수 없습니다.\n%1")
                      .arg(definitions.error()));
    m_fieldModel = new FieldListModel(m_definitions, this);
    m_fields = Named(new QTableView, "fieldList", QStringLiteral("레이블 항목"));
    m_fields->setModel(m_fieldModel);
    m_fields->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fields->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fields->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fields->setDragEnabled(true);
    m_fields->setDragDropMode(QAbstractItemView::DragOnly);
    m_fields->verticalHeader()->hide();
    m_fields->setColumnWidth(0, 120);
    m_fields->horizontalHeader()->setStretchLastSection(true);
    m_fields->setFixedWidth(120 + 2 * m_fields->frameWidth() + 20);

    m_canvas = Named(new CZelLabEditWnd, "labelCanvas", QStringLiteral("레이블"));
    auto* scroll = Named(new QScrollArea, "labelCanvasArea", QStringLiteral("레이블"));
    scroll->setWidget(m_canvas);
    scroll->setWidgetResizable(true);
    scroll->setMinimumSize(420, 300);

    auto field = [](const char* name, const QString& text) {
        auto* edit = Named(new QLineEdit, name, text);
        edit->setAlignment(Qt::AlignRight);
        edit->setMaximumWidth(110);
        return edit;
    };
    m_x = field("xEdit", QStringLiteral("X:"));
    m_y = field("yEdit", QStringLiteral("Y:"));
    m_w = field("widthEdit", QStringLiteral("W:"));
    m_h = field("heightEdit", QStringLiteral("H:"));
    m_frame =
        Named(new QCheckBox(QStringLiteral("테두리")), "frameCheck", QStringLiteral("테두리"));
    m_invert = Named(new QCheckBox(QStringLiteral("반전")), "invertCheck", QStringLiteral("반전"));
    m_halign = Named(new QComboBox, "horizontalAlign", QStringLiteral("가로 정렬:"));
    m_halign->addItems({QStringLiteral("좌측"), QStringLiteral("중앙"), QStringLiteral("우측")});
    m_valign = Named(new QComboBox, "verticalAlign", QStringLiteral("세로 정렬:"));
    m_valign->addItems({QStringLiteral("상단"), QStringLiteral("중앙"), QStringLiteral("하단")});
    m_face = Named(new QComboBox, "fontFace", QStringLiteral("글꼴:"));
    m_face->setMaximumWidth(200);
    m_size = Named(new QComboBox, "fontSize", QStringLiteral("크기:"));
    m_size->setEditable(true);
    m_size->setInsertPolicy(QComboBox::NoInsert);
    for (int points : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        m_size->addItem(QString::number(points));
    m_rotation = Named(new QComboBox, "rotation", QStringLiteral("회전:"));
    m_rotation->addItems({QStringLiteral("0`"), QStringLiteral("90`"), QStringLiteral("180`"),
                          QStringLiteral("270`")});
    FillFonts();

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("레이블:")));
    top->addWidget(m_names, 1);
    top->addWidget(m_save);
    top->addWidget(m_delete);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("X:"), m_x);
    form->addRow(QStringLiteral("Y:"), m_y);
    form->addRow(QStringLiteral("W:"), m_w);
    form->addRow(QStringLiteral("H:"), m_h);
    form->addRow(m_frame);
    form->addRow(m_invert);
    form->addRow(QStringLiteral("가로 정렬:"), m_halign);
    form->addRow(QStringLiteral("세로 정렬:"), m_valign);
    form->addRow(QStringLiteral("글꼴:"), m_face);
    form->addRow(QStringLiteral("크기:"), m_size);
    form->addRow(QStringLiteral("회전:"), m_rotation);
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_fields);
    middle->addWidget(scroll, 1);
    middle->addLayout(form);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    resize(1000, 620);

    // Only what the operator does applies: filling the controls never does.
    connect(m_names, &QComboBox::activated, this, &CZelLabelDlg::NameChosen);
    connect(m_save, &QPushButton::clicked, this, [this] { Save(); });
    connect(m_delete, &QPushButton::clicked, this, &CZelLabelDlg::Delete);
    connect(m_close, &QPushButton::clicked, this, &CZelLabelDlg::reject);
    for (QLineEdit* edit : {m_x, m_y, m_w, m_h})
        connect(edit, &QLineEdit::returnPressed, this, &CZelLabelDlg::ApplyFields);
    connect(m_frame, &QCheckBox::clicked, this, [this](bool on) {
        if (CZelLabObject* o = m_canvas->Selected(); o && o->frame != int(on)) {
            o->frame = on;
            ObjectEdited();
        }
    });
    connect(m_invert, &QCheckBox::clicked, this, [this](bool on) {
        if (CZelLabObject* o = m_canvas->Selected(); o && o->invert != int(on)) {
            o->invert = on;
            ObjectEdited();
        }
    });
    connect(m_halign, &QComboBox::activated, this, [this](int index) {
        if (CZelLabObject* o = m_canvas->Selected(); o && o->halign != index) {
            o->halign = index;
            ObjectEdited();
        }
    });
    connect(m_valign, &QComboBox::activated, this, [this](int index) {
        if (CZelLabObject* o = m_canvas->Selected(); o && o->valign != index) {
            o->valign = index;
            ObjectEdited();
        }
    });
    connect(m_face, &QComboBox::activated, this, &CZelLabelDlg::ApplyFace);
    connect(m_size, &QComboBox::activated, this,
            [this](int index) { ApplyFontSize(m_size->itemText(index)); });
    connect(m_size->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { ApplyFontSize(m_size->currentText()); });
    connect(m_rotation, &QComboBox::activated, this, &CZelLabelDlg::ApplyRotation);

    connect(m_canvas, &CZelLabEditWnd::selectionChanged, this, &CZelLabelDlg::ShowSelection);
    connect(m_canvas, &CZelLabEditWnd::objectMoved, this, &CZelLabelDlg::ShowPosition);
    connect(m_canvas, &CZelLabEditWnd::objectResized, this, [this] {
        ShowPosition();
        ShowSize();
    });
    connect(m_canvas, &CZelLabEditWnd::fieldDropped, this, [this](int row, const QPoint& at) {
        if (row < 0 || size_t(row) >= m_definitions.size())
            return;
        const auto& [tag, title] = m_definitions[size_t(row)];
        m_canvas->AddObject(tag, title, at, CurrentFont());
        m_canvas->setFocus();
    });

    FillNames(QString());
    Show(QString());
}

CZelLabelDlg::~CZelLabelDlg() = default;

QStringList CZelLabelDlg::StoredNames() const {
    const QString folder = labelset::LabelFolder(m_presetDir);
    if (folder.isEmpty())
        return {};
    QStringList names;
    for (const QFileInfo& file :
         QDir(folder).entryInfoList({QStringLiteral("*.") + QLatin1String(labelset::kExtension)},
                                    QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase)) {
        const QString name = file.completeBaseName();
        if (labelset::IsValidLabelName(name))
            names << name;
    }
    return names;
}

void CZelLabelDlg::FillNames(const QString& chosen) {
    m_names->clear();
    m_names->addItems(StoredNames());
    m_names->addItem(NewLabelEntry());
    const int index = chosen.isEmpty() ? -1 : m_names->findText(chosen);
    m_shownName = index >= 0 ? index : m_names->count() - 1;
    m_names->setCurrentIndex(m_shownName);
}

void CZelLabelDlg::FillFonts() {
    for (const QString& face : labelfonts::InstalledFaces()) {
        m_fontEntries.push_back(labelfonts::EntryFont(face));
        m_face->addItem(face);
    }
    const int shop = m_face->findText(QStringLiteral("NanumGothic"));
    m_face->setCurrentIndex(shop >= 0 ? shop : 0);
}

int CZelLabelDlg::FontEntryOf(const LogFont& font) {
    if (font.lfFaceName.isEmpty())
        return -1;
    const int found = m_face->findText(font.lfFaceName, Qt::MatchFixedString);
    if (found >= 0)
        return found;
    // A face this workstation lacks stays a choice: the label keeps it for
    // the workstations that have it.
    LogFont entry = labelfonts::EntryFont(font.lfFaceName);
    entry.lfCharSet = font.lfCharSet;
    entry.lfPitchAndFamily = font.lfPitchAndFamily;
    m_fontEntries.push_back(entry);
    m_face->addItem(font.lfFaceName);
    return m_face->count() - 1;
}

LogFont CZelLabelDlg::CurrentFont() const {
    const int index = m_face->currentIndex();
    LogFont font = index >= 0 ? m_fontEntries[size_t(index)]
                              : labelfonts::EntryFont(QStringLiteral("NanumGothic"));
    font.lfHeight = m_fontHeight;
    return font;
}

bool CZelLabelDlg::SettleChanges() {
    if (!m_label->modified)
        return true;
    switch (m_op.AskWithCancel(QStringLiteral("변경된 내용을 저장하시겠습니까?"))) {
    case 1:
        return Save();
    case 0:
        return true;
    default:
        return false;
    }
}

bool CZelLabelDlg::Save() {
    CLabeSavelDlg dialog(m_presetDir, StoredNames(), m_label->name, m_op, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QString name = dialog.Name();
    const QString path = labelset::LabelPath(m_presetDir, name);
    const Result<void> saved =
        path.isEmpty() ? Result<void>(Failure(QStringLiteral("the preset folder is not set")))
                       : m_label->Save(path);
    if (!saved) {
        m_op.Tell(
            QStringLiteral("레이블 \"%1\"을(를) 저장할 수 없습니다.\n%2").arg(name, saved.error()));
        return false;
    }
    m_label->name = name;
    FillNames(name);
    m_delete->setEnabled(true);
    emit labelChanged(name);
    return true;
}

void CZelLabelDlg::Delete() {
    const QString name = m_label->name;
    if (name.isEmpty() ||
        !m_op.Ask(QStringLiteral("레이블 \"%1\"을(를) 삭제하시겠습니까?").arg(name)))
        return;
    QFile file(labelset::LabelPath(m_presetDir, name));
    if (file.exists() && !file.remove()) {
        m_op.Tell(QStringLiteral("레이블 \"%1\"을(를) 삭제할 수 없습니다.\n%2")
                      .arg(name, file.errorString()));
        return;
    }
    emit labelChanged(name);
    FillNames(QString());
    Show(QString());
}

void CZelLabelDlg::NameChosen(int index) {
    if (index == m_shownName)
        return;
    const QString target = index == m_names->count() - 1 ? QString() : m_names->itemText(index);
    if (!SettleChanges()) {
        m_names->setCurrentIndex(m_shownName);
        return;
    }
    Show(target);
}

bool CZelLabelDlg::ShowStoredLabel(const QString& name) {
    const int index = m_names->findText(name);
    if (index < 0 || index == m_names->count() - 1)
        return false;
    m_names->setCurrentIndex(index);
    NameChosen(index);
    return m_label->name == name;
}

void CZelLabelDlg::Show(const QString& name) {
    auto label = std::make_unique<CZelLabel>();
    if (!name.isEmpty()) {
        const QString path = labelset::LabelPath(m_presetDir, name);
        const Result<void> read =
            path.isEmpty() ? Result<void>(Failure(QStringLiteral("the preset folder is not set")))
                           : label->Load(path);
        if (read) {
            label->name = name;
        } else {
            m_op.Tell(
                QStringLiteral("레이블 \"%1\"을(를) 열 수 없습니다.\n%2").arg(name, read.error()));
            label = std::make_unique<CZelLabel>();
        }
    }
    m_label.swap(label);
    m_canvas->SetLabel(m_label.get());
    const int index = m_label->name.isEmpty() ? -1 : m_names->findText(m_label->name);
    m_shownName = index >= 0 ? index : m_names->count() - 1;
    m_names->setCurrentIndex(m_shownName);
    m_delete->setEnabled(!m_label->name.isEmpty());
    ShowSelection();
}

void CZelLabelDlg::ShowPosition() {
    const CZelLabObject* o = m_canvas->Selected();
    m_x->setText(numbertext::MillimetreText(o ? o->x : 0.0));
    m_y->setText(numbertext::MillimetreText(o ? o->y : 0.0));
}

void CZelLabelDlg::ShowSize() {
    const CZelLabObject* o = m_canvas->Selected();
    m_w->setText(numbertext::MillimetreText(o ? o->w : m_label->Width()));
    m_h->setText(numbertext::MillimetreText(o ? o->h : m_label->Height()));
}

void CZelLabelDlg::ShowFontSize() {
    const QString points = QString::number(labelfonts::PointsOf(LogFont{.lfHeight = m_fontHeight}));
    const int entry = m_size->findText(points);
    if (entry >= 0)
        m_size->setCurrentIndex(entry);
    m_size->setEditText(points);
}

void CZelLabelDlg::ShowSelection() {
    const CZelLabObject* o = m_canvas->Selected();
    ShowPosition();
    ShowSize();
    for (QWidget* control : std::initializer_list<QWidget*>{m_x, m_y, m_frame, m_invert, m_halign,
                                                            m_valign, m_rotation})
        control->setEnabled(o != nullptr);
    m_frame->setChecked(o && o->frame);
    m_invert->setChecked(o && o->invert);
    m_halign->setCurrentIndex(o ? std::clamp(o->halign, 0, 2) : 0);
    m_valign->setCurrentIndex(o ? std::clamp(o->valign, 0, 2) : 0);
    m_rotation->setCurrentIndex(o ? RotationEntry(o->font.lfEscapement) : 0);
    if (o) {
        const int face = FontEntryOf(o->font);
        m_face->setCurrentIndex(face);
        if (o->font.lfHeight != 0)
            m_fontHeight = o->font.lfHeight;
    }
    ShowFontSize();
}

void CZelLabelDlg::ObjectEdited() {
    m_label->modified = true;
    m_canvas->update();
}

void CZelLabelDlg::ApplyFields() {
    // A field without a number keeps its value.
    auto read = [](const QLineEdit* edit, double current) {
        const std::optional<double> typed = numbertext::LeadingNumber(edit->text());
        return typed ? *typed : current;
    };
    if (CZelLabObject* o = m_canvas->Selected()) {
        CZelLabObject typed = *o;
        typed.x = read(m_x, o->x);
        typed.y = read(m_y, o->y);
        typed.w = read(m_w, o->w);
        typed.h = read(m_h, o->h);
        CZelLabEditWnd::KeepInside(typed, m_label->Width(), m_label->Height());
        if (typed.x != o->x || typed.y != o->y || typed.w != o->w || typed.h != o->h) {
            *o = typed;
            ObjectEdited();
        }
    } else {
        const double width = read(m_w, m_label->Width());
        const double height = read(m_h, m_label->Height());
        if (width != m_label->Width() || height != m_label->Height()) {
            if (!CZelLabel::IsValidSize(width, height)) {
                m_op.Tell(QStringLiteral("레이블의 가로와 세로는 %1 mm에서 %2 mm 사이여야 합니다.")
                              .arg(numbertext::Trimmed(CZelLabel::kMinimumSize),
                                   numbertext::Trimmed(CZelLabel::kMaximumSize)));
            } else {
                m_label->SetSize(width, height);
                // Objects stay on the smaller label.
                for (const auto& object : m_label->objects)
                    CZelLabEditWnd::KeepInside(*object, width, height);
                m_label->modified = true;
                m_canvas->SetLabel(m_label.get());
            }
        }
    }
    ShowPosition();
    ShowSize();
}

void CZelLabelDlg::ApplyFontSize(const QString& text) {
    const std::optional<double> typed = numbertext::LeadingNumber(text);
    if (!typed || *typed != std::floor(*typed) || *typed < labelfonts::kSmallestPoints ||
        *typed > labelfonts::kLargestPoints) {
        ShowFontSize(); // refused: the size stays
        return;
    }
    m_fontHeight = labelfonts::HeightOf(int(*typed));
    if (CZelLabObject* o = m_canvas->Selected(); o && o->font.lfHeight != m_fontHeight) {
        o->font.lfHeight = m_fontHeight;
        ObjectEdited();
    }
    ShowFontSize();
}

void CZelLabelDlg::ApplyFace(int index) {
    if (index < 0 || size_t(index) >= m_fontEntries.size())
        return;
    CZelLabObject* o = m_canvas->Selected();
    if (!o)
        return; // the face of the objects dropped next
    const LogFont font = labelfonts::WithFace(o->font, m_fontEntries[size_t(index)]);
    if (font != o->font) {
        o->font = font;
        ObjectEdited();
    }
}

void CZelLabelDlg::ApplyRotation(int index) {
    CZelLabObject* o = m_canvas->Selected();
    const int escapement = index * 900;
    if (!o || (o->font.lfEscapement == escapement && o->font.lfOrientation == escapement))
        return;
    o->font.lfEscapement = escapement;
    o->font.lfOrientation = escapement;
    ObjectEdited();
}

void CZelLabelDlg::reject() {
    if (!SettleChanges())
        return;
    QDialog::reject();
}
