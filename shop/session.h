#pragma once

#include "markup/result.h"

#include <QString>

#include <memory>

class CZelAccount;
class CZelPreference;

// The operator's account for the length of a session: logged in by Login,
// logged out when the session ends or by Logout. Results carry the texts the
// operator reads.
class ShopSession {
public:
    ShopSession();
    ~ShopSession();
    ShopSession(const ShopSession&) = delete;
    ShopSession& operator=(const ShopSession&) = delete;

    // Fails with the operator's message (wrong password, account in use) or
    // the reason the account cannot be used.
    Result<void> Login(CZelPreference& preference, const QString& account, const QString& password);
    void Logout();
    // Takes over an account that a login dialog logged in.
    void Adopt(std::unique_ptr<CZelAccount> account);
    // Gives the account back still logged in (to a login dialog).
    std::unique_ptr<CZelAccount> Release() { return std::move(m_account); }

    // Null while nobody is logged in.
    CZelAccount* Account() const { return m_account.get(); }
    QString AccountName() const;
    QString RealName() const;
    QString Initials() const;

private:
    std::unique_ptr<CZelAccount> m_account;
};
