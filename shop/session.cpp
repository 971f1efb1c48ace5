#include "session.h"

#include "records/zelaccount.h"
#include "records/zelpreference.h"

#include <QDir>
#include <QFileInfo>

ShopSession::ShopSession() = default;
ShopSession::~ShopSession() {
    Logout();
}

Result<void> ShopSession::Login(CZelPreference& preference, const QString& account,
                                const QString& password) {
    Logout();
    QString users;
    if (!preference.GetUsersDir(users))
        return Failure(QStringLiteral("no accounts folder (USERS_DIR) is set"));
    const QString path =
        QDir(users).filePath(account + QLatin1Char('.') + QLatin1String(CZelAccount::kExtension));
    if (account.isEmpty() || account.contains(QLatin1Char('/')) ||
        account.contains(QLatin1Char('\\')) || !QFileInfo(path).isFile())
        return Failure(QStringLiteral("no account \"%1\" in %2").arg(account, users));
    auto candidate = std::make_unique<CZelAccount>(path);
    switch (candidate->Login(password)) {
    case CZelAccount::Success:
        m_account = std::move(candidate);
        return {};
    case CZelAccount::WrongPassword:
        return Failure(QStringLiteral("잘못된 패스 워드입니다."));
    case CZelAccount::InUse: {
        // The reason tells a taken account from one that could not be saved.
        const QString why = candidate->LastError();
        return Failure(QStringLiteral("계정 \"%1\"는 이미 사용 중 입니다.").arg(account) +
                       (why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
    }
    default:
        return Failure(candidate->LastError().isEmpty()
                           ? QStringLiteral("the account file %1 cannot be read").arg(path)
                           : candidate->LastError());
    }
}

void ShopSession::Logout() {
    if (m_account)
        m_account->Logout();
    m_account.reset();
}

void ShopSession::Adopt(std::unique_ptr<CZelAccount> account) {
    Logout();
    if (account && account->IsLoggedIn())
        m_account = std::move(account);
}

QString ShopSession::AccountName() const {
    QString text;
    if (m_account)
        m_account->GetAccountName(text);
    return text;
}

QString ShopSession::RealName() const {
    QString text;
    if (m_account)
        m_account->GetRealName(text);
    return text;
}

QString ShopSession::Initials() const {
    QString text;
    if (m_account)
        m_account->GetInitial(text);
    return text;
}
