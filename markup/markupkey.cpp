#include "markupkey.h"

MarkupKeyTable::MarkupKeyTable(std::initializer_list<MarkupKey> keys)
    : MarkupKeyTable(std::span<const MarkupKey>(keys.begin(), keys.size())) {}

MarkupKeyTable::MarkupKeyTable(std::span<const MarkupKey> keys) {
    m_keys.reserve(keys.size());
    for (const MarkupKey& key : keys)
        m_keys.emplace(std::string_view(key.name), key);
}

const MarkupKey* MarkupKeyTable::Find(QByteArrayView name) const {
    const auto found = m_keys.find(std::string_view(name.data(), static_cast<size_t>(name.size())));
    return found == m_keys.end() ? nullptr : &found->second;
}

const char* KeyTypeLetter(MarkupKeyType type) {
    switch (type) {
    case MarkupKeyType::Text:
        return "T";
    case MarkupKeyType::Integer:
        return "I";
    case MarkupKeyType::Double:
        return "D";
    }
    return "?";
}
