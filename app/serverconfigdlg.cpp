#include "serverconfigdlg.h"

#include "view/controlnames.h"

#include "engine/operatorinterface.h"
#include "registration/registrationurl.h"
#include "shop/serverconfig.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

using Folder = serverconfig::Folder;
struct FolderRow {
    Folder folder;
    const char* name;
    const char16_t* label;
    bool local;
};
// As the operator knows them: the server folders, then the local ones.
constexpr FolderRow kRows[] = {{Folder::Users, "usersFolder", u"작업 계정:", false},
                               {Folder::Jobs, "jobsFolder", u"JOB:", false},
                               {Folder::Pdfs, "pdfsFolder", u"PDF:", false},
                               {Folder::Progress, "progressFolder", u"판 작업 진행:", false},
                               {Folder::Release, "releaseFolder", u"판 작업 완료:", false},
                               {Folder::LocalWork, "localWorkFolder", u"판 작업 폴더:", true},
                               {Folder::Preset, "presetFolder", u"프리셋 정보:", true}};

} // namespace

CZelServerConfigDlg::CZelServerConfigDlg(CZelPreference& preference, OperatorInterface& op,
                                         QWidget* parent)
    : QDialog(parent), m_preference(preference), m_op(op) {
    setObjectName(QStringLiteral("serverConfigDialog"));
    setWindowTitle(QStringLiteral("Tessel 서버 설정"));
    setAccessibleName(windowTitle());
    const serverconfig::Folders current = serverconfig::Read(preference);

    auto* server = Named(new QGroupBox(QStringLiteral("서버 폴더")), "serverGroup",
                         QStringLiteral("서버 폴더"));
    auto* local = Named(new QGroupBox(QStringLiteral("로컬 폴더")), "localGroup",
                        QStringLiteral("로컬 폴더"));
    auto* serverForm = new QFormLayout(server);
    auto* localForm = new QFormLayout(local);
    for (const FolderRow& row : kRows) {
        const QString label = QString::fromUtf16(row.label);
        const QString prompt = serverconfig::Prompt(row.folder);
        auto* edit = Named(new QLineEdit(current[size_t(row.folder)]), row.name, label);
        edit->setPlaceholderText(QStringLiteral("  ") + prompt);
        edit->setMinimumWidth(420);
        auto* browse = Named(new QPushButton(QStringLiteral("...")),
                             (QByteArray(row.name) + "Browse").constData(),
                             label + QStringLiteral(" 찾아보기"));
        browse->setAutoDefault(false);
        browse->setFixedWidth(36);
        connect(browse, &QPushButton::clicked, this, [this, edit, prompt] {
            const QString chosen = QFileDialog::getExistingDirectory(this, prompt, edit->text());
            if (!chosen.isEmpty())
                edit->setText(chosen);
        });
        auto* line = new QHBoxLayout;
        line->addWidget(edit, 1);
        line->addWidget(browse);
        (row.local ? localForm : serverForm)->addRow(label, line);
        m_folders[size_t(row.folder)] = edit;
    }
    auto* registration = Named(new QGroupBox(QStringLiteral("판 등록 서버")), "registrationGroup",
                               QStringLiteral("판 등록 서버"));
    auto* registrationForm = new QFormLayout(registration);
    QString url;
    preference.GetPlateRegUrl(url);
    m_url = Named(new QLineEdit(url), "registrationUrl", QStringLiteral("판 등록 주소:"));
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
    serverconfig::Folders typed;
    for (size_t i = 0; i < m_folders.size(); ++i)
        typed[i] = m_folders[i]->text();
    if (const std::optional<serverconfig::Problem> problem = serverconfig::Check(typed)) {
        m_op.Tell(problem->message);
        QLineEdit* offending = m_folders[size_t(problem->folder)];
        offending->setFocus();
        offending->selectAll();
        return;
    }
    const QString url = m_url->text().trimmed();
    if (!url.isEmpty() && !RegistrationUrl::Parse(url)) {
        m_op.Tell(QStringLiteral("판 등록 서버 주소가 잘못되었습니다. http://호스트[:포트]/경로 "
                                 "형식으로 입력하십시오."));
        m_url->setFocus();
        m_url->selectAll();
        return;
    }
    m_preference.SetPlateRegUrl(url);
    if (const Result<void> stored = serverconfig::Store(m_preference, typed); !stored) {
        m_op.Tell(stored.error());
        return;
    }
    QDialog::accept();
}
