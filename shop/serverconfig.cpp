#include "serverconfig.h"

#include "markup/cp949.h"

#include <QDir>
#include <QFileInfo>

namespace serverconfig {
namespace {

int Index(Folder folder) {
    return static_cast<int>(folder);
}

// Whether inner is outer or lies below it.
bool IsInside(const QString& inner, const QString& outer) {
    const QString a = QFileInfo(inner).canonicalFilePath();
    const QString b = QFileInfo(outer).canonicalFilePath();
    if (a.isEmpty() || b.isEmpty())
        return false;
    return a == b || a.startsWith(b.endsWith(QLatin1Char('/')) ? b : b + QLatin1Char('/'));
}

} // namespace

QString Prompt(Folder folder) {
    switch (folder) {
    case Folder::Users:
        return QStringLiteral("작업 계정 파일이 저장된 폴더를 선택하십시오.");
    case Folder::Jobs:
        return QStringLiteral("Job Ticket 파일이 저장된 폴더를 선택하십시오.");
    case Folder::Pdfs:
        return QStringLiteral("PDF 파일이 저장된 폴더를 선택하십시오.");
    case Folder::Progress:
        return QStringLiteral("작업 중인 판 정보가 저장될 폴더를 선택하십시오.");
    case Folder::Release:
        return QStringLiteral("작업 완료된 판 정보 및 최종 PDF 파일이 저장될 폴더를 선택하십시오.");
    case Folder::LocalWork:
        return QStringLiteral("판 작업과 관련된 임시 파일이 저장될 폴더를 선택하십시오.");
    case Folder::Preset:
        return QStringLiteral("조판에 필요한 프리셋 파일이 저장된 폴더를 선택하십시오.");
    }
    return {};
}

QString Clean(const QString& path) {
    QString trimmed = path.trimmed();
    // A folder typed as Windows workstations show it ends in "\".
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('\\')))
        trimmed.chop(1);
    if (trimmed.isEmpty())
        return {};
    return QDir::cleanPath(QDir::fromNativeSeparators(trimmed));
}

Folders Read(CZelPreference& preference) {
    Folders folders;
    for (Folder folder : kCheckOrder) {
        QString path;
        if (preference.GetFolder(folder, path))
            folders[Index(folder)] = Clean(path);
    }
    return folders;
}

std::optional<Problem> Check(const Folders& folders) {
    for (Folder folder : kCheckOrder) {
        const QString path = Clean(folders[Index(folder)]);
        if (path.isEmpty() || !QDir::isAbsolutePath(path) || !QFileInfo(path).isDir())
            return Problem{folder, Prompt(folder)};
        if (!cp949::CanEncode(path))
            return Problem{folder, QStringLiteral("폴더 이름에 설정 파일에 저장할 수 없는 문자가 "
                                                  "있습니다:\n%1")
                                       .arg(path)};
    }
    const QString jobs = Clean(folders[Index(Folder::Jobs)]);
    for (Folder folder : {Folder::Progress, Folder::Release}) {
        if (IsInside(Clean(folders[Index(folder)]), jobs))
            return Problem{folder,
                           QStringLiteral("판 작업 폴더는 JOB 폴더 안에 둘 수 없습니다:\n%1")
                               .arg(Clean(folders[Index(folder)]))};
    }
    return std::nullopt;
}

Result<void> Store(CZelPreference& preference, const Folders& folders) {
    if (const auto problem = Check(folders))
        return Failure(problem->message);
    for (Folder folder : kCheckOrder)
        preference.SetFolder(folder, Clean(folders[Index(folder)]));
    preference.Tree().SetHeader(QString::fromLatin1(CZelPreference::kDocumentType));
    if (!preference.Save())
        return Failure(QStringLiteral("서버 설정을 파일에 저장할 수 없습니다. 설정은 이번 실행에만 "
                                      "적용됩니다.\n%1")
                           .arg(preference.LastError()));
    return {};
}

} // namespace serverconfig
