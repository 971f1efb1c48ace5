#include "serverconfigdlg.h"

#include "view/controlnames.h"

#include "engine/operatorinterface.h"
#include "shop/serversettings.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct FolderRow {
    const char* name;
    const char16_t* label;
};
// In ServerSettings::kFolders order.
constexpr FolderRow kRows[] = {
    {"usersFolder", u"작업 계정:"},        {"presetFolder", u"프리셋 정보:"},
    {"jobsFolder", u"JOB:"},               {"pdfsFolder", u"PDF:"},
    {"progressFolder", u"판 작업 진행:"},   {"releaseFolder", u"판 작업 완료:"},
    {"localWorkFolder", u"판 작업 폴더:"}};

} // namespace

CZelServerConfigDlg::CZelServerConfigDlg(CZelPreference& preference, OperatorInterface& op,
                                         QWidget* parent)
    : QDialog(parent), m_preference(preference), m_op(op) {
    setObjectName(QStringLiteral("serverConfigDialog"));
    setWindowTitle(QStringLiteral("Tessel 서버 설정"));
    setAccessibleName(windowTitle());
    const ServerSettings current = ServerSettings::Read(preference);

    auto* server = Named(new QGroupBox(QStringLiteral("서버 폴더")), "serverGroup",
                         QStringLiteral("서버 폴더"));
    auto* local = Named(new QGroupBox(QStringLiteral("로컬 폴더")), "localGroup",
                        QStringLiteral("로컬 폴더"));
    auto* serverForm = new QFormLayout(server);
    auto* localForm = new QFormLayout(local);
    // The server folders first, then the local ones, as the operator knows them.
    const int order[] = {0, 2, 3, 4, 5, 6, 1};
    for (int i : order) {
        const CZelPreference::Folder folder = ServerSettings::kFolders[size_t(i)];
        const QString label = QString::fromUtf16(kRows[i].label);
        auto* edit = Named(new QLineEdit(current.folders[size_t(i)]), kRows[i].name, label);
        edit->setPlaceholderText(QStringLiteral("  ") + ServerSettings::Prompt(folder));
        edit->setMinimumWidth(420);
        auto* browse = Named(new QPushButton(QStringLiteral("...")),
                             (QByteArray(kRows[i].name) + "Browse").constData(),
                             label + QStringLiteral(" 찾아보기"));
        browse->setAutoDefault(false);
        browse->setFixedWidth(36);
        connect(browse, &QPushButton::clicked, this, [this, edit, folder] {
            const QString chosen = QFileDialog::getExistingDirectory(
                this, ServerSettings::Prompt(folder), edit->text());
            if (!chosen.isEmpty())
                edit->setText(chosen);
        });
        auto* row = new QHBoxLayout;
        row->addWidget(edit, 1);
        row->addWidget(browse);
        const bool isLocal = folder == CZelPreference::Folder::LocalWork ||
                             folder == CZelPreference::Folder::Preset;
        (isLocal ? localForm : serverForm)->addRow(label, row);
        m_folders[size_t(i)] = edit;
    }
    auto* registration = Named(new QGroupBox(QStringLiteral("판 등록 서버")), "registrationGroup",
                               QStringLiteral("판 등록 서버"));
    auto* registrationForm = new QFormLayout(registration);
    m_url = Named(new QLineEdit(current.registrationUrl), "registrationUrl",
                  QStringLiteral("판 등록 주소:"));
    m_url->setPlaceholderText(QStringLiteral("  http://호스트[:포트]/경로 (없으면 비워 두십시오)"));
    registrationForm->addRow(QStringLiteral("판 등록 주소:"), m_url);

    auto* buttons = new QDialogButtonBox;
    Named(buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole), "ok",
          QStringLiteral("확인"))
        ->setAutoDefault(false);
    Named(buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole), "cancel",
          QStringLiteral("취소"))
        ->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(server);
    layout->addWidget(local);
    layout->addWidget(registration);
    layout->addWidget(buttons);
}

void CZelServerConfigDlg::accept() {
    ServerSettings typed;
    for (size_t i = 0; i < m_folders.size(); ++i)
        typed.folders[i] = m_folders[i]->text();
    typed.registrationUrl = m_url->text();
    const Result<ServerSettings> checked = typed.Checked();
    if (!checked) {
        m_op.Tell(checked.error());
        QLineEdit* offending = m_url;
        for (size_t i = 0; i < m_folders.size(); ++i)
            if (checked.error().startsWith(ServerSettings::Prompt(ServerSettings::kFolders[i]))) {
                offending = m_folders[i];
                break;
            }
        offending->setFocus();
        offending->selectAll();
        return;
    }
    if (const Result<void> applied = checked->Apply(m_preference); !applied) {
        m_op.Tell(applied.error());
        return;
    }
    QDialog::accept();
}
