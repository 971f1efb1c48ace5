#pragma once

#include "markupkey.h"
#include "markupvalue.h"
#include "mtitem.h"

// An element with a typed value. Each record kind derives its own item class
// with its key list; a derived class asks its base first, so a name has one
// type throughout a file kind.
class CTzmpItem : public CMTItem {
public:
    using CMTItem::CMTItem;

    MarkupValue& Value() { return m_value; }
    const MarkupValue& Value() const { return m_value; }

    int WriteValue(QByteArray& out) const override;
    int ReadValue(const char* bytes, qsizetype length) override;

    // The key of this name, or nullptr when the item class does not know it.
    // Overrides call their base first and fall back to their own list.
    virtual const MarkupKey* FindKey(QByteArrayView name) const;
    const MarkupKey* Key() const { return FindKey(Name()); }

    // Whether WriteValue writes anything at all; false for read-only records.
    virtual bool WritesValues() const { return true; }

private:
    MarkupValue m_value;
};

// Value text as written: the five characters < > " ' / become "$$" plus their
// two-digit hex code; and the reverse, repeated while a code is still found.
QString EscapeMarkupText(QString text);
QString UnescapeMarkupText(QString text);

// strtol/strtod-like reading of a value: leading white space and a sign are
// accepted, reading stops at the first other character, no digits gives 0.
// Independent of the locale; integers saturate at the 32-bit range.
std::int32_t ParseLeadingInt(QStringView text);
double ParseLeadingDouble(QStringView text);
