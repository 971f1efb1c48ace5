#include "platecreation.h"

#include "platechecks.h"

#include "records/filenames.h"
#include "records/zeldocumentpreset.h"
#include "records/zelmtdocument.h"
#include "records/zelpancode.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace platecreation {

PlateProperties DefaultProperties() {
    PlateProperties p;
    p.quantity = 200.0;
    p.pressUnit = 0;
    p.pressCount = 500;
    p.paperSideSetting = 1;
    p.colorA = 1;
    p.colorB = 1;
    p.turnDirection = 0;
    p.width = 297.0;
    p.height = 420.0;
    p.margin = {12.7, 12.7, 12.7, 12.7};
    p.gridWidth = 92.0;
    p.gridHeight = 52.0;
    p.cutMargin = {1.0, 1.0, 1.0, 1.0};
    return p;
}

QString Validate(const PlateProperties& p) {
    if (p.pressUnit == 0) {
        // A sheet count is whole in its first two decimals and above 1.
        const double hundredths = std::round(p.quantity * 100.0);
        if (std::fmod(hundredths, 100.0) != 0.0 || !(p.quantity > 1.0))
            return QStringLiteral("수량의 매수가 잘못되었습니다.");
    } else if (!(p.quantity > 0.0)) {
        return QStringLiteral("수량의 연수가 잘못되었습니다.");
    }
    if (p.pressCount <= 0)
        return QStringLiteral("인쇄 매수가 잘못되었습니다.");
    if (!(p.width > 0.0) || !(p.height > 0.0))
        return QStringLiteral("판형의 가로, 세로 크기가 잘못되었습니다.");
    return platechecks::ValidateLayout(p);
}

QString FailureText(CreationFailure kind, const QString& path) {
    switch (kind) {
    case CreationFailure::None:
        return {};
    case CreationFailure::NoLocalWorkFolder:
        return QStringLiteral("판 작업 폴더를 사용할 수 없습니다. 서버 설정을 확인하십시오.");
    case CreationFailure::NoCodeIssued:
        return QStringLiteral("새 판 번호를 발급할 수 없습니다.");
    case CreationFailure::FileTaken:
        return QStringLiteral("작업 파일 \"%1\"가(이) 이미 존재합니다").arg(path);
    case CreationFailure::WriteFailed:
        return QStringLiteral("작업 파일 \"%1\"을(를) 저장할 수 없습니다.").arg(path);
    }
    return {};
}

QString PressQuantityText(double quantity) {
    if (!std::isfinite(quantity))
        return QStringLiteral("0");
    if (quantity == std::trunc(quantity))
        return QString::number(quantity, 'f', 0);
    return QString::number(quantity, 'f', 1);
}

Result<QString> CreatePlate(CZelPreference& preference, const Request& request,
                            CreationFailure* kind) {
    auto fail = [kind](CreationFailure failure, const QString& path, const QString& detail) {
        if (kind)
            *kind = failure;
        QString text = FailureText(failure, path);
        if (!detail.isEmpty())
            text += QStringLiteral("\n") + detail;
        return Failure(text);
    };
    if (kind)
        *kind = CreationFailure::None;
    QString localWork;
    if (!preference.GetLocalWorkDir(localWork) || !QFileInfo(localWork).isDir())
        return fail(CreationFailure::NoLocalWorkFolder, {},
                    QStringLiteral("the local work folder (LOCAL_WORK_DIR) is not available"));
    // The account becomes a folder of the shared progress folder later.
    if (!filenames::IsPlainName(request.account))
        return fail(CreationFailure::WriteFailed, {},
                    QStringLiteral("\"%1\" is not a valid account name").arg(request.account));

    PlateProperties properties = request.properties;
    properties.presetName = request.presetName;
    properties.jobDate = QStringLiteral("%1-%2-%3")
                             .arg(request.date.year())
                             .arg(request.date.month(), 2, 10, QLatin1Char('0'))
                             .arg(request.date.day(), 2, 10, QLatin1Char('0'));
    properties.userAccount = request.account;
    properties.userName = request.realName;
    properties.userInitial = request.initials;
    properties.pressQuantityText = PressQuantityText(properties.quantity);
    properties.pageCount = 1;

    const QDir folder(localWork);
    QString lastPath;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // The code file is taken exclusively, so a code another workstation
        // holds is skipped inside; a failure here is the share's, and
        // trying again would only fail again.
        CZelPanCode code;
        if (!code.IssuePlateCode(preference, request.panPrefix, request.panName, request.account,
                                 request.realName, request.date))
            return fail(CreationFailure::NoCodeIssued, {}, code.LastError());
        QString jobCode;
        if (!code.GetPlateCode(jobCode) || !filenames::IsPlainName(jobCode))
            return fail(CreationFailure::NoCodeIssued, {},
                        QStringLiteral("the issued code \"%1\" is no file name").arg(jobCode));
        lastPath =
            folder.filePath(jobCode + QLatin1Char('.') + QLatin1String(CZelMTDocument::kExtension));
        // A plate file or work folder of this code left by another run is not
        // ours to take over: the next code.
        if (QFileInfo::exists(lastPath) || QFileInfo::exists(folder.filePath(jobCode)))
            continue;
        if (!folder.mkdir(jobCode)) {
            if (QFileInfo::exists(folder.filePath(jobCode)))
                continue; // made by another run just now
            return fail(
                CreationFailure::WriteFailed, lastPath,
                QStringLiteral("%1: the work folder cannot be made").arg(folder.filePath(jobCode)));
        }

        CZelMTDocument document;
        properties.jobCode = jobCode;
        document.Name() = jobCode;
        document.PresetName() = properties.presetName;
        document.JobDate() = properties.jobDate;
        document.JobCode() = jobCode;
        document.UserAccount() = properties.userAccount;
        document.UserName() = properties.userName;
        document.UserInitial() = properties.userInitial;
        document.PressQuantityText() = properties.pressQuantityText;
        document.PageCount() = properties.pageCount;
        properties.WritePlateKeys(document);
        if (request.preset)
            document.CopyLines(*request.preset);
        if (!document.Save(lastPath)) {
            // Leave no empty work folder behind for a plate that is not there.
            folder.rmdir(jobCode);
            return fail(CreationFailure::WriteFailed, lastPath, document.LastError());
        }
        return lastPath;
    }
    return fail(CreationFailure::FileTaken, lastPath, {});
}

} // namespace platecreation
