#include "engine/platechecks.h"
#include "engine/platecreation.h"

#include <gtest/gtest.h>

namespace {

PlateProperties Plate(int paperSide, int turn, double left, double right, double top = 10,
                      double bottom = 10) {
    PlateProperties p = platecreation::DefaultProperties(); // 297 x 420
    p.paperSideSetting = paperSide;
    p.turnDirection = turn;
    p.margin[PlateProperties::Edge::Left] = left;
    p.margin[PlateProperties::Edge::Right] = right;
    p.margin[PlateProperties::Edge::Top] = top;
    p.margin[PlateProperties::Edge::Bottom] = bottom;
    return p;
}

} // namespace

TEST(PlateChecks, MarginsAreCheckedAgainstTheLayoutArea) {
    const QString width = QStringLiteral("판형의 여백이 전체 폭 보다 큽니다.");
    const QString height = QStringLiteral("판형의 여백이 전체 높이 보다 큽니다.");
    struct Case {
        const char* what;
        PlateProperties plate;
        QString expected;
    };
    PlateProperties negativeGrid = Plate(1, 0, 10, 10);
    negativeGrid.gridHeight = -1;
    PlateProperties negativeCut = Plate(1, 0, 10, 10);
    negativeCut.cutMargin[PlateProperties::Edge::Right] = -0.5;
    const Case cases[] = {
        {"double-sided, fine", Plate(1, 0, 10, 10), QString()},
        {"sum equals the width", Plate(1, 0, 150, 147), width},
        {"sum just below the width", Plate(1, 0, 150, 146.9), QString()},
        {"height", Plate(0, 2, 10, 10, 210, 210), height},
        // Work-and-turn across the width lays out on 148.5 mm with no right
        // margin: a left margin of 150 leaves nothing, however small the right.
        {"work-and-turn, left beyond half", Plate(2, 0, 150, 0), width},
        {"work-and-turn, left within half", Plate(2, 0, 148, 140), QString()},
        {"work-and-turn across the height", Plate(2, 1, 10, 10, 211, 5), height},
        {"work-and-turn across the height, width whole", Plate(2, 1, 200, 90), QString()},
        {"negative margin", Plate(1, 0, -1, 10), QStringLiteral("판형의 여백이 잘못되었습니다.")},
        {"negative grid", negativeGrid, QStringLiteral("판형의 그리드 간격이 잘못되었습니다.")},
        {"negative cut margin", negativeCut,
         QStringLiteral("판형의 재단선 여백이 잘못되었습니다.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(platechecks::ValidateLayout(c.plate), c.expected);
        // The new-plate dialog asks the same after its quantity rules.
        EXPECT_EQ(platecreation::Validate(c.plate), c.expected);
    }
}

TEST(PlateChecks, TurnMethodOnlyOnDoubleSidedPlates) {
    EXPECT_FALSE(platechecks::TurnMethodEditable(0));
    EXPECT_TRUE(platechecks::TurnMethodEditable(1));
    EXPECT_FALSE(platechecks::TurnMethodEditable(2));
}

TEST(PlateChecks, OwnCutMarginsAgainstAQuarterOfTheGrid) {
    const std::array<int, 8> on{1, 1, 1, 1, 1, 1, 1, 1};
    const std::array<int, 8> off{};
    struct Case {
        std::array<double, 4> margins; // left, top, right, bottom
        std::array<int, 8> marks;
        QString expected;
    };
    const Case cases[] = {
        {{23, 13, 23, 13}, on, QString()},
        {{-1, 0, 0, 0}, on, QStringLiteral("재단선 여백은 0 mm 보다 작을 수 없습니다.")},
        {{0, 0, 23.5, 0},
         on,
         QStringLiteral("재단선 좌/우측 여백은 23.000000 mm 보다 클 수 없습니다.")},
        {{0, 0, 0, 13.1},
         on,
         QStringLiteral("재단선 상/하단 여백은 13.000000 mm 보다 클 수 없습니다.")},
        {{-5, 99, 99, 99}, off, QString()}, // nothing to check when the lines go off
    };
    for (const Case& c : cases)
        EXPECT_EQ(platechecks::ValidateOwnCut(c.margins, c.marks), c.expected);
}

TEST(PlateChecks, FreeLinesLieOnThePlate) {
    struct Case {
        const char* what;
        FreeLine line; // dir, start, end, offset, weight
        bool valid;
    };
    const Case cases[] = {
        {"horizontal, full width at 0", {1, 0, 297, 0, 0.25, {}}, true},
        {"end beyond the width", {1, 0, 298, 0, 0.25, {}}, false},
        {"no weight", {1, 0, 297, 0, 0, {}}, false},
        {"end equals start", {1, 10, 10, 0, 0.25, {}}, false},
        {"offset at the height", {1, 0, 100, 420, 0.25, {}}, false},
        {"negative start", {1, -1, 100, 5, 0.25, {}}, false},
        {"vertical along the height", {0, 0, 420, 296, 0.25, {}}, true},
        {"vertical offset at the width", {0, 0, 420, 297, 0.25, {}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(platechecks::IsValidLine(c.line, 297, 420), c.valid);
    }
}

TEST(PlateChecks, TextBoxesHaveASizeAndStayOnThePlateAsTurned) {
    auto box = [](double x, double y, double w, double h, int rotate) {
        TextBox b;
        b.x = x, b.y = y, b.width = w, b.height = h, b.rotate = rotate;
        return b;
    };
    struct Case {
        const char* what;
        TextBox box;
        bool valid;
    };
    const Case cases[] = {
        {"touching the right edge", box(197, 0, 100, 20, 0), true},
        {"a millimetre more", box(198, 0, 100, 20, 0), false},
        {"no width", box(0, 0, 0, 20, 0), false},
        {"no height", box(0, 0, 20, 0, 0), false},
        {"negative position", box(-1, 0, 20, 20, 0), false},
        // Turned a quarter, its 100 mm width stands along the height.
        {"turned, fits", box(270, 0, 100, 20, 90), true},
        {"turned, too low", box(0, 330, 100, 20, 270), false},
        {"half turn keeps its extent", box(197, 0, 100, 20, 180), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(platechecks::IsValidTextBox(c.box, 297, 420), c.valid);
    }

    std::vector<TextBox> boxes{box(10, 10, 50, 20, 0)};
    boxes[0].name = QStringLiteral("TB-1");
    boxes[0].text = QStringLiteral("판");
    TextBox entry = boxes[0];
    entry.name.clear(); // an entry has no name yet
    EXPECT_TRUE(platechecks::IsDuplicateTextBox(entry, boxes));
    entry.textColor = QStringLiteral("Red");
    EXPECT_FALSE(platechecks::IsDuplicateTextBox(entry, boxes));
}

TEST(PlateChecks, ColourComboKeepsAColourNoPresetHasAnyMore) {
    const QStringList presets{QStringLiteral(" [ Black ]"), QStringLiteral(" [ White ]"),
                              QStringLiteral("Red")};
    struct Case {
        QString stored;
        QString fallback;
        int index;
        qsizetype count;
    };
    const Case cases[] = {
        {QStringLiteral("Red"), QString(), 2, 3},
        {QStringLiteral("Gone"), QString(), 3, 4}, // listed after the presets, selected
        {QString(), QStringLiteral(" [ White ]"), 1, 3},
        {QString(), QStringLiteral("Missing"), 0, 3},
    };
    for (const Case& c : cases) {
        const platechecks::ColourEntries entries =
            platechecks::ColourComboEntries(presets, c.stored, c.fallback);
        EXPECT_EQ(entries.index, c.index);
        ASSERT_EQ(entries.names.size(), c.count);
        if (!c.stored.isEmpty())
            EXPECT_EQ(entries.names[entries.index], c.stored);
    }
    EXPECT_EQ(platechecks::ColourComboEntries({}, QString()).index, -1);
}
