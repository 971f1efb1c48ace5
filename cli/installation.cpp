#include "installation.h"

#include "commandline.h"
#include "labels/labelrender.h"
#include "records/programfolder.h"

#include <QDir>
#include <QFileInfo>

bool Installation::Load(bool withLibrary, QString* error) {
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (!preference.Load(programfolder::PreferencesFolder()))
        return fail(
            QFileInfo::exists(preference.Path())
                ? QStringLiteral("%1; the file is kept as it is").arg(preference.LastError())
                : QStringLiteral("no preference file in %1 (use --home DIR or TESSEL_HOME)")
                      .arg(programfolder::PreferencesFolder()));
    // A file that was read only in part is kept as it is; the operator hears why.
    if (!preference.LastError().isEmpty())
        PrintWarning(preference.LastError());
    QString reason;
    if (!preference.ValidatePreference(&reason))
        return fail(reason);
    QString presetFolder;
    if (preference.GetPresetDir(presetFolder))
        site.Load(presetFolder);
    // The built-in colours serve without a file.
    if (!colors.Load(programfolder::StockPresetsFolder()) || !colors.LastError().isEmpty())
        if (QFileInfo::exists(colors.Path()))
            PrintWarning(colors.LastError());
    colorBars.LoadColorBars(preference);
    registrationMarks.LoadRegistrationMarks(preference);
    if (withLibrary && !pdf.Load())
        return fail(pdf.LoadError());
    return true;
}

ShopContext Installation::Context(OperatorInterface* op, ProgressSink* progress) {
    ShopContext context{&preference, &colors, op, progress, pdf.IsLoaded() ? &pdf : nullptr, {}};
    QString presetFolder;
    if (pdf.IsLoaded() && preference.GetPresetDir(presetFolder))
        context.labelPreview = CLabelRender(presetFolder, &pdf).PreviewFunction();
    return context;
}

bool CliOperator::Ask(const QString& question) {
    const QString line = QString(question).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (m_answer == Answer::None) {
        if (m_unanswered.isEmpty())
            m_unanswered = line;
        return false;
    }
    const bool yes = m_answer == Answer::Yes;
    PrintNote(
        QStringLiteral("? %1 -> %2").arg(line, yes ? QStringLiteral("yes") : QStringLiteral("no")));
    return yes;
}

void CliOperator::Tell(const QString& message) {
    PrintNote(
        QStringLiteral("! %1").arg(QString(message).replace(QLatin1Char('\n'), QLatin1Char(' '))));
}

bool CliLogin::Login(CZelPreference& preference, const QString& account, const QString& password,
                     QString* error) {
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    QString users;
    if (!preference.GetUsersDir(users))
        return fail(QStringLiteral("no accounts folder (USERS_DIR) is set"));
    const QString path =
        QDir(users).filePath(account + QLatin1Char('.') + QLatin1String(CZelAccount::kExtension));
    if (account.isEmpty() || account.contains(QLatin1Char('/')) ||
        account.contains(QLatin1Char('\\')) || !QFileInfo(path).isFile())
        return fail(QStringLiteral("no account \"%1\" in %2").arg(account, users));
    m_account = std::make_unique<CZelAccount>(path);
    switch (m_account->Login(password)) {
    case CZelAccount::Success:
        return true;
    case CZelAccount::WrongPassword:
        m_account.reset();
        return fail(QStringLiteral("잘못된 패스 워드입니다."));
    case CZelAccount::InUse: {
        // The reason tells a taken account from one that could not be saved.
        const QString why = m_account->LastError();
        m_account.reset();
        return fail(QStringLiteral("계정 \"%1\"는 이미 사용 중 입니다.").arg(account) +
                    (why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
    }
    default: {
        const QString why = m_account->LastError();
        m_account.reset();
        return fail(why.isEmpty() ? QStringLiteral("the account file %1 cannot be read").arg(path)
                                  : why);
    }
    }
}
