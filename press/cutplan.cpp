#include "cutplan.h"

#include "engine/tesseldoc.h"
#include "engine/zelitem.h"
#include "press/platemarks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

// Edges closer than this are one edge: grid arithmetic leaves hairs, and no
// cutter sets its gauge finer.
constexpr double kEps = 0.001;

using Axis = CutPlan::Axis;

double Lo(const CZelBound& b, Axis a) {
    return a == Axis::X ? b.x : b.y;
}
double Hi(const CZelBound& b, Axis a) {
    return a == Axis::X ? b.Right() : b.Bottom();
}

// The two parts of a piece cut at position along axis.
CZelBound Part(const CZelBound& piece, Axis a, double from, double to) {
    CZelBound part = piece;
    if (a == Axis::X) {
        part.x = from;
        part.width = to - from;
    } else {
        part.y = from;
        part.height = to - from;
    }
    return part;
}

bool Same(const CZelBound& a, const CZelBound& b) {
    return std::abs(a.x - b.x) <= kEps && std::abs(a.y - b.y) <= kEps &&
           std::abs(a.Right() - b.Right()) <= kEps && std::abs(a.Bottom() - b.Bottom()) <= kEps;
}

// The search for the cheapest plan: for a piece, either take off its margins
// along one axis or cut all its strips along one axis, then the same for
// every part. Pieces are remembered by their rectangle (and the way they were
// cut off), since the items in a piece follow from it.
class Planner {
public:
    explicit Planner(const std::vector<CutPlan::Item>& items) : m_items(items) {}

    struct Choice {
        bool valid = false;
        int cuts = 0;
        int turns = 0;
        Axis axis = Axis::X;
        std::vector<double> positions; // ascending
    };

    // incoming: 0 the sheet, 1 cut off by an x cut, 2 by a y cut.
    const Choice& Solve(const CZelBound& piece, int incoming, const std::vector<int>& inside) {
        const Key key{std::llround(piece.x * 1e4), std::llround(piece.y * 1e4),
                      std::llround(piece.width * 1e4), std::llround(piece.height * 1e4), incoming};
        if (auto found = m_memo.find(key); found != m_memo.end())
            return found->second;
        Choice best;
        if (inside.empty() || (inside.size() == 1 && Same(piece, m_items[inside[0]].trim))) {
            best.valid = true; // waste, or a finished item
        } else {
            for (bool marginsOnly : {true, false})
                for (Axis axis : {Axis::X, Axis::Y})
                    Try(piece, incoming, inside, axis, marginsOnly, best);
            if (!best.valid && m_stuck.empty())
                m_stuck = inside;
        }
        return m_memo.emplace(key, best).first->second;
    }

    // Positions of the cuts along axis: the margins only, or every strip edge.
    std::vector<double> Positions(const CZelBound& piece, const std::vector<int>& inside, Axis axis,
                                  bool marginsOnly) const {
        std::vector<std::pair<double, double>> spans;
        for (int i : inside)
            spans.push_back({Lo(m_items[i].trim, axis), Hi(m_items[i].trim, axis)});
        std::sort(spans.begin(), spans.end());
        // Strips: items whose spans overlap (beyond a hair) stand in one strip.
        std::vector<std::pair<double, double>> strips;
        for (const auto& span : spans) {
            if (!strips.empty() && span.first < strips.back().second - kEps)
                strips.back().second = std::max(strips.back().second, span.second);
            else
                strips.push_back(span);
        }
        std::vector<double> positions;
        auto add = [&positions](double p) {
            if (positions.empty() || p > positions.back() + kEps)
                positions.push_back(p);
        };
        if (strips.front().first > Lo(piece, axis) + kEps)
            add(strips.front().first);
        if (!marginsOnly) {
            for (size_t s = 0; s + 1 < strips.size(); ++s) {
                add(strips[s].second);
                add(strips[s + 1].first);
            }
        }
        if (strips.back().second < Hi(piece, axis) - kEps)
            add(strips.back().second);
        return positions;
    }

    // Items of inside that lie in part.
    std::vector<int> Within(const CZelBound& part, Axis axis,
                            const std::vector<int>& inside) const {
        std::vector<int> result;
        for (int i : inside) {
            const CZelBound& t = m_items[i].trim;
            if (Lo(t, axis) >= Lo(part, axis) - kEps && Hi(t, axis) <= Hi(part, axis) + kEps)
                result.push_back(i);
        }
        return result;
    }

    const std::vector<int>& Stuck() const { return m_stuck; }

private:
    using Key = std::array<long long, 5>;

    void Try(const CZelBound& piece, int incoming, const std::vector<int>& inside, Axis axis,
             bool marginsOnly, Choice& best) {
        std::vector<double> positions = Positions(piece, inside, axis, marginsOnly);
        if (positions.empty())
            return;
        Choice option;
        option.valid = true;
        option.axis = axis;
        option.cuts = static_cast<int>(positions.size());
        const int axisCode = axis == Axis::X ? 1 : 2;
        option.turns = incoming != 0 && incoming != axisCode ? 1 : 0;
        double from = Lo(piece, axis);
        for (size_t k = 0; k <= positions.size(); ++k) {
            const double to = k < positions.size() ? positions[k] : Hi(piece, axis);
            const CZelBound part = Part(piece, axis, from, to);
            const Choice& sub = Solve(part, axisCode, Within(part, axis, inside));
            if (!sub.valid)
                return;
            option.cuts += sub.cuts;
            option.turns += sub.turns;
            from = to;
        }
        option.positions = std::move(positions);
        if (!best.valid || option.cuts < best.cuts ||
            (option.cuts == best.cuts && option.turns < best.turns))
            best = std::move(option);
    }

    const std::vector<CutPlan::Item>& m_items;
    std::map<Key, Choice> m_memo;
    std::vector<int> m_stuck;
};

// Writes the chosen cuts in cutting order: a piece's cuts from the far side
// towards its reference edge, each taking the part beyond the knife off, then
// its parts from the reference edge on.
void Emit(Planner& planner, CutPlan& plan, const CZelBound& piece, int number, int incoming,
          const std::vector<int>& inside, int& pieces) {
    const Planner::Choice choice = planner.Solve(piece, incoming, inside);
    if (choice.positions.empty()) {
        if (inside.empty())
            plan.waste.push_back(piece);
        return;
    }
    const Axis axis = choice.axis;
    const int axisCode = axis == Axis::X ? 1 : 2;
    const double lo = Lo(piece, axis);
    std::vector<int> numbers(choice.positions.size() + 1, number);
    for (size_t k = choice.positions.size(); k-- > 0;) {
        CutPlan::Cut cut;
        cut.step = static_cast<int>(plan.cuts.size()) + 1;
        cut.piece = number;
        cut.pieceBound =
            Part(piece, axis, lo,
                 k + 1 < choice.positions.size() ? choice.positions[k + 1] : Hi(piece, axis));
        cut.axis = axis;
        cut.position = choice.positions[k];
        cut.backGauge = cut.position - lo;
        cut.turn = k + 1 == choice.positions.size() && incoming != 0 && incoming != axisCode;
        plan.cuts.push_back(cut);
        numbers[k + 1] = ++pieces;
    }
    double from = lo;
    for (size_t k = 0; k <= choice.positions.size(); ++k) {
        const double to = k < choice.positions.size() ? choice.positions[k] : Hi(piece, axis);
        const CZelBound part = Part(piece, axis, from, to);
        Emit(planner, plan, part, numbers[k], axisCode, planner.Within(part, axis, inside), pieces);
        from = to;
    }
}

double Rounded(double v) {
    return std::round(v * 1e6) / 1e6;
}

QJsonObject BoundJson(const CZelBound& b) {
    return {{QStringLiteral("x"), Rounded(b.x)},
            {QStringLiteral("y"), Rounded(b.y)},
            {QStringLiteral("w"), Rounded(b.width)},
            {QStringLiteral("h"), Rounded(b.height)}};
}

QString Mm(double v) {
    return QString::number(v, 'f', 2);
}

} // namespace

std::vector<CutPlan::Item> CutPlanItems(const CTesselDoc& doc) {
    const PlateProperties& p = doc.Properties();
    // The second half of a turned work-and-turn sheet is a copy of the first,
    // mirrored; its own cut lines are mirrored with it, as its marks are.
    const int mirror = CPlateMarks::MirrorMode(doc, 0, true);
    std::vector<CutPlan::Item> items;
    for (int i = 0; i < doc.ItemCount(); ++i) {
        const CZelItem& item = *doc.ItemAt(i);
        if (!doc.InsideLayoutArea(item))
            continue; // not printed
        CZelBound trim = item.Bounds();
        if (item.ownCut) {
            trim.x += item.crop[0];
            trim.y += item.crop[1];
            trim.width -= item.crop[0] + item.crop[2];
            trim.height -= item.crop[1] + item.crop[3];
        }
        items.push_back({item.ordernum, item.product, trim, false});
        if (doc.Geometry().workAndTurn && mirror != 0) {
            CZelBound turned = trim;
            if (mirror == 1)
                turned.x = p.width - trim.Right();
            else
                turned.y = p.height - trim.Bottom();
            items.push_back({item.ordernum, item.product, turned, true});
        }
    }
    return items;
}

Result<CutPlan> MakeCutPlan(const CTesselDoc& doc) {
    const PlateProperties& p = doc.Properties();
    if (p.width <= 0 || p.height <= 0)
        return Failure(QStringLiteral("the plate has no sheet size"));
    return PlanCuts(CZelBound{0, 0, p.width, p.height}, CutPlanItems(doc));
}

Result<CutPlan> PlanCuts(const CZelBound& sheet, std::vector<CutPlan::Item> items) {
    for (const CutPlan::Item& item : items) {
        const CZelBound& t = item.trim;
        if (!(t.width > kEps && t.height > kEps))
            return Failure(QStringLiteral("order %1: its own cut lines leave nothing of the item")
                               .arg(item.ordernum));
        if (t.x < sheet.x - kEps || t.y < sheet.y - kEps || t.Right() > sheet.Right() + kEps ||
            t.Bottom() > sheet.Bottom() + kEps)
            return Failure(QStringLiteral("order %1 runs over the sheet's edge and cannot be cut "
                                          "out whole")
                               .arg(item.ordernum));
    }
    CutPlan plan;
    plan.sheet = sheet;
    plan.items = std::move(items);
    std::vector<int> all(plan.items.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<int>(i);
    Planner planner(plan.items);
    if (!planner.Solve(sheet, 0, all).valid) {
        QStringList orders;
        for (int i : planner.Stuck())
            if (!orders.contains(plan.items[i].ordernum))
                orders << plan.items[i].ordernum;
        return Failure(QStringLiteral("items overlap or interlock so that no edge-to-edge cut "
                                      "parts them: orders %1")
                           .arg(orders.join(QStringLiteral(", "))));
    }
    int pieces = 1;
    Emit(planner, plan, sheet, 1, 0, all, pieces);
    for (const CutPlan::Cut& cut : plan.cuts)
        plan.turns += cut.turn ? 1 : 0;

    // Every distinct item edge inside the sheet cut through the whole sheet:
    // the lines of one direction first, then those of the other through every
    // strip the first made; the cheaper of the two orders.
    int lines[2] = {0, 0};
    for (Axis axis : {Axis::X, Axis::Y}) {
        std::vector<double> edges;
        for (const CutPlan::Item& item : plan.items)
            for (double e : {Lo(item.trim, axis), Hi(item.trim, axis)})
                if (e > Lo(sheet, axis) + kEps && e < Hi(sheet, axis) - kEps)
                    edges.push_back(e);
        std::sort(edges.begin(), edges.end());
        double last = -1e300;
        for (double e : edges) {
            if (e > last + kEps)
                ++lines[axis == Axis::X ? 0 : 1];
            last = e;
        }
    }
    plan.naiveCuts =
        std::min(lines[0] + lines[1] * (lines[0] + 1), lines[1] + lines[0] * (lines[1] + 1));
    return plan;
}

QString cutplan::AxisName(CutPlan::Axis axis) {
    return axis == CutPlan::Axis::X ? QStringLiteral("x") : QStringLiteral("y");
}

QByteArray cutplan::ToJson(const CutPlan& plan) {
    QJsonArray cuts;
    for (const CutPlan::Cut& cut : plan.cuts)
        cuts.append(QJsonObject{{QStringLiteral("step"), cut.step},
                                {QStringLiteral("piece_number"), cut.piece},
                                {QStringLiteral("piece"), BoundJson(cut.pieceBound)},
                                {QStringLiteral("axis"), AxisName(cut.axis)},
                                {QStringLiteral("position_mm"), Rounded(cut.position)},
                                {QStringLiteral("back_gauge_mm"), Rounded(cut.backGauge)},
                                {QStringLiteral("turn"), cut.turn}});
    QJsonArray items;
    for (const CutPlan::Item& item : plan.items) {
        QJsonObject object = BoundJson(item.trim);
        object.insert(QStringLiteral("ordernum"), item.ordernum);
        object.insert(QStringLiteral("product"), item.product);
        object.insert(QStringLiteral("turned"), item.turned);
        items.append(object);
    }
    QJsonArray waste;
    for (const CZelBound& piece : plan.waste)
        waste.append(BoundJson(piece));
    const QJsonObject root{{QStringLiteral("sheet"), BoundJson(plan.sheet)},
                           {QStringLiteral("cuts"), cuts},
                           {QStringLiteral("items"), items},
                           {QStringLiteral("waste"), waste},
                           {QStringLiteral("cut_count"), static_cast<int>(plan.cuts.size())},
                           {QStringLiteral("turn_count"), plan.turns},
                           {QStringLiteral("naive_cut_count"), plan.naiveCuts}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray cutplan::ToCsv(const CutPlan& plan) {
    QByteArray csv = "step,piece,turn,axis,back_gauge_mm,piece_width_mm,piece_height_mm\r\n";
    for (const CutPlan::Cut& cut : plan.cuts) {
        const QStringList fields{QString::number(cut.step),
                                 QString::number(cut.piece),
                                 cut.turn ? QStringLiteral("1") : QStringLiteral("0"),
                                 AxisName(cut.axis),
                                 Mm(cut.backGauge),
                                 Mm(cut.pieceBound.width),
                                 Mm(cut.pieceBound.height)};
        csv += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return csv;
}

QString cutplan::ToText(const CutPlan& plan) {
    QString text = QStringLiteral("sheet %1 x %2 mm, %3 items: %4 cuts, %5 turns (cutting every "
                                  "item edge through the sheet: %6 cuts)\n")
                       .arg(Mm(plan.sheet.width), Mm(plan.sheet.height))
                       .arg(plan.items.size())
                       .arg(plan.cuts.size())
                       .arg(plan.turns)
                       .arg(plan.naiveCuts);
    for (const CutPlan::Cut& cut : plan.cuts)
        text += QStringLiteral("%1. %2piece %3 (%4 x %5 mm): cut at %6 = %7 mm, back gauge %8 mm\n")
                    .arg(cut.step)
                    .arg(cut.turn ? QStringLiteral("turn, ") : QString())
                    .arg(cut.piece)
                    .arg(Mm(cut.pieceBound.width), Mm(cut.pieceBound.height), AxisName(cut.axis),
                         Mm(cut.position), Mm(cut.backGauge));
    text += QStringLiteral("items:\n");
    for (const CutPlan::Item& item : plan.items)
        text +=
            QStringLiteral("  %1%2 at %3, %4 mm, %5 x %6 mm\n")
                .arg(item.ordernum, item.turned ? QStringLiteral(" (turned half)") : QString(),
                     Mm(item.trim.x), Mm(item.trim.y), Mm(item.trim.width), Mm(item.trim.height));
    return text;
}
