#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cmath>
#include <vector>

// Replays a cutting plan's JSON on its own, knowing nothing of how it was
// made: starting from the sheet, each cut must split exactly one current
// piece edge to edge; at the end every item's trim rectangle must be one
// piece (within 0.01 mm) and no other piece may hold any part of an item.
// Returns every fault found; empty when the plan is right.
namespace cutplanreplay {

struct Rect {
    double x, y, w, h;
};

inline Rect RectOf(const QJsonObject& o) {
    return {o[QLatin1String("x")].toDouble(), o[QLatin1String("y")].toDouble(),
            o[QLatin1String("w")].toDouble(), o[QLatin1String("h")].toDouble()};
}

inline bool Near(const Rect& a, const Rect& b, double tolerance = 0.01) {
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
           std::fabs(a.x + a.w - b.x - b.w) <= tolerance &&
           std::fabs(a.y + a.h - b.y - b.h) <= tolerance;
}

// The area two rectangles share, beyond a hair.
inline bool Overlap(const Rect& a, const Rect& b) {
    const double w = std::min(a.x + a.w, b.x + b.w) - std::max(a.x, b.x);
    const double h = std::min(a.y + a.h, b.y + b.h) - std::max(a.y, b.y);
    return w > 0.01 && h > 0.01;
}

inline QString Text(const Rect& r) {
    return QStringLiteral("(%1, %2, %3 x %4)").arg(r.x).arg(r.y).arg(r.w).arg(r.h);
}

inline QStringList Replay(const QByteArray& json, const Rect& sheet) {
    QStringList faults;
    QJsonParseError parseError;
    const QJsonObject root = QJsonDocument::fromJson(json, &parseError).object();
    if (parseError.error != QJsonParseError::NoError)
        return {QStringLiteral("not JSON: %1").arg(parseError.errorString())};
    std::vector<Rect> pieces{sheet};
    const QJsonArray cuts = root[QLatin1String("cuts")].toArray();
    for (int c = 0; c < cuts.size(); ++c) {
        const QJsonObject cut = cuts[c].toObject();
        const Rect piece = RectOf(cut[QLatin1String("piece")].toObject());
        const QString axis = cut[QLatin1String("axis")].toString();
        const double p = cut[QLatin1String("position_mm")].toDouble();
        std::vector<size_t> matches;
        for (size_t i = 0; i < pieces.size(); ++i)
            if (Near(pieces[i], piece))
                matches.push_back(i);
        if (matches.size() != 1) {
            faults << QStringLiteral("cut %1: %2 current pieces are %3")
                          .arg(c + 1)
                          .arg(matches.size())
                          .arg(Text(piece));
            continue;
        }
        Rect& current = pieces[matches[0]];
        Rect other = current;
        if (axis == QLatin1String("x") && p > current.x + 0.01 &&
            p < current.x + current.w - 0.01) {
            other.x = p;
            other.w = current.x + current.w - p;
            current.w = p - current.x;
        } else if (axis == QLatin1String("y") && p > current.y + 0.01 &&
                   p < current.y + current.h - 0.01) {
            other.y = p;
            other.h = current.y + current.h - p;
            current.h = p - current.y;
        } else {
            faults << QStringLiteral("cut %1 at %2 = %3 does not split %4")
                          .arg(c + 1)
                          .arg(axis)
                          .arg(p)
                          .arg(Text(piece));
            continue;
        }
        pieces.push_back(other);
    }
    std::vector<Rect> items;
    for (const QJsonValue& value : root[QLatin1String("items")].toArray())
        items.push_back(RectOf(value.toObject()));
    std::vector<bool> pieceIsItem(pieces.size(), false);
    for (size_t k = 0; k < items.size(); ++k) {
        int found = 0;
        for (size_t i = 0; i < pieces.size(); ++i)
            if (!pieceIsItem[i] && Near(pieces[i], items[k])) {
                pieceIsItem[i] = true;
                ++found;
                break;
            }
        if (found != 1)
            faults << QStringLiteral("item %1 %2 is not one piece").arg(k).arg(Text(items[k]));
    }
    for (size_t i = 0; i < pieces.size(); ++i)
        for (const Rect& item : items)
            if (!pieceIsItem[i] && Overlap(pieces[i], item))
                faults << QStringLiteral("piece %1 holds part of item %2")
                              .arg(Text(pieces[i]), Text(item));
    if (root[QLatin1String("cut_count")].toInt() != cuts.size())
        faults << QStringLiteral("cut_count %1 for %2 cuts")
                      .arg(root[QLatin1String("cut_count")].toInt())
                      .arg(cuts.size());
    return faults;
}

} // namespace cutplanreplay
