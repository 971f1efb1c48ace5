#pragma once

#include "usertree.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

// An operator's account file "<account>.tzuac" in the shared accounts
// folder: full name, initials, password and the last login and logout.
//
// While logged in the object holds an advisory lock on the file (an open
// file description lock), which other processes and other machines on a
// mount that supports locks see; it goes with the process, even when the
// process dies. Destroying the object logs out.
class CZelAccount {
public:
    static constexpr char kDocumentType[] = "Tessel User Account";
    static constexpr char kExtension[] = "tzuac";

    enum LoginResult { Success = 0, NotLoaded = 1, InUse = 2, WrongPassword = 3 };

    // Loads the file when it exists; an empty file counts as loaded.
    explicit CZelAccount(const QString& path);
    CZelAccount(const CZelAccount&) = delete;
    CZelAccount& operator=(const CZelAccount&) = delete;
    ~CZelAccount();

    bool IsLoaded() const { return m_loaded; }
    bool IsLoggedIn() const { return m_loggedIn; }
    const QString& Path() const { return m_path; }
    const QString& LastError() const { return m_error; }
    CUserTree& Tree() { return m_tree; }

    // The file's base name.
    bool GetAccountName(QString& name) const;
    bool GetInitial(QString& text) const { return GetKey("INITIAL", text); }
    bool GetRealName(QString& text) const { return GetKey("REAL_NAME", text); }
    bool GetLoginTime(QString& text) const { return GetKey("LOGIN", text); }
    bool GetLogoutTime(QString& text) const { return GetKey("LOGOUT", text); }
    // False when there is no password yet.
    bool GetPassword(QString* text = nullptr) const;
    // Only while logged in; written at logout. A password that is empty, or
    // initials that are not two characters, or either in text the file cannot
    // carry, are refused.
    bool SetPassword(const QString& text);
    bool SetInitial(const QString& text);

    // The entered password against the stored one: an account without a
    // password takes the first non-empty one (returned in toStore).
    static bool TestPassword(const QString& entered, const QString& stored, QString& toStore);

    // True when the file is missing or unreadable, or another holder locks it.
    bool IsInUse() const;
    LoginResult Login(const QString& password);
    void Logout();

    // "%04d-%d-%d %d:%d:%d" of a local time.
    static QString TimeText(const QDateTime& time);

    // Every account file of the folder that loads, in directory order.
    static std::vector<std::unique_ptr<CZelAccount>> List(const QString& folder);

private:
    bool GetKey(const char* key, QString& text) const;
    void BuildStructure();

    QString m_path;
    CUserTree m_tree;
    CTzmpItem* m_root = nullptr;
    bool m_loaded = false;
    // False when the file was read only in part: a login would write the
    // account back without what was not read, so it is refused.
    bool m_readWhole = true;
    bool m_loggedIn = false;
    int m_lock = -1; // the locked descriptor while logged in
    QString m_error;
};
