#include "openprojdlg.h"

#include "view/controlnames.h"

#include "records/zelpreference.h"
#include "shop/openplatelist.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <vector>

// The plates as rows; the texts are the shop's summaries.
class PlateListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    std::vector<QStringList> rows;
    std::vector<QString> paths;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_titles.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || size_t(index.row()) >= rows.size())
            return {};
        const QStringList& row = rows[size_t(index.row())];
        if ((role == Qt::DisplayRole || role == Qt::AccessibleTextRole) &&
            index.column() < row.size())
            return row.at(index.column());
        if (role == Qt::TextAlignmentRole && index.column() >= 2 && index.column() <= 6)
            return int(Qt::AlignCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < m_titles.size())
            return m_titles.at(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    const QStringList m_titles = openplatelist::Titles();
};

CZelOpenProjDlg::CZelOpenProjDlg(CZelPreference& preference, const QString& openPlate,
                                 QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("openPlateDialog"));
    setWindowTitle(QStringLiteral("작업 파일 열기"));
    setAccessibleName(windowTitle());
    m_model = new PlateListModel(this);
    for (const openplatelist::PlateSummary& plate : openplatelist::List(preference, openPlate)) {
        m_model->rows.push_back(plate.Columns());
        m_model->paths.push_back(plate.path);
    }

    m_list = Named(new QTableView, "plateList", QStringLiteral("판 목록"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    const int widths[] = {92, 140, 132, 100, 68, 96, 72, 100, 86, 400};
    for (int column = 0; column < m_model->columnCount() && column < 10; ++column)
        m_list->setColumnWidth(column, widths[column] + 16);

    auto* buttons = new QDialogButtonBox;
    m_open = Named(buttons->addButton(QStringLiteral("열기"), QDialogButtonBox::AcceptRole), "open",
                   QStringLiteral("열기"));
    Named(buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole), "cancel",
          QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTableView::doubleClicked, this, &QDialog::accept);
    auto enable = [this] { m_open->setEnabled(m_list->selectionModel()->hasSelection()); };
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, enable);
    enable();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(980, 420);
}

void CZelOpenProjDlg::accept() {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    m_chosen = m_model->paths.at(size_t(rows.first().row()));
    QDialog::accept();
}
