#pragma once

#include "docpresettree.h"
#include "logfont.h"

#include <QStringList>

// A named set of plate properties stored as a ".tzdp" file in the document
// preset folder; also the first part of every imposition document, whose
// class derives from this one.
//
// Accessors of a non-const object return the value of their key under its
// section for writing (created empty when missing); the reference is valid
// until the next Load of this object. Accessors of a const object return a
// copy of the value (empty when missing) and never change the tree: readers
// take the record as const. The sections themselves are added on
// construction and after every Load (BuildStructure).
class CZelDocumentPreset {
public:
    static constexpr char kDocumentType[] = "Imposer Document Preset";
    static constexpr char kExtension[] = "tzdp";

    // The sides of a sheet, in the order the files list them; the plate's
    // by-side settings are arrays in this order.
    enum Edge { Top, Left, Bottom, Right };
    // The eight colour bar positions, each named by two plate edges.
    enum class ColorBarPosition {
        TopLeft,
        LeftTop,
        TopRight,
        RightTop,
        LeftBottom,
        BottomLeft,
        RightBottom,
        BottomRight
    };
    enum class FontKind { Title, Barcode };

    CZelDocumentPreset();
    CZelDocumentPreset(const CZelDocumentPreset&) = delete;
    CZelDocumentPreset& operator=(const CZelDocumentPreset&) = delete;
    virtual ~CZelDocumentPreset();

    // Binds the header and the sections, adding what is missing.
    virtual void BuildStructure();

    // Loads a file. On success the sections are bound again and the header
    // set to this kind. A file that cannot be read leaves the object as it
    // was; a file that gives no element leaves an empty, valid structure.
    bool Load(const QString& path);
    // Load for a file that is edited and written back: it also fails, saying
    // where and why, when the parse stopped early (writing back would drop
    // the rest) or when the file's DOCUMENT_TYPE is not documentType. The
    // object then holds what was read and must not be saved over the file.
    bool LoadWhole(const QString& path, const char* documentType);
    bool Save(const QString& path);
    const QString& Path() const { return m_path; }
    // Why the last Load or Save failed, or what a partial load dropped.
    const QString& LastError() const;

    CDocumentTree& Tree() { return m_tree; }
    CTzmpItem* Root() const { return m_root; }

    MarkupValue& Name();
    MarkupValue Name() const;

    // PLATE_INFORMATION
    MarkupValue& PaperType() { return Plate("PAPER_TYPE"); }
    MarkupValue PaperType() const { return Plate("PAPER_TYPE"); }
    MarkupValue& PaperSide() { return Plate("PAPER_SIDE"); }
    MarkupValue PaperSide() const { return Plate("PAPER_SIDE"); }
    MarkupValue& Color(bool sideB) { return Plate(sideB ? "COLOR_B" : "COLOR_A"); }
    MarkupValue Color(bool sideB) const { return Plate(sideB ? "COLOR_B" : "COLOR_A"); }
    MarkupValue& Imposition() { return Plate("IMPOSITION"); }
    MarkupValue Imposition() const { return Plate("IMPOSITION"); }
    MarkupValue& Quantity() { return Plate("QUANTITY"); }
    MarkupValue Quantity() const { return Plate("QUANTITY"); }
    MarkupValue& PressUnit() { return Plate("PRESS_UNIT"); }
    MarkupValue PressUnit() const { return Plate("PRESS_UNIT"); }
    MarkupValue& PQuantity() { return Plate("PQUANTITY"); }
    MarkupValue PQuantity() const { return Plate("PQUANTITY"); }
    MarkupValue& Comment() { return Plate("COMMENT"); }
    MarkupValue Comment() const { return Plate("COMMENT"); }
    MarkupValue& AfterWork() { return Plate("AFTER_WORK"); }
    MarkupValue AfterWork() const { return Plate("AFTER_WORK"); }

    // PAPER_PROPERTY
    MarkupValue& Size() { return Paper("SIZE"); }
    MarkupValue Size() const { return Paper("SIZE"); }
    MarkupValue& Width() { return Paper("WIDTH"); }
    MarkupValue Width() const { return Paper("WIDTH"); }
    MarkupValue& Height() { return Paper("HEIGHT"); }
    MarkupValue Height() const { return Paper("HEIGHT"); }
    MarkupValue& Margin(Edge edge);
    MarkupValue Margin(Edge edge) const;
    MarkupValue& GridWidth() { return Paper("GRID_WIDTH"); }
    MarkupValue GridWidth() const { return Paper("GRID_WIDTH"); }
    MarkupValue& GridHeight() { return Paper("GRID_HEIGHT"); }
    MarkupValue GridHeight() const { return Paper("GRID_HEIGHT"); }
    MarkupValue& CutMargin(Edge edge);
    MarkupValue CutMargin(Edge edge) const;

    // IMPOSE_PROPERTY
    MarkupValue& ArrangeDirection() { return Impose("ARRANGE_DIRECTION"); }
    MarkupValue ArrangeDirection() const { return Impose("ARRANGE_DIRECTION"); }
    MarkupValue& ArrangeMaxJob() { return Impose("ARRANGE_MAX_JOB"); }
    MarkupValue ArrangeMaxJob() const { return Impose("ARRANGE_MAX_JOB"); }
    MarkupValue& TitlePosition() { return Impose("TITLE_POSITION"); }
    MarkupValue TitlePosition() const { return Impose("TITLE_POSITION"); }
    MarkupValue& TitleItems() { return Impose("TITLE_ITEMS"); }
    MarkupValue TitleItems() const { return Impose("TITLE_ITEMS"); }
    MarkupValue& TitleAlign() { return Impose("TITLE_ALIGN"); }
    MarkupValue TitleAlign() const { return Impose("TITLE_ALIGN"); }
    MarkupValue& PlateCrop(Edge edge);
    MarkupValue PlateCrop(Edge edge) const;
    MarkupValue& ColorBar(ColorBarPosition position);
    MarkupValue ColorBar(ColorBarPosition position) const;
    MarkupValue& ColorBarAlign() { return Impose("COLOR_BAR_ALIGN"); }
    MarkupValue ColorBarAlign() const { return Impose("COLOR_BAR_ALIGN"); }
    MarkupValue& ColorBarName() { return Impose("COLOR_BAR_NAME"); }
    MarkupValue ColorBarName() const { return Impose("COLOR_BAR_NAME"); }
    MarkupValue& RegistrationMark(Edge edge);
    MarkupValue RegistrationMark(Edge edge) const;
    MarkupValue& RegistrationMarkAlign() { return Impose("REGISTRATION_MARK_ALIGN"); }
    MarkupValue RegistrationMarkAlign() const { return Impose("REGISTRATION_MARK_ALIGN"); }
    MarkupValue& RegistrationMarkName() { return Impose("REGISTRATION_MARK_NAME"); }
    MarkupValue RegistrationMarkName() const { return Impose("REGISTRATION_MARK_NAME"); }

    // False when the font element is missing.
    bool GetFont(FontKind kind, LogFont& font) const;
    void SetFont(FontKind kind, const LogFont& font);

    // Free lines: the first "LINES" under the root (or nullptr), its lines,
    // and their keys.
    CTzmpItem* Lines() const;
    CTzmpItem* FirstLine() const;
    CTzmpItem* AddLines();
    CTzmpItem* AddLine(CTzmpItem* lines);
    void RemoveAllLines();
    MarkupValue& LineValue(CTzmpItem* line, const char* key) { return m_tree.Value(line, key); }
    MarkupValue LineValue(const CTzmpItem* line, const char* key) const {
        return m_tree.ValueOr(line, key);
    }

    // Replaces this object's lines by a copy of the source's; a source without
    // "LINES" leaves them untouched.
    void CopyLines(const CZelDocumentPreset& source);

    // The preset folder (created when missing) and the path of a named preset.
    static QString Folder();
    static QString PathOf(const QString& presetName);
    // Base names of the presets in the folder, sorted by name; false when the
    // folder is missing and cannot be created.
    static bool ListPresets(QStringList& names);

protected:
    MarkupValue& Plate(const char* key) { return m_tree.Value(m_plateInformation, key); }
    MarkupValue& Paper(const char* key) { return m_tree.Value(m_paperProperty, key); }
    MarkupValue& Impose(const char* key) { return m_tree.Value(m_imposeProperty, key); }
    MarkupValue Plate(const char* key) const { return m_tree.ValueOr(m_plateInformation, key); }
    MarkupValue Paper(const char* key) const { return m_tree.ValueOr(m_paperProperty, key); }
    MarkupValue Impose(const char* key) const { return m_tree.ValueOr(m_imposeProperty, key); }

    QString m_path;
    CDocumentTree m_tree;
    CTzmpItem* m_root = nullptr;
    CTzmpItem* m_plateInformation = nullptr;
    CTzmpItem* m_paperProperty = nullptr;
    CTzmpItem* m_imposeProperty = nullptr;

private:
    QString m_loadError;
    QString m_fileType; // DOCUMENT_TYPE as the last loaded file had it
};
