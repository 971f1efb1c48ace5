#pragma once

#include "markup/cp949.h"
#include "markup/tzmptree.h"

#include <string>

// A record kind for tests: text "T", integer "I", double "D", and "Q", a
// double written with one decimal.
class TestItem : public CTzmpItem {
public:
    using CTzmpItem::CTzmpItem;
    const MarkupKey* FindKey(QByteArrayView name) const override {
        static const MarkupKeyTable keys{{"T", MarkupKeyType::Text},
                                         {"I", MarkupKeyType::Integer},
                                         {"D", MarkupKeyType::Double},
                                         {"Q", MarkupKeyType::Double, 1}};
        if (const MarkupKey* key = CTzmpItem::FindKey(name))
            return key;
        return keys.Find(name);
    }
};

class TestTree : public CTzmpTree {
public:
    TestItem* CreateItem(QByteArrayView name) override { return new TestItem(name); }
};

// The tree in one line: name, "=value" when set, children in parentheses.
inline std::string Describe(const CMTItem* first) {
    std::string out;
    for (const CMTItem* item = first; item; item = item->NextSibling()) {
        if (!out.empty())
            out += ",";
        out += cp949::ToUnicode(item->Name()).toStdString();
        const auto& value = static_cast<const CTzmpItem*>(item)->Value();
        if (!value.isEmpty())
            out += "=" + value.toString().toStdString();
        if (item->FirstChild())
            out += "(" + Describe(item->FirstChild()) + ")";
    }
    return out;
}

inline std::string Describe(const CMarkupTree& tree) {
    return Describe(tree.FirstChild(nullptr));
}
