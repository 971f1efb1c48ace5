#include "zeldocumentpreset.h"

#include "fontrecord.h"
#include "programfolder.h"
#include "recordkinds.h"

#include <QDir>

namespace {
const char* FontElement(CZelDocumentPreset::FontKind kind) {
    return kind == CZelDocumentPreset::FontKind::Title ? "TITLE_FONT" : "BARCODE_FONT";
}
const char* const kLineKeys[] = {"LINE_DIR",    "LINE_START",  "LINE_END",
                                 "LINE_OFFSET", "LINE_WEIGHT", "LINE_COLOR"};
} // namespace

CZelDocumentPreset::CZelDocumentPreset() {
    CZelDocumentPreset::BuildStructure();
}

CZelDocumentPreset::~CZelDocumentPreset() = default;

void CZelDocumentPreset::BuildStructure() {
    m_root = m_tree.SetHeader(QString::fromLatin1(kDocumentType));
    m_tree.GetOrAddChild(m_root, "NAME");
    m_plateInformation = m_tree.GetOrAddChild(m_root, "PLATE_INFORMATION");
    m_paperProperty = m_tree.GetOrAddChild(m_root, "PAPER_PROPERTY");
    m_imposeProperty = m_tree.GetOrAddChild(m_root, "IMPOSE_PROPERTY");
}

bool CZelDocumentPreset::Load(const QString& path) {
    m_path = path;
    m_loadError.clear();
    const int result = m_tree.LoadFile(path);
    if (result < 0) {
        m_loadError = m_tree.LastFileError();
        return false;
    }
    // The header is rewritten to this kind below; remember what the file said.
    const CTzmpItem* root = m_tree.GetRoot();
    const CTzmpItem* type =
        root ? CTzmpTree::Typed(m_tree.FindChild(root, "DOCUMENT_TYPE")) : nullptr;
    m_fileType = type ? type->Value().toString() : QString();
    // Even a failed parse has cleared the tree: bind a fresh structure so
    // that no reference points into deleted items.
    BuildStructure();
    if (result == 0) {
        m_loadError = QStringLiteral("%1: no element in the file").arg(path);
        return false;
    }
    if (!m_tree.LastParseReport().complete)
        m_loadError = QStringLiteral("%1: %2").arg(path, m_tree.LastParseReport().reason);
    return true;
}

bool CZelDocumentPreset::LoadWhole(const QString& path, const char* documentType) {
    const bool loaded = Load(path);
    if (!loaded && !m_tree.LastFileError().isEmpty())
        return false; // missing, a folder, unreadable
    // Another kind of file given by mistake is named as what it is, not
    // reported as a damaged one.
    if (!loaded || m_fileType != QLatin1String(documentType)) {
        const RecordKind* wanted = RecordKindOfType(QLatin1String(documentType));
        const QString expected =
            wanted ? wanted->description
                   : QStringLiteral("\"%1\" file").arg(QLatin1String(documentType));
        const QString actual = WhatFileIs(path);
        if (!actual.isEmpty()) {
            m_loadError = QStringLiteral("%1: not a %2 (it is a %3)").arg(path, expected, actual);
            return false;
        }
        if (!loaded)
            return false;
        if (m_tree.LastParseReport().complete) {
            m_loadError =
                QStringLiteral("%1: not a %2 (it has no DOCUMENT_TYPE)").arg(path, expected);
            return false;
        }
    }
    const MarkupParseReport& report = m_tree.LastParseReport();
    if (!report.complete) {
        m_loadError = QStringLiteral("%1: the file is damaged, it was left as it is: %2")
                          .arg(path, report.reason);
        return false;
    }
    return true;
}

bool CZelDocumentPreset::Save(const QString& path) {
    m_loadError.clear();
    return m_tree.SaveFile(path) >= 0;
}

const QString& CZelDocumentPreset::LastError() const {
    return m_tree.LastFileError().isEmpty() ? m_loadError : m_tree.LastFileError();
}

MarkupValue& CZelDocumentPreset::Name() {
    return m_tree.Value(m_root, "NAME");
}
MarkupValue CZelDocumentPreset::Name() const {
    return m_tree.ValueOr(m_root, "NAME");
}

namespace {
int Index(CZelDocumentPreset::Edge edge) {
    return static_cast<int>(edge);
}
const char* const kMarginKeys[] = {"MARGIN_TOP", "MARGIN_LEFT", "MARGIN_BOTTOM", "MARGIN_RIGHT"};
const char* const kCutMarginKeys[] = {"CUT_MARGIN_TOP", "CUT_MARGIN_LEFT", "CUT_MARGIN_BOTTOM",
                                      "CUT_MARGIN_RIGHT"};
const char* const kPlateCropKeys[] = {"PLATE_CROP_TOP", "PLATE_CROP_LEFT", "PLATE_CROP_BOTTOM",
                                      "PLATE_CROP_RIGHT"};
const char* const kRegistrationKeys[] = {"REGISTRATION_MARK_TOP", "REGISTRATION_MARK_LEFT",
                                         "REGISTRATION_MARK_BOTTOM", "REGISTRATION_MARK_RIGHT"};
} // namespace

MarkupValue& CZelDocumentPreset::Margin(Edge edge) {
    return Paper(kMarginKeys[Index(edge)]);
}
MarkupValue& CZelDocumentPreset::CutMargin(Edge edge) {
    return Paper(kCutMarginKeys[Index(edge)]);
}
MarkupValue& CZelDocumentPreset::PlateCrop(Edge edge) {
    return Impose(kPlateCropKeys[Index(edge)]);
}
MarkupValue& CZelDocumentPreset::RegistrationMark(Edge edge) {
    return Impose(kRegistrationKeys[Index(edge)]);
}
MarkupValue CZelDocumentPreset::Margin(Edge edge) const {
    return Paper(kMarginKeys[Index(edge)]);
}
MarkupValue CZelDocumentPreset::CutMargin(Edge edge) const {
    return Paper(kCutMarginKeys[Index(edge)]);
}
MarkupValue CZelDocumentPreset::PlateCrop(Edge edge) const {
    return Impose(kPlateCropKeys[Index(edge)]);
}
MarkupValue CZelDocumentPreset::RegistrationMark(Edge edge) const {
    return Impose(kRegistrationKeys[Index(edge)]);
}

namespace {
const char* const kColorBarKeys[] = {"COLORBAR_TOP-LEFT",     "COLORBAR_LEFT-TOP",
                                     "COLORBAR_TOP-RIGHT",    "COLORBAR_RIGHT-TOP",
                                     "COLORBAR_LEFT-BOTTOM",  "COLORBAR_BOTTOM-LEFT",
                                     "COLORBAR_RIGHT-BOTTOM", "COLORBAR_BOTTOM-RIGHT"};
} // namespace

MarkupValue& CZelDocumentPreset::ColorBar(ColorBarPosition position) {
    return Impose(kColorBarKeys[static_cast<int>(position)]);
}
MarkupValue CZelDocumentPreset::ColorBar(ColorBarPosition position) const {
    return Impose(kColorBarKeys[static_cast<int>(position)]);
}

bool CZelDocumentPreset::GetFont(FontKind kind, LogFont& font) const {
    const CMTItem* element = m_tree.FindChild(m_imposeProperty, FontElement(kind));
    if (!element)
        return false;
    fontrecord::Read(m_tree, element, "", font);
    return true;
}

void CZelDocumentPreset::SetFont(FontKind kind, const LogFont& font) {
    fontrecord::Write(m_tree, m_tree.GetOrAddChild(m_imposeProperty, FontElement(kind)), "", font);
}

CTzmpItem* CZelDocumentPreset::Lines() const {
    return CTzmpTree::Typed(m_tree.FindChild(m_root, "LINES"));
}

CTzmpItem* CZelDocumentPreset::FirstLine() const {
    CTzmpItem* lines = Lines();
    return lines ? CTzmpTree::Typed(m_tree.FindChild(lines, "LINE")) : nullptr;
}

CTzmpItem* CZelDocumentPreset::AddLines() {
    CTzmpItem* lines = m_tree.CreateItem("LINES");
    m_tree.InsertItem(lines, m_root, CMarkupTree::Position::Last);
    return lines;
}

CTzmpItem* CZelDocumentPreset::AddLine(CTzmpItem* lines) {
    CTzmpItem* line = m_tree.CreateItem("LINE");
    m_tree.InsertItem(line, lines, CMarkupTree::Position::Last);
    return line;
}

void CZelDocumentPreset::RemoveAllLines() {
    while (CMTItem* lines = m_tree.FindChild(m_root, "LINES"))
        m_tree.RemoveItem(lines);
}

void CZelDocumentPreset::CopyLines(const CZelDocumentPreset& source) {
    CTzmpItem* sourceLines = source.Lines();
    if (!sourceLines)
        return;
    if (CMTItem* own = m_tree.FindChild(m_root, "LINES"))
        m_tree.RemoveItem(own);
    CTzmpItem* lines = AddLines();
    // From the first "LINE" on, every following sibling counts as a line.
    for (CMTItem* from = source.FirstLine(); from; from = from->NextSibling()) {
        CTzmpItem* to = AddLine(lines);
        for (const char* key : kLineKeys)
            m_tree.Value(to, key) = source.m_tree.ValueOr(from, key);
    }
}

QString CZelDocumentPreset::Folder() {
    return programfolder::DocumentPresetsFolder();
}

QString CZelDocumentPreset::PathOf(const QString& presetName) {
    return QDir(Folder()).filePath(presetName + QLatin1Char('.') + QLatin1String(kExtension));
}

bool CZelDocumentPreset::ListPresets(QStringList& names) {
    names.clear();
    const QString folder = Folder();
    if (!QDir().mkpath(folder))
        return false;
    const QDir dir(folder);
    const QStringList files = dir.entryList({QStringLiteral("*.") + QLatin1String(kExtension)},
                                            QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& file : files)
        names << file.left(file.lastIndexOf(QLatin1Char('.')));
    return true;
}
