#include "zelpreference.h"

#include "programfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

const char* const kFolderKeys[] = {"USERS_DIR",    "PRESET_DIR",  "JOBS_DIR",      "PDFS_DIR",
                                   "PROGRESS_DIR", "RELEASE_DIR", "LOCAL_WORK_DIR"};
const char* const kOptionKeys[] = {"ITEM_FRAME_A",         "ITEM_FRAME_B",  "ITEM_FRAME_L",
                                   "ITEM_CUT_A",           "ITEM_CUT_B",    "ITEM_CUT_L",
                                   "MAKE_PDF_METHOD",      "MAKE_PDF_TYPE", "MAKE_PDF_VIEW",
                                   "MAKE_PDF_TITLE_FNAME", "MAKE_CUT_PLAN"};

QString WithSeparator(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// Creates one level when missing.
bool MakeLevel(const QString& path) {
    return QFileInfo(path).isDir() || QDir().mkdir(path);
}

} // namespace

CZelPreference::CZelPreference() {
    BuildStructure();
}

CZelPreference::~CZelPreference() {
    if (m_readWhole && m_tree.Serialize() != m_savedBytes)
        Save();
}

void CZelPreference::BuildStructure() {
    m_root = m_tree.GetRoot();
    if (m_root)
        return;
    m_root = m_tree.SetHeader(QString::fromLatin1(kDocumentType));
}

Result<void> CZelPreference::CreateProgramFolders() {
    for (const QString& folder :
         {programfolder::PreferencesFolder(), programfolder::PresetsFolder(),
          programfolder::StockPresetsFolder(), programfolder::DocumentPresetsFolder()}) {
        if (!QDir().mkpath(folder))
            return Failure(QStringLiteral("%1: cannot create the folder").arg(folder));
    }
    return {};
}

QString CZelPreference::DefaultFolder() {
    return programfolder::PreferencesFolder();
}

bool CZelPreference::Load(const QString& preferencesFolder) {
    m_path = QDir(preferencesFolder).filePath(QLatin1String(kFileName));
    m_error.clear();
    const bool exists = QFileInfo::exists(m_path);
    const int result = m_tree.LoadFile(m_path);
    // The read has cleared the tree even when it found nothing.
    const bool hadRoot = result >= 0 && m_tree.GetRoot() != nullptr;
    BuildStructure();
    m_savedBytes = m_tree.Serialize();
    if (result < 0) {
        m_error = m_tree.LastFileError();
        m_readWhole = !exists;
        return false;
    }
    if (!hadRoot) {
        m_error = QStringLiteral("%1: no preference record in the file").arg(m_path);
        m_readWhole = !exists;
        return false;
    }
    m_readWhole = m_tree.LastParseReport().complete;
    if (!m_readWhole)
        m_error = QStringLiteral("%1: %2; the file is kept as it is")
                      .arg(m_path, m_tree.LastParseReport().reason);
    return true;
}

bool CZelPreference::ValidatePreference(QString* reason) {
    auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    const CTzmpItem* type = CTzmpTree::Typed(m_tree.FindChild(m_root, "DOCUMENT_TYPE"));
    if (!type || type->Value().toString() != QLatin1String(kDocumentType))
        return fail(
            QStringLiteral("DOCUMENT_TYPE is not \"%1\"").arg(QLatin1String(kDocumentType)));
    const CTzmpItem* version = CTzmpTree::Typed(m_tree.FindChild(m_root, "VERSION"));
    if (!version || version->Value().toString() != QLatin1String("1.0"))
        return fail(QStringLiteral("VERSION is not \"1.0\""));
    for (int i = 0; i <= static_cast<int>(Folder::LocalWork); ++i) {
        QString path;
        if (GetFolder(static_cast<Folder>(i), path))
            continue;
        // Key, value and file: what the one who mends the file needs.
        const QString key = QLatin1String(kFolderKeys[i]);
        const QString value = m_tree.ValueOr(m_root, kFolderKeys[i]).toString();
        if (value.isEmpty())
            return fail(QStringLiteral("%1: %2 is not set; it must name an existing folder")
                            .arg(m_path, key));
        return fail(QStringLiteral("%1: %2 is \"%3\", %4")
                        .arg(m_path, key, value,
                             QFileInfo::exists(value) ? QStringLiteral("a file, not a folder")
                                                      : QStringLiteral("a folder that does not "
                                                                       "exist")));
    }
    return true;
}

bool CZelPreference::Save() {
    if (m_path.isEmpty())
        return false;
    const QByteArray bytes = m_tree.Serialize();
    if (m_tree.SaveFile(m_path) < 0) {
        m_error = m_tree.LastFileError();
        return false;
    }
    m_savedBytes = bytes;
    m_readWhole = true;
    return true;
}

const char* CZelPreference::Key(Folder folder) {
    return kFolderKeys[static_cast<int>(folder)];
}
const char* CZelPreference::Key(Option option) {
    return kOptionKeys[static_cast<int>(option)];
}

bool CZelPreference::GetFolder(Folder folder, QString& path) const {
    const QString text = m_tree.ValueOr(m_root, Key(folder)).toString();
    if (text.isEmpty() || !QFileInfo(text).isDir())
        return false;
    path = WithSeparator(text);
    return true;
}

void CZelPreference::SetFolder(Folder folder, const QString& path) {
    m_tree.Value(m_root, Key(folder)) = path;
}

int CZelPreference::GetOption(Option option) const {
    return m_tree.ValueOr(m_root, Key(option)).toInt();
}

void CZelPreference::SetOption(Option option, int value) {
    m_tree.Value(m_root, Key(option)) = static_cast<std::int32_t>(value);
}

bool CZelPreference::GetPressDir(QString& path) const {
    const QString text = m_tree.ValueOr(m_root, "MAKE_PDF_PRESS_DIR").toString();
    if (text.isEmpty() || !QFileInfo(text).isDir())
        return false;
    path = text;
    return true;
}

bool CZelPreference::SetPressDir(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return false;
    m_tree.Value(m_root, "MAKE_PDF_PRESS_DIR") = path;
    return true;
}

bool CZelPreference::GetPlateRegUrl(QString& url) const {
    if (!m_tree.HasChild(m_root, "PLATE_REG_URL"))
        return false;
    url = m_tree.ValueOr(m_root, "PLATE_REG_URL").toString().trimmed();
    return !url.isEmpty();
}

void CZelPreference::SetPlateRegUrl(const QString& url) {
    m_tree.Value(m_root, "PLATE_REG_URL") = url.trimmed();
}

bool CZelPreference::SubFolder(Folder base, const QString& first, const QString& second,
                               QString& path) const {
    QString folder;
    if (!GetFolder(base, folder) || first.isEmpty() || second.isEmpty())
        return false;
    const QString one = folder + first;
    const QString two = WithSeparator(one) + second;
    if (!MakeLevel(one) || !MakeLevel(two))
        return false;
    path = WithSeparator(two);
    return true;
}

bool CZelPreference::GetProgressFolder(const QString& first, const QString& second,
                                       QString& path) const {
    return SubFolder(Folder::Progress, first, second, path);
}

bool CZelPreference::GetReleaseFolder(const QString& first, const QString& second,
                                      QString& path) const {
    return SubFolder(Folder::Release, first, second, path);
}

bool CZelPreference::GetPresetFolder(const QString& name, QString& path) const {
    QString folder;
    if (!GetPresetDir(folder))
        return false;
    const QString sub = folder + name;
    if (!MakeLevel(sub))
        return false;
    path = sub;
    return true;
}

bool CZelPreference::GetPresetFolder(const QString& name, const QDateTime& time,
                                     QString& path) const {
    QString sub;
    if (!GetPresetFolder(name, sub))
        return false;
    const QDate date = time.date();
    const QString month = date.isValid() ? QStringLiteral("%1-%2")
                                               .arg(date.year(), 4, 10, QLatin1Char('0'))
                                               .arg(date.month(), 2, 10, QLatin1Char('0'))
                                         : QStringLiteral("0000-00");
    const QString monthFolder = sub + QLatin1Char('/') + month;
    if (!MakeLevel(monthFolder))
        return false;
    path = monthFolder + QLatin1Char('/');
    return true;
}

bool CZelPreference::ListPresetFiles(const QString& name, const QString& extension,
                                     QStringList& names) {
    names.clear();
    QString folder;
    if (!GetPresetFolder(name, folder))
        return false;
    QDirIterator it(folder, {QStringLiteral("*.") + extension},
                    QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        names << it.fileInfo().completeBaseName();
    }
    return true;
}

bool CZelPreference::ListLocalWorkFiles(const QString& extension, QStringList& paths) {
    paths.clear();
    QString folder;
    if (!GetLocalWorkDir(folder))
        return false;
    const QDir dir(folder);
    for (const QString& file : dir.entryList({QStringLiteral("*.") + extension},
                                             QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
        paths << dir.filePath(file);
    return true;
}
