#include "zelpancode.h"

#include "zelpreference.h"

#include "markup/durablefile.h"

#include <QFileInfo>

CZelPanCode::CZelPanCode() {
    BuildStructure();
}

void CZelPanCode::BuildStructure() {
    m_root = m_tree.GetRoot();
    if (m_root)
        return;
    m_root = m_tree.SetHeader(QString::fromLatin1(kDocumentType));
}

void CZelPanCode::Fill(const QString& prefix, const QString& typeName, const QString& account,
                       const QString& user) {
    m_tree.Clear();
    m_root = nullptr;
    BuildStructure();
    CTzmpItem* code = m_tree.GetOrAddChild(m_root, "PAN_CODE");
    m_tree.Value(code, "PAN") = prefix;
    m_tree.Value(code, "NAME") = typeName;
    m_tree.Value(m_root, "PAN_ACCOUNT") = account;
    m_tree.Value(m_root, "PAN_USER") = user;
    m_tree.Value(m_root, "PAN_STATE") = std::int32_t{0};
}

bool CZelPanCode::Save(const QString& path) {
    m_error.clear();
    if (m_tree.SaveFile(path) < 0) {
        m_error = m_tree.LastFileError();
        return false;
    }
    m_path = path;
    return true;
}

bool CZelPanCode::Save() {
    if (m_path.isEmpty() || !QFileInfo::exists(m_path)) {
        m_error = QStringLiteral("%1: the code file no longer exists").arg(m_path);
        return false;
    }
    return Save(m_path);
}

bool CZelPanCode::Load(const QString& path) {
    m_error.clear();
    const int result = m_tree.LoadFile(path);
    if (result < 0) {
        m_error = m_tree.LastFileError();
        return false;
    }
    const bool hadRoot = m_tree.GetRoot() != nullptr;
    BuildStructure();
    if (!hadRoot) {
        m_error = QStringLiteral("%1: no plate code in the file").arg(path);
        return false;
    }
    m_path = path;
    return true;
}

bool CZelPanCode::GetPlateCode(QString& code) const {
    if (!m_root || m_path.isEmpty())
        return false;
    code = QFileInfo(m_path).completeBaseName();
    return true;
}

QString CZelPanCode::DatePart(const QDate& date) {
    auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    if (!date.isValid())
        return QStringLiteral("000000");
    if (date.year() < 2000)
        return QStringLiteral("00") + two(date.month()) + two(date.day());
    return two(date.year() % 2000) + two(date.month()) + two(date.day());
}

bool CZelPanCode::IssuePlateCode(CZelPreference& preference, const QString& prefix,
                                 const QString& typeName, const QString& account,
                                 const QString& user, const QDate& date) {
    m_error.clear();
    QString folder;
    if (!preference.GetPresetFolder(QLatin1String(kFolderName), date.startOfDay(), folder)) {
        m_error = QStringLiteral("the plate code folder for %1 cannot be made under PRESET_DIR")
                      .arg(date.toString(Qt::ISODate));
        return false;
    }
    Fill(prefix, typeName, account, user);
    const QByteArray bytes = m_tree.Serialize();
    const QString stem = folder + prefix + DatePart(date);
    for (int sequence = 1; sequence <= 999; ++sequence) {
        const QString path = stem + QStringLiteral("%1.").arg(sequence, 3, 10, QLatin1Char('0')) +
                             QLatin1String(kExtension);
        // Creating the file exclusively is what takes the code: another
        // workstation that got there first makes the creation fail.
        const Result<durablefile::NewFile> made = durablefile::WriteNew(path, bytes);
        if (!made) {
            m_error = made.error();
            return false;
        }
        if (made.value() == durablefile::NewFile::Exists)
            continue;
        m_path = path;
        return true;
    }
    m_error =
        QStringLiteral("all 999 plate codes %1001..999 are taken").arg(prefix + DatePart(date));
    return false;
}
