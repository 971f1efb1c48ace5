#include "labelselectdlg.h"

#include "lpreviewstatic.h"

#include "view/controlnames.h"

#include "engine/zelitem.h"
#include "labels/labelset.h"
#include "labels/labelusers.h"
#include "records/joblisttext.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

// The labels as rows: name and size, computed once.
class LabelListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    std::vector<QStringList> rows;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 2;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || size_t(index.row()) >= rows.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return rows[size_t(index.row())].value(index.column());
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return section == 0 ? QStringLiteral("레이블") : QStringLiteral("크기");
        return QAbstractTableModel::headerData(section, orientation, role);
    }
};

CZelLabelSelectDlg::CZelLabelSelectDlg(const QString& presetDir, const CZelItem& item,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("labelSelectDialog"));
    setWindowTitle(QStringLiteral("레이블 선택"));
    setAccessibleName(windowTitle());

    // The order's own size decides, as the automatic choice does: the label
    // turns with the item.
    auto* itemSize = Named(new QLabel(joblisttext::SizeText(item.width, item.height)), "itemSize",
                           QStringLiteral("항목 크기"));

    m_model = new LabelListModel(this);
    labelset::LoadAll(presetDir, m_labels);
    int current = -1;
    for (const auto& label : m_labels) {
        if (label->name == item.labelName && current < 0)
            current = int(m_model->rows.size());
        m_model->rows.push_back(
            {label->name, joblisttext::SizeText(label->Width(), label->Height())});
        m_fits.push_back(labelusers::Fits(label->Width(), label->Height(), item));
    }
    m_pictures.resize(m_labels.size());

    m_list = Named(new QTableView, "labelList", QStringLiteral("레이블 목록"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_list->setColumnWidth(0, 170);
    m_list->setColumnWidth(1, 120);
    m_list->setFixedWidth(170 + 120 + 2 * m_list->frameWidth() + 20);

    m_preview = Named(new CLPreviewStatic, "labelPreview", QStringLiteral("미리 보기"));
    m_preview->setMinimumSize(380, 350); // a 100 x 90 mm label shows whole

    auto* buttons = OkCancelButtons(this);
    m_ok = buttons->findChild<QPushButton*>(QStringLiteral("ok"));
    for (QPushButton* button : buttons->findChildren<QPushButton*>())
        button->setAutoDefault(false);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CZelLabelSelectDlg::ShowChosen);
    connect(m_list, &QTableView::doubleClicked, this, &CZelLabelSelectDlg::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("항목 크기:")));
    top->addWidget(itemSize, 1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_list);
    middle->addWidget(m_preview, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addWidget(buttons);

    if (current >= 0)
        m_list->selectRow(current);
    ShowChosen();
    // Never smaller than it opens.
    adjustSize();
    setMinimumSize(size());
}

CZelLabelSelectDlg::~CZelLabelSelectDlg() = default;

int CZelLabelSelectDlg::ChosenRow() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CZelLabelSelectDlg::ShowChosen() {
    const int row = ChosenRow();
    if (row < 0) {
        m_preview->SetPicture({});
        m_ok->setEnabled(false);
        return;
    }
    QPixmap& picture = m_pictures[size_t(row)];
    if (picture.isNull())
        picture = CLPreviewStatic::Picture(*m_labels[size_t(row)]);
    m_preview->SetPicture(picture);
    m_ok->setEnabled(m_fits[size_t(row)]);
}

void CZelLabelSelectDlg::accept() {
    const int row = ChosenRow();
    if (row < 0 || !m_fits[size_t(row)])
        return;
    m_chosen = m_labels[size_t(row)]->name;
    QDialog::accept();
}
