#pragma once

#include "records/zelaccount.h"

#include <QString>

// The operator's texts of logging in, shared by the login dialogs.
namespace accounttexts {

QString WrongPassword();               // "잘못된 패스 워드입니다."
QString InUse(const QString& account); // "계정 "%s"는 이미 사용 중 입니다."
// The message for a login that did not succeed. An account whose file is gone
// or unreadable reads as in use: another workstation has it, or nobody can.
QString LoginFailure(const CZelAccount& account, CZelAccount::LoginResult result);
// Why a typed password cannot be stored (the account file's code page cannot
// carry it); empty when it can.
QString PasswordRefusal(const QString& password);

} // namespace accounttexts
