#include "startdlg.h"

#include "initialchangedlg.h"
#include "logindlg.h"
#include "passchangedlg.h"
#include "view/controlnames.h"

#include "engine/operatorinterface.h"
#include "records/zelaccount.h"
#include "records/zelpreference.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

// The accounts as rows; texts are taken when a row is (re)written, so the
// list never reads account files while painting.
class AccountListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    struct Row {
        CZelAccount* account; // owned by the dialog
        QString texts[6];
        bool available = false;
    };

    void Reset(std::vector<CZelAccount*> accounts, const CZelAccount* session) {
        beginResetModel();
        m_rows.clear();
        for (CZelAccount* account : accounts) {
            m_rows.push_back({account, {}, false});
            Fill(m_rows.back(), session);
        }
        endResetModel();
    }
    void Rewrite(const CZelAccount* account, const CZelAccount* session) {
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].account == account) {
                Fill(m_rows[i], session);
                emit dataChanged(index(int(i), 0), index(int(i), kColumns - 1));
            }
    }
    const Row* RowAt(int row) const {
        return row >= 0 && row < int(m_rows.size()) ? &m_rows[size_t(row)] : nullptr;
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const Row* row = RowAt(index.row());
        if (!row)
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return row->texts[index.column()];
        if (role == Qt::TextAlignmentRole && index.column() == kColumns - 1)
            return int(Qt::AlignCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char16_t* const kTitles[kColumns] = {
            u"계정", u"이름", u"이니셜", u"로그인 시간", u"로그아웃 시간", u"상태"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < kColumns)
            return QString::fromUtf16(kTitles[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    static constexpr int kColumns = 6;

private:
    static void Fill(Row& row, const CZelAccount* session) {
        CZelAccount& a = *row.account;
        a.GetAccountName(row.texts[0]);
        a.GetRealName(row.texts[1]);
        a.GetInitial(row.texts[2]);
        a.GetLoginTime(row.texts[3]);
        a.GetLogoutTime(row.texts[4]);
        row.available = false;
        if (&a == session) {
            row.texts[5] = QStringLiteral("로그인");
        } else {
            row.available = !a.IsInUse();
            row.texts[5] = row.available ? QStringLiteral("사용 가능") : QStringLiteral("사용 중");
        }
    }

    std::vector<Row> m_rows;
};

namespace {

QPushButton* Button(const char* name, const QString& text) {
    auto* button = Named(new QPushButton(text), name, text);
    // Enter must never end the start dialog.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

CZelStartDlg::CZelStartDlg(CZelPreference& preference, OperatorInterface& op, Actions actions,
                           QWidget* parent)
    : QDialog(parent), m_preference(preference), m_op(op), m_actions(std::move(actions)) {
    setObjectName(QStringLiteral("startDialog"));
    setWindowTitle(QStringLiteral("Tessel 시작"));
    setAccessibleName(windowTitle());

    m_model = new AccountListModel(this);
    m_list = Named(new QTableView, "accountList", QStringLiteral("계정 목록"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int widths[] = {50, 60, 55, 130, 130, 70};
    for (int column = 0; column < AccountListModel::kColumns; ++column)
        m_list->setColumnWidth(column, widths[column] * logicalDpiX() / 96 + 24);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setMinimumWidth(560);

    m_status = Named(new QLabel, "status", QStringLiteral("상태"));
    m_update = Button("updateList", QStringLiteral("목록 업데이트"));
    m_login = Button("login", QStringLiteral("로그인"));
    m_password = Button("changePassword", QStringLiteral("패스 워드 변경"));
    m_initials = Button("changeInitials", QStringLiteral("작업자 이니셜 변경"));
    m_server = Button("serverSettings", QStringLiteral("서버 설정..."));
    m_new = Button("newPlate", QStringLiteral("새 판 짜기..."));
    m_open = Button("openPlate", QStringLiteral("기존 판 열기..."));
    m_cancel = Button("cancel", QStringLiteral("취소"));

    auto* accountButtons = new QVBoxLayout;
    for (QPushButton* button : {m_update, m_login, m_password, m_initials, m_server})
        accountButtons->addWidget(button);
    accountButtons->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(accountButtons);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_new);
    bottom->addWidget(m_open);
    bottom->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    connect(m_update, &QPushButton::clicked, this, &CZelStartDlg::Refresh);
    connect(m_login, &QPushButton::clicked, this, &CZelStartDlg::OnLogin);
    connect(m_password, &QPushButton::clicked, this, &CZelStartDlg::OnChangePassword);
    connect(m_initials, &QPushButton::clicked, this, &CZelStartDlg::OnChangeInitials);
    connect(m_server, &QPushButton::clicked, this, &CZelStartDlg::OnServerSettings);
    connect(m_new, &QPushButton::clicked, this, &CZelStartDlg::OnNewPlate);
    connect(m_open, &QPushButton::clicked, this, &CZelStartDlg::OnOpenPlate);
    connect(m_cancel, &QPushButton::clicked, this, &CZelStartDlg::reject);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CZelStartDlg::UpdateControls);
    connect(m_list, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const AccountListModel::Row* row = m_model->RowAt(index.row());
        if (!m_session && row && row->available)
            OnLogin();
    });
    Refresh();
    resize(780, 360);
}

CZelStartDlg::~CZelStartDlg() = default;

std::unique_ptr<CZelAccount> CZelStartDlg::TakeAccount() {
    return std::move(m_session);
}

void CZelStartDlg::Refresh() {
    m_listed.clear();
    QString users;
    if (m_preference.GetUsersDir(users))
        m_listed = CZelAccount::List(users);
    // The session's account stays the same object: it holds the lock.
    if (m_session) {
        const QString path = m_session->Path();
        std::erase_if(m_listed, [&](const auto& a) { return a->Path() == path; });
    }
    std::vector<CZelAccount*> rows;
    for (const auto& account : m_listed)
        rows.push_back(account.get());
    if (m_session)
        rows.push_back(m_session.get());
    std::sort(rows.begin(), rows.end(), [](const CZelAccount* a, const CZelAccount* b) {
        QString x, y;
        a->GetAccountName(x);
        b->GetAccountName(y);
        return x.compare(y, Qt::CaseInsensitive) < 0;
    });
    m_model->Reset(rows, m_session.get());
    ShowStatus();
    UpdateControls();
}

void CZelStartDlg::SetSession(std::unique_ptr<CZelAccount> account) {
    if (account && account->IsLoggedIn())
        m_session = std::move(account);
    Refresh();
}

CZelAccount* CZelStartDlg::SelectedAccount() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return nullptr;
    const AccountListModel::Row* row = m_model->RowAt(rows.first().row());
    return row ? row->account : nullptr;
}

void CZelStartDlg::ShowStatus() {
    if (m_session) {
        QString name;
        m_session->GetAccountName(name);
        m_status->setText(QStringLiteral("다음 계정으로 로그인 됨: %1").arg(name));
    } else {
        m_status->setText(QStringLiteral("사용 가능한 계정을 선택하신 후 로그인 하십시오..."));
    }
}

void CZelStartDlg::UpdateControls() {
    const bool in = m_session != nullptr;
    m_login->setText(in ? QStringLiteral("로그아웃") : QStringLiteral("로그인"));
    m_login->setAccessibleName(m_login->text());
    bool available = false;
    if (!in) {
        const QModelIndexList rows = m_list->selectionModel()->selectedRows();
        const AccountListModel::Row* row =
            rows.isEmpty() ? nullptr : m_model->RowAt(rows.first().row());
        available = row && row->available;
    }
    m_login->setEnabled(in || available);
    m_password->setEnabled(in);
    m_initials->setEnabled(in);
    m_new->setEnabled(in);
    m_open->setEnabled(in);
    m_list->setEnabled(!in);
    m_update->setEnabled(!in);
    m_server->setEnabled(!in);
}

void CZelStartDlg::OnLogin() {
    if (m_session) {
        Logout();
        return;
    }
    CZelAccount* account = SelectedAccount();
    if (!account)
        return;
    bool ok = false, lost = false;
    if (account->GetPassword()) {
        CZelLoginDlg dialog(*account, m_op, this);
        ok = dialog.exec() == QDialog::Accepted;
        lost = dialog.AccountLost();
    } else {
        CZelPassChangeDlg dialog(*account, m_op, this);
        ok = dialog.exec() == QDialog::Accepted;
        lost = dialog.AccountLost();
    }
    if (ok && account->IsLoggedIn()) {
        auto it = std::find_if(m_listed.begin(), m_listed.end(),
                               [&](const auto& a) { return a.get() == account; });
        if (it != m_listed.end()) {
            m_session = std::move(*it);
            m_listed.erase(it);
        }
        m_model->Rewrite(account, m_session.get());
        ShowStatus();
        UpdateControls();
        if (!m_pendingPlate.isEmpty()) {
            m_resultPath = m_pendingPlate;
            QDialog::accept();
        }
    } else if (lost) {
        // The account file went away under the list: show what is there now.
        Refresh();
    }
}

void CZelStartDlg::Logout() {
    CZelAccount* account = m_session.get();
    account->Logout();
    m_listed.push_back(std::move(m_session));
    m_model->Rewrite(account, nullptr);
    ShowStatus();
    UpdateControls();
}

void CZelStartDlg::OnChangePassword() {
    if (!m_session)
        return;
    CZelPassChangeDlg dialog(*m_session, m_op, this);
    dialog.exec();
}

void CZelStartDlg::OnChangeInitials() {
    if (!m_session)
        return;
    CZelInitialChangeDlg dialog(*m_session, this);
    if (dialog.exec() == QDialog::Accepted)
        m_model->Rewrite(m_session.get(), m_session.get());
}

void CZelStartDlg::OnServerSettings() {
    if (m_session || !m_actions.serverSettings)
        return;
    QString before, after;
    m_preference.GetUsersDir(before);
    m_actions.serverSettings();
    m_preference.GetUsersDir(after);
    if (before != after)
        Refresh();
}

void CZelStartDlg::OnNewPlate() {
    if (!m_session)
        return;
    if (!m_actions.sitePresetLoads || !m_actions.sitePresetLoads()) {
        m_op.Tell(QStringLiteral("조판에 필요한 프리셋 파일을 로드할 수 없습니다."));
        return;
    }
    // The plate is made here, so the program never starts on a plate
    // without a file or a plate code; cancelling stays in this dialog.
    const QString path = m_actions.newPlate ? m_actions.newPlate(*m_session) : QString();
    if (path.isEmpty())
        return;
    m_resultPath = path;
    QDialog::accept();
}

void CZelStartDlg::OnOpenPlate() {
    if (!m_session)
        return;
    if (!m_actions.sitePresetLoads || !m_actions.sitePresetLoads()) {
        m_op.Tell(QStringLiteral("조판에 필요한 프리셋 파일을 로드할 수 없습니다."));
        return;
    }
    const QString path = m_actions.openPlate ? m_actions.openPlate() : QString();
    if (path.isEmpty())
        return;
    m_resultPath = path;
    QDialog::accept();
}

void CZelStartDlg::reject() {
    if (m_session)
        Logout();
    QDialog::reject();
}

void CZelStartDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
