// Feeds arbitrary bytes to the markup reader and writes what it kept back:
// no input may crash, leak or hang it, and what was read must be written and
// read again to the same tree.
#include "markup/tzmptree.h"

#include <cstdint>
#include <cstdlib>

namespace {

class FuzzItem : public CTzmpItem {
public:
    using CTzmpItem::CTzmpItem;
    const MarkupKey* FindKey(QByteArrayView name) const override {
        static const MarkupKeyTable keys{{"T", MarkupKeyType::Text},
                                         {"I", MarkupKeyType::Integer},
                                         {"D", MarkupKeyType::Double}};
        if (const MarkupKey* key = CTzmpItem::FindKey(name))
            return key;
        return keys.Find(name);
    }
};

class FuzzTree : public CTzmpTree {
public:
    FuzzItem* CreateItem(QByteArrayView name) override { return new FuzzItem(name); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzTree tree;
    const int count = tree.Parse(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (count != tree.ItemCount())
        std::abort();
    const QByteArray written = tree.Serialize();

    // Names holding "<", ">" or white space at the ends can't survive a
    // rewrite unchanged; for the rest, writing what was read is stable.
    FuzzTree again;
    again.Parse(written.constData(), written.size());
    const QByteArray rewritten = again.Serialize();
    FuzzTree third;
    third.Parse(rewritten.constData(), rewritten.size());
    if (third.Serialize() != rewritten)
        std::abort();

    if (CMTItem* first = tree.FirstChild(nullptr))
        tree.RemoveItem(first);
    return 0;
}
