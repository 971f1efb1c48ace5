#include "serversettings.h"

#include "markup/cp949.h"
#include "registration/registrationurl.h"

#include <QDir>
#include <QFileInfo>

namespace {

size_t IndexOf(CZelPreference::Folder folder) {
    for (size_t i = 0; i < ServerSettings::kFolders.size(); ++i)
        if (ServerSettings::kFolders[i] == folder)
            return i;
    return 0;
}

// A folder typed as Windows workstations show them ("\" and a trailing one)
// reads the same.
QString Clean(const QString& typed) {
    QString text = typed.trimmed();
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return text.isEmpty() ? text : QDir::cleanPath(text);
}

bool Inside(const QString& folder, const QString& parent) {
    const QString a = QFileInfo(folder).canonicalFilePath();
    const QString b = QFileInfo(parent).canonicalFilePath();
    return !a.isEmpty() && !b.isEmpty() && (a == b || a.startsWith(b + QLatin1Char('/')));
}

} // namespace

QString ServerSettings::Prompt(CZelPreference::Folder folder) {
    switch (folder) {
    case CZelPreference::Folder::Users:
        return QStringLiteral("작업 계정 파일이 저장된 폴더를 선택하십시오.");
    case CZelPreference::Folder::Jobs:
        return QStringLiteral("Job Ticket 파일이 저장된 폴더를 선택하십시오.");
    case CZelPreference::Folder::Pdfs:
        return QStringLiteral("PDF 파일이 저장된 폴더를 선택하십시오.");
    case CZelPreference::Folder::Progress:
        return QStringLiteral("작업 중인 판 정보가 저장될 폴더를 선택하십시오.");
    case CZelPreference::Folder::Release:
        return QStringLiteral("작업 완료된 판 정보 및 최종 PDF 파일이 저장될 폴더를 선택하십시오.");
    case CZelPreference::Folder::LocalWork:
        return QStringLiteral("판 작업과 관련된 임시 파일이 저장될 폴더를 선택하십시오.");
    case CZelPreference::Folder::Preset:
        return QStringLiteral("조판에 필요한 프리셋 파일이 저장된 폴더를 선택하십시오.");
    }
    return {};
}

ServerSettings ServerSettings::Read(CZelPreference& preference) {
    ServerSettings settings;
    for (size_t i = 0; i < kFolders.size(); ++i) {
        QString path;
        if (preference.GetFolder(kFolders[i], path))
            settings.folders[i] = Clean(path);
    }
    preference.GetPlateRegUrl(settings.registrationUrl);
    return settings;
}

Result<ServerSettings> ServerSettings::Checked() const {
    ServerSettings clean;
    for (size_t i = 0; i < kFolders.size(); ++i) {
        const QString folder = Clean(folders[i]);
        // A relative folder would depend on where the program was started.
        if (folder.isEmpty() || QDir::isRelativePath(folder) || !QFileInfo(folder).isDir())
            return Failure(Prompt(kFolders[i]));
        if (!cp949::CanEncode(folder))
            return Failure(QStringLiteral("%1\n(\"%2\"의 이름을 설정 파일에 쓸 수 없습니다.)")
                               .arg(Prompt(kFolders[i]), folder));
        clean.folders[i] = folder;
    }
    // Plates in progress or finished inside the job folder would be listed
    // as orders to place.
    const QString jobs = clean.folders[IndexOf(CZelPreference::Folder::Jobs)];
    for (CZelPreference::Folder folder : {CZelPreference::Folder::Progress, CZelPreference::Folder::Release})
        if (Inside(clean.folders[IndexOf(folder)], jobs))
            return Failure(QStringLiteral("%1\n(Job Ticket 폴더 안의 폴더는 쓸 수 없습니다.)")
                               .arg(Prompt(folder)));
    clean.registrationUrl = registrationUrl.trimmed();
    if (!clean.registrationUrl.isEmpty() && !RegistrationUrl::Parse(clean.registrationUrl))
        return Failure(QStringLiteral("판 등록 서버 주소가 잘못되었습니다. http://호스트[:포트]/경로 "
                                      "형식으로 입력하십시오."));
    return clean;
}

Result<void> ServerSettings::Apply(CZelPreference& preference) const {
    const Result<ServerSettings> clean = Checked();
    if (!clean)
        return Failure(clean.error());
    preference.RepairHeader();
    for (size_t i = 0; i < kFolders.size(); ++i)
        preference.SetFolder(kFolders[i], clean->folders[i]);
    preference.SetPlateRegUrl(clean->registrationUrl);
    if (!preference.Save())
        return Failure(QStringLiteral("설정 파일을 저장할 수 없습니다.\n%1").arg(preference.LastError()));
    return {};
}
