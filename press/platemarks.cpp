#include "platemarks.h"

#include "engine/tesseldoc.h"
#include "engine/textboxpicture.h"
#include "pdfbinding/presscolour.h"

#include "pdfbinding/pdfserver.h"
#include "records/progresssink.h"
#include "records/zelpressmarkpresets.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

using Edge = PlateProperties::Edge;
constexpr double kEps = PlateGeometry::kTolerance;
constexpr double kMarkWidth = 0.25;
constexpr double kPlateMarkLength = 2.0;
constexpr double kOwnMarkLength = 1.0;
constexpr double kLineWidth = 0.3;
// A corrupt grid must not make millions of marks.
constexpr int kMaxMarks = 5000;

bool Near(double a, double b) {
    return std::fabs(a - b) <= kEps;
}

int Normalized(int angle) {
    return ((angle % 360) + 360) % 360;
}

} // namespace

CPlateMarks::CPlateMarks(const CTesselDoc& doc, CPDFServer& pdf, const CZelColorPresets* colors,
                         ProgressSink* progress)
    : m_doc(doc), m_pdf(pdf), m_colors(colors), m_progress(progress) {}

int CPlateMarks::MirrorMode(const CTesselDoc& doc, int side, bool secondHalf) {
    const PlateGeometry& g = doc.Geometry();
    const int turn = doc.Properties().turnDirection;
    const int byTurn = turn == 0 ? 1 : turn == 1 ? 2 : 0;
    if (g.workAndTurn)
        return secondHalf && side != g.labelSide ? byTurn : 0;
    return side == 1 && side != g.labelSide ? byTurn : 0;
}

bool CPlateMarks::HasSecondHalf(const CTesselDoc& doc, int side) {
    return doc.Geometry().workAndTurn && side != doc.Geometry().labelSide;
}

CPlateMarks::Margins CPlateMarks::SideMargins(int mode) const {
    Margins m = m_doc.Properties().margin;
    if (mode == 1)
        std::swap(m[Edge::Left], m[Edge::Right]);
    else if (mode == 2)
        std::swap(m[Edge::Top], m[Edge::Bottom]);
    return m;
}

bool CPlateMarks::BandPosition(Edge edge, double t, int align, const Margins& margins,
                               double sheetWidth, double sheetHeight, double& position) {
    const double margin = margins[edge];
    if (!(t < margin))
        align = 2; // too thick for its margin: against the printable area
    const bool far = edge == Edge::Right || edge == Edge::Bottom;
    const double sheet = edge == Edge::Left || edge == Edge::Right ? sheetWidth : sheetHeight;
    double fromEdge = 0; // the object's outer side, from the sheet's edge
    if (align == 1)
        fromEdge = (margin - t) / 2;
    else if (align != 0)
        fromEdge = margin - t;
    position = far ? sheet - fromEdge - t : fromEdge;
    return far ? !(position > sheet - 1) : !(position + t < 1);
}

void CPlateMarks::MirroredPosition(const CZelItem& item, int mode, double& x, double& y) const {
    const PlateProperties& p = m_doc.Properties();
    x = item.x;
    y = item.y;
    if (mode == 1)
        x = p.width - (item.EffectiveWidth() + item.x);
    else if (mode == 2)
        y = p.height - (item.EffectiveHeight() + item.y);
}

QString CPlateMarks::SideName(const CTesselDoc& doc, int side) {
    if (side == doc.Geometry().labelSide)
        return QStringLiteral("레이블 판");
    return side == 0 ? QStringLiteral("A 판") : QStringLiteral("B 판");
}

Failure CPlateMarks::Fail(const QString& what) const {
    return Failure(QStringLiteral("%1: %2").arg(what, m_pdf.LastError()));
}

void CPlateMarks::Begin(const QString& title, const QString& detail, int range) {
    if (!m_progress)
        return;
    m_progress->Begin(title, range);
    m_progress->Detail(detail);
}

Result<void> CPlateMarks::ColorBars(int side, const CZelPressMarkPresets* bars) {
    const PlateProperties& p = m_doc.Properties();
    const CZelPressMarkItem* bar = bars ? bars->FindPressMark(p.colorBarName) : nullptr;
    if (!bar || std::none_of(p.colorBar.begin(), p.colorBar.end(), [](int on) { return on != 0; }))
        return {};
    Begin(QStringLiteral("컬러바 생성"),
          SideName(m_doc, side) + QStringLiteral(" 컬러바 생성 중..."), 8);
    const Margins m = SideMargins(MirrorMode(m_doc, side));
    const double w = bar->width, t = bar->height;
    // The switches in key order: TOP-LEFT, LEFT-TOP, TOP-RIGHT, RIGHT-TOP,
    // LEFT-BOTTOM, BOTTOM-LEFT, RIGHT-BOTTOM, BOTTOM-RIGHT.
    struct Position {
        int key;
        Edge edge;
        bool atEnd;
    };
    static const Position kOrder[] = {
        {0, Edge::Top, false},   {1, Edge::Left, false}, {5, Edge::Bottom, false},
        {3, Edge::Right, false}, {2, Edge::Top, true},   {4, Edge::Left, true},
        {7, Edge::Bottom, true}, {6, Edge::Right, true},
    };
    int step = 0;
    for (const Position& pos : kOrder) {
        if (m_progress)
            m_progress->Step(++step);
        if (!p.colorBar[pos.key])
            continue;
        double across = 0;
        if (!BandPosition(pos.edge, t, p.colorBarAlign, m, p.width, p.height, across))
            continue;
        const bool horizontal = pos.edge == Edge::Top || pos.edge == Edge::Bottom;
        double along = 0;
        if (horizontal)
            along = pos.atEnd ? p.width - (m[Edge::Right] + w) : m[Edge::Left];
        else
            along = pos.atEnd ? p.height - (m[Edge::Bottom] + w) : m[Edge::Top];
        const double x = horizontal ? along : across;
        const double y = horizontal ? across : along;
        if (!m_pdf.ComposePlacePDIDoc(bar->mediaPath, 1, x, y, w, t, horizontal ? 0 : 90))
            return Fail(bar->mediaPath);
    }
    if (m_progress)
        m_progress->End();
    return {};
}

Result<void> CPlateMarks::RegistrationMarks(int side, const CZelPressMarkPresets* marks) {
    const PlateProperties& p = m_doc.Properties();
    const CZelPressMarkItem* mark = marks ? marks->FindPressMark(p.registrationMarkName) : nullptr;
    if (!mark || std::none_of(p.registrationMark.begin(), p.registrationMark.end(),
                              [](int on) { return on != 0; }))
        return {};
    Begin(QStringLiteral("맞춤표 생성"),
          SideName(m_doc, side) + QStringLiteral(" 맞춤표 생성 중..."), 4);
    const Margins m = SideMargins(MirrorMode(m_doc, side));
    const double w = mark->width, t = mark->height;
    static const std::pair<Edge, int> kOrder[] = {
        {Edge::Top, 0}, {Edge::Left, 270}, {Edge::Bottom, 180}, {Edge::Right, 90}};
    int step = 0;
    for (const auto& [edge, rotation] : kOrder) {
        if (m_progress)
            m_progress->Step(++step);
        if (!p.registrationMark[edge])
            continue;
        double across = 0;
        if (!BandPosition(edge, t, p.registrationMarkAlign, m, p.width, p.height, across))
            continue;
        const bool horizontal = edge == Edge::Top || edge == Edge::Bottom;
        const double x = horizontal ? (p.width - w) / 2 : across;
        const double y = horizontal ? across : (p.height - w) / 2;
        if (!m_pdf.ComposePlacePDIDoc(mark->mediaPath, 1, x, y, w, t, rotation))
            return Fail(mark->mediaPath);
    }
    if (m_progress)
        m_progress->End();
    return {};
}

Result<void> CPlateMarks::TextBoxes(int side) {
    const auto& boxes = m_doc.TextBoxes();
    if (boxes.empty())
        return {};
    const PlateProperties& p = m_doc.Properties();
    Begin(SideName(m_doc, side) + QStringLiteral(" 텍스트 박스 배치 중..."),
          QStringLiteral("텍스트 박스 배치 중..."), static_cast<int>(boxes.size()));
    const int passes = HasSecondHalf(m_doc, side) ? 2 : 1;
    int step = 0;
    for (const TextBox& box : boxes) {
        if (m_progress)
            m_progress->Step(++step);
        const QString pdf = CTextBoxPicture::PdfPath(m_doc.WorkFolder(), box);
        if (box.name.isEmpty() || !QFileInfo(pdf).isFile())
            continue;
        const int rotation = Normalized(box.rotate);
        const bool quarter = rotation == 90 || rotation == 270;
        const double shownW = quarter ? box.height : box.width;
        const double shownH = quarter ? box.width : box.height;
        for (int pass = 0; pass < passes; ++pass) {
            const int mode = MirrorMode(m_doc, side, pass == 1);
            if (pass == 1 && mode == 0)
                continue;
            const double x = mode == 1 ? p.width - (box.x + shownW) : box.x;
            const double y = mode == 2 ? p.height - (box.y + shownH) : box.y;
            if (!m_pdf.ComposePlacePDIDoc(pdf, 1, x, y, box.width, box.height, rotation))
                return Fail(pdf);
        }
    }
    if (m_progress)
        m_progress->End();
    return {};
}

Result<void> CPlateMarks::Lines(int side) {
    const auto& lines = m_doc.Lines();
    if (lines.empty())
        return {};
    const PlateProperties& p = m_doc.Properties();
    Begin(SideName(m_doc, side) + QStringLiteral(" 선 배치 중..."), QStringLiteral("선 배치 중..."),
          static_cast<int>(lines.size()));
    const int passes = HasSecondHalf(m_doc, side) ? 2 : 1;
    int step = 0;
    for (const FreeLine& line : lines) {
        if (m_progress)
            m_progress->Step(++step);
        PressColour colour = PressColour::Find(m_colors, line.colorName);
        if (colour.IsNone())
            colour = PressColour::Registration(); // a colour no preset names still prints
        const bool horizontal = line.dir != 0;
        const double w = horizontal ? line.end - line.start : line.weight;
        const double h = horizontal ? line.weight : line.end - line.start;
        for (int pass = 0; pass < passes; ++pass) {
            const int mode = MirrorMode(m_doc, side, pass == 1);
            if (pass == 1 && mode == 0)
                continue;
            double x = horizontal ? line.start : line.offset;
            double y = horizontal ? line.offset : line.start;
            if (mode == 1)
                x = p.width - (x + w);
            else if (mode == 2)
                y = p.height - (y + h);
            if (!presscolour::Rect(m_pdf, x, y, w, h, kLineWidth, {}, colour))
                return Fail(QStringLiteral("line"));
        }
    }
    if (m_progress)
        m_progress->End();
    return {};
}

Result<void> CPlateMarks::PlateCutMarks(int side) {
    const PlateProperties& p = m_doc.Properties();
    if (std::none_of(p.plateCrop.begin(), p.plateCrop.end(), [](int on) { return on != 0; }))
        return {};
    // The bar counts the grid lines marked, on both halves of a work-and-turn plate.
    int mode[2] = {MirrorMode(m_doc, side), 0};
    if (HasSecondHalf(m_doc, side))
        mode[1] = MirrorMode(m_doc, side, true);
    const int passes = mode[1] != 0 ? 2 : 1;
    int range = 0;
    for (int pass = 0; pass < passes; ++pass)
        // Counting draws nothing, so it cannot fail.
        (void)CutMarksOnce(mode[pass], range, true);
    Begin(QStringLiteral("판 재단선 생성"),
          SideName(m_doc, side) + QStringLiteral(" 재단선 생성 중..."), std::max(range, 1));
    int step = 0;
    for (int pass = 0; pass < passes; ++pass)
        if (Result<void> drawn = CutMarksOnce(mode[pass], step, false); !drawn)
            return drawn;
    if (m_progress)
        m_progress->End();
    return {};
}

Result<void> CPlateMarks::CutMarksOnce(int mode, int& step, bool countOnly) {
    const PlateProperties& p = m_doc.Properties();
    const PlateGeometry& g = m_doc.Geometry();
    const Margins m = SideMargins(mode);
    const PressColour reg = PressColour::Registration();
    const double W = p.width, H = p.height;
    const double gw = p.gridWidth, gh = p.gridHeight;
    auto line = [&](double x1, double y1, double x2, double y2) {
        return presscolour::Line(m_pdf, x1, y1, x2, y2, kMarkWidth, reg);
    };
    // The boundaries of one axis: start, start ± k·step up to limit. The
    // mark before a boundary is left out at the first, the one after at the last.
    auto boundaries = [&](double start, double limit, double stepLength, bool down, auto&& mark) {
        for (int k = 0; k < kMaxMarks; ++k) {
            const double u = down ? start - k * stepLength : start + k * stepLength;
            if (down ? u < limit - kEps : u > limit + kEps)
                break;
            ++step;
            if (countOnly)
                continue;
            if (m_progress)
                m_progress->Step(step);
            if (!mark(u, k == 0, Near(u, limit)))
                return false;
        }
        return true;
    };

    if (gw >= 10 && (p.plateCrop[Edge::Top] || p.plateCrop[Edge::Bottom])) {
        const double top1 = std::max(0.0, m[Edge::Top] - kPlateMarkLength), top2 = m[Edge::Top];
        const double bottom1 = H - m[Edge::Bottom];
        const double bottom2 = std::min(H, H - m[Edge::Bottom] + kPlateMarkLength);
        auto marksAt = [&](double x) {
            if (p.plateCrop[Edge::Top] && !line(x, top1, x, top2))
                return false;
            return !p.plateCrop[Edge::Bottom] || line(x, bottom1, x, bottom2);
        };
        const bool ok =
            mode == 1
                ? boundaries(W - m[Edge::Right],
                             g.workAndTurn && p.turnDirection == 0 ? W / 2 : m[Edge::Left], gw,
                             true,
                             [&](double u, bool first, bool last) {
                                 // Mirrored: the right-hand side of a boundary comes first.
                                 return (first || marksAt(u + p.cutMargin[Edge::Right])) &&
                                        (last || marksAt(u - p.cutMargin[Edge::Left]));
                             })
                : boundaries(m[Edge::Left],
                             g.workAndTurn && p.turnDirection == 0 ? W / 2 : W - m[Edge::Right], gw,
                             false, [&](double u, bool first, bool last) {
                                 return (first || marksAt(u - p.cutMargin[Edge::Right])) &&
                                        (last || marksAt(u + p.cutMargin[Edge::Left]));
                             });
        if (!ok)
            return Fail(QStringLiteral("plate cut mark"));
    }
    if (gh >= 10 && (p.plateCrop[Edge::Left] || p.plateCrop[Edge::Right])) {
        const double left1 = std::max(0.0, m[Edge::Left] - kPlateMarkLength), left2 = m[Edge::Left];
        const double right1 = W - m[Edge::Right];
        const double right2 = std::min(W, W - m[Edge::Right] + kPlateMarkLength);
        auto marksAt = [&](double y) {
            if (p.plateCrop[Edge::Left] && !line(left1, y, left2, y))
                return false;
            return !p.plateCrop[Edge::Right] || line(right1, y, right2, y);
        };
        const bool ok =
            mode == 2
                ? boundaries(H - m[Edge::Bottom],
                             g.workAndTurn && p.turnDirection == 1 ? H / 2 : m[Edge::Top], gh, true,
                             [&](double v, bool first, bool last) {
                                 return (first || marksAt(v + p.cutMargin[Edge::Bottom])) &&
                                        (last || marksAt(v - p.cutMargin[Edge::Top]));
                             })
                : boundaries(m[Edge::Top],
                             g.workAndTurn && p.turnDirection == 1 ? H / 2 : H - m[Edge::Bottom],
                             gh, false, [&](double v, bool first, bool last) {
                                 return (first || marksAt(v - p.cutMargin[Edge::Bottom])) &&
                                        (last || marksAt(v + p.cutMargin[Edge::Top]));
                             });
        if (!ok)
            return Fail(QStringLiteral("plate cut mark"));
    }
    return {};
}

Result<void> CPlateMarks::OwnCutMarks(int side) {
    std::vector<const CZelItem*> items;
    for (int i = 0; i < m_doc.ItemCount(); ++i) {
        const CZelItem* item = m_doc.ItemAt(i);
        if (item->ownCut && m_doc.InsideLayoutArea(*item))
            items.push_back(item);
    }
    if (items.empty())
        return {};
    std::stable_sort(items.begin(), items.end(), [](const CZelItem* a, const CZelItem* b) {
        return a->x < b->x || (a->x == b->x && a->y < b->y);
    });
    const QString sideName =
        side == m_doc.Geometry().labelSide ? QStringLiteral("레이블") : SideName(m_doc, side);
    if (m_progress)
        m_progress->Begin(sideName + QStringLiteral(" 독립 재단선 생성 중..."),
                          static_cast<int>(items.size()));
    const PressColour reg = PressColour::Registration();
    const int passes = HasSecondHalf(m_doc, side) ? 2 : 1;
    int step = 0;
    for (const CZelItem* item : items) {
        if (m_progress) {
            m_progress->Step(++step);
            m_progress->Detail(
                QStringLiteral("독립 재단선: %1 - %2").arg(item->ordernum, item->product));
        }
        const double w = item->EffectiveWidth(), h = item->EffectiveHeight();
        const double L = item->crop[0], T = item->crop[1], R = item->crop[2], B = item->crop[3];
        const double d = kOwnMarkLength;
        for (int pass = 0; pass < passes; ++pass) {
            const int mode = MirrorMode(m_doc, side, pass == 1);
            if (pass == 1 && mode == 0)
                continue;
            double x = 0, y = 0;
            MirroredPosition(*item, mode, x, y);
            // The marks in the item's own box, then mirrored with it: on a
            // turned side the left cut lies on the right, as the artwork's does.
            const double local[8][4] = {
                {L, -d, L, 0},            // CROP_01
                {w - R, -d, w - R, 0},    // CROP_02
                {w, T, w + d, T},         // CROP_03
                {w, h - B, w + d, h - B}, // CROP_04
                {w - R, h, w - R, h + d}, // CROP_05
                {L, h, L, h + d},         // CROP_06
                {-d, h - B, 0, h - B},    // CROP_07
                {-d, T, 0, T},            // CROP_08
            };
            auto sheetX = [&](double lx) { return mode == 1 ? x + w - lx : x + lx; };
            auto sheetY = [&](double ly) { return mode == 2 ? y + h - ly : y + ly; };
            double marks[8][4];
            for (int k = 0; k < 8; ++k) {
                marks[k][0] = sheetX(local[k][0]);
                marks[k][1] = sheetY(local[k][1]);
                marks[k][2] = sheetX(local[k][2]);
                marks[k][3] = sheetY(local[k][3]);
            }
            for (int k = 0; k < 8; ++k) {
                if (!item->cropMarks[k])
                    continue;
                if (!presscolour::Line(m_pdf, marks[k][0], marks[k][1], marks[k][2], marks[k][3],
                                       kMarkWidth, reg))
                    return Fail(QStringLiteral("own cut mark of %1").arg(item->ordernum));
            }
        }
    }
    if (m_progress)
        m_progress->End();
    return {};
}
