#include "accounttexts.h"

#include "records/accountrules.h"

namespace accounttexts {

QString WrongPassword() {
    return QStringLiteral("잘못된 패스 워드입니다.");
}

QString InUse(const QString& account) {
    return QStringLiteral("계정 \"%1\"는 이미 사용 중 입니다.").arg(account);
}

QString LoginFailure(const CZelAccount& account, CZelAccount::LoginResult result) {
    if (result == CZelAccount::WrongPassword)
        return WrongPassword();
    QString name;
    account.GetAccountName(name);
    return InUse(name);
}

QString PasswordRefusal(const QString& password) {
    if (accountrules::IsValidPassword(password))
        return QString();
    return QStringLiteral("패스 워드에 쓸 수 없는 문자가 있습니다. 한글, 영문, 숫자와 기호로 "
                          "입력하십시오.");
}

} // namespace accounttexts
