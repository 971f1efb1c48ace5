#include "openprojdlg.h"

#include "view/controlnames.h"

#include "records/joblisttext.h"
#include "records/zelmtdocument.h"
#include "records/zelpreference.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int kColumns = 10;

// The list's texts of one plate file, or nothing when it does not read.
std::optional<std::array<QString, kColumns>> PlateRow(const QString& path) {
    CZelMTDocument doc;
    if (!doc.LoadWhole(path, CZelMTDocument::kDocumentType))
        return std::nullopt;
    std::array<QString, kColumns> row;
    row[0] = doc.Name().toString();
    row[1] = doc.PresetName().toString();
    row[2] = joblisttext::SizeText(doc.Width().toDouble(), doc.Height().toDouble());
    row[3] = doc.PaperType().toString();
    row[4] = QString::number(doc.PQuantity().toInt());
    const int colourA = doc.Color(false).toInt() ? 4 : 1;
    const int colourB = doc.Color(true).toInt() ? 4 : 1;
    switch (doc.PaperSide().toInt()) {
    case 0:
        row[5] = QStringLiteral("단면(%1)").arg(colourA);
        break;
    case 1:
        row[5] = QStringLiteral("양면(A:%1, B:%2)").arg(colourA).arg(colourB);
        break;
    default:
        row[5] = QStringLiteral("돈땡(%1)").arg(colourA);
    }
    switch (doc.Imposition().toInt()) {
    case 0:
        row[6] = QStringLiteral("수평 대첩");
        break;
    case 1:
        row[6] = QStringLiteral("수직 대첩");
        break;
    default:
        row[6] = QStringLiteral("대첩 안함");
    }
    row[7] = QStringLiteral("%1(%2)").arg(doc.UserName().toString(), doc.UserInitial().toString());
    row[8] = doc.JobDate().toString();
    row[9] = path;
    return row;
}

} // namespace

class PlateListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    std::vector<std::array<QString, kColumns>> rows;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || size_t(index.row()) >= rows.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return rows[size_t(index.row())][size_t(index.column())];
        if (role == Qt::TextAlignmentRole && index.column() >= 2 && index.column() <= 6)
            return int(Qt::AlignCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char16_t* const kTitles[kColumns] = {
            u"판이름", u"판형",   u"크기",    u"종이 지질", u"인쇄 매수",
            u"면수(도수)", u"대첩 방식", u"작업자", u"작업 날짜", u"파일 위치"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < kColumns)
            return QString::fromUtf16(kTitles[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }
};

CZelOpenProjDlg::CZelOpenProjDlg(CZelPreference& preference, const QString& openPlate,
                                 QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("openPlateDialog"));
    setWindowTitle(QStringLiteral("작업 파일 열기"));
    setAccessibleName(windowTitle());
    m_model = new PlateListModel(this);
    QStringList files;
    preference.ListLocalWorkFiles(QLatin1String(CZelMTDocument::kExtension), files);
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        return QFileInfo(a).fileName().compare(QFileInfo(b).fileName(), Qt::CaseInsensitive) < 0;
    });
    // The same file may be named by another path: compare where they lead.
    const QString open = openPlate.isEmpty() ? QString() : QFileInfo(openPlate).canonicalFilePath();
    for (const QString& file : files) {
        if (!open.isEmpty() && QFileInfo(file).canonicalFilePath() == open)
            continue;
        if (auto row = PlateRow(file))
            m_model->rows.push_back(*row);
    }

    m_list = Named(new QTableView, "plateList", QStringLiteral("판 목록"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    const int widths[kColumns] = {92, 140, 132, 100, 68, 96, 72, 100, 86, 400};
    for (int column = 0; column < kColumns; ++column)
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
    m_chosen = m_model->rows.at(size_t(rows.first().row())).back();
    QDialog::accept();
}
