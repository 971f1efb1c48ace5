#pragma once

#include <QByteArrayView>

#include <initializer_list>
#include <span>
#include <string_view>
#include <unordered_map>

// The type a record kind gives one element name, which decides how its value
// is written and read.
enum class MarkupKeyType { Text, Integer, Double };

struct MarkupKey {
    const char* name;
    MarkupKeyType type;
    int decimals = 3; // digits after the point when a double is written
};

// A fixed list of keys, looked up by exact name.
class MarkupKeyTable {
public:
    MarkupKeyTable(std::initializer_list<MarkupKey> keys);
    explicit MarkupKeyTable(std::span<const MarkupKey> keys);
    const MarkupKey* Find(QByteArrayView name) const;
    template <typename F> void ForEach(F&& f) const {
        for (const auto& [name, key] : m_keys)
            f(key);
    }

private:
    std::unordered_map<std::string_view, MarkupKey> m_keys;
};

const char* KeyTypeLetter(MarkupKeyType type);
