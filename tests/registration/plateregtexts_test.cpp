#include "registration/plateregtexts.h"

#include <gtest/gtest.h>

namespace {

PlateRegistration DialogPlate() {
    PlateRegistration plate;
    plate.jobCode = QStringLiteral("A1");
    plate.presetName = QStringLiteral("국전 4절");
    plate.jobDate = QStringLiteral("2024-03-05");
    plate.userName = QStringLiteral("홍길동");
    plate.userInitial = QStringLiteral("HGD");
    plate.paperType = QStringLiteral("아트지");
    plate.paperSide = 1;
    plate.colorA = 4;
    plate.colorB = 0;
    plate.quantity = 2.5;
    plate.pressUnit = 1; // reams
    plate.pquantity = 1000;
    plate.comment = QStringLiteral("급함");
    plate.afterWork = QStringLiteral("코팅;재단;");
    plate.items = {
        {QStringLiteral("A"), 2, 1000, 0}, {QStringLiteral("B"), 2, 2500, 0},
        {QStringLiteral("C"), 3, 0, 0},    {QStringLiteral("A"), 9, 9999, 0},
        {QStringLiteral("D"), 1, 5, 1001},
    };
    return plate;
}

} // namespace

TEST(PlateRegTexts, FillTheDialogFromThePlate) {
    const PlateRegTexts texts = PlateRegTexts::Build(DialogPlate(), QStringLiteral("ABC"));
    EXPECT_EQ(texts.plateNumber, QStringLiteral("A1"));
    EXPECT_EQ(texts.worker, QStringLiteral("홍길동(HGD)"));
    EXPECT_EQ(texts.workDate, QStringLiteral("2024-03-05"));
    EXPECT_EQ(texts.plateSize, QStringLiteral("국전 4절"));
    EXPECT_EQ(texts.paper, QStringLiteral("아트지"));
    EXPECT_EQ(texts.color, QStringLiteral("4/1")); // as the form sends it
    EXPECT_EQ(texts.quantity, QStringLiteral("1000/2.5R"));
    EXPECT_EQ(texts.memo, QStringLiteral("급함"));
    EXPECT_EQ(texts.afterWorkRows, (QStringList{QStringLiteral("인쇄"), QStringLiteral("출력"),
                                                QStringLiteral("코팅"), QStringLiteral("재단")}));

    struct Row {
        const char* ordernum;
        const char* quantity;
        const char* cases;
        const char* places;
    } rows[] = {
        {"A", "1000", "2", "2"}, // as many as the plate: one sheet per case
        {"B", "2500", "2", "6"}, // three sheets per case
        {"C", "0", "3", "3"},    // nothing to print still takes its places
        {"D", "1001", "1", "2"}, // PQuantity counts, not Quantity
    };
    ASSERT_EQ(texts.orderRows.size(), std::size(rows));
    for (qsizetype i = 0; i < texts.orderRows.size(); ++i) {
        SCOPED_TRACE(rows[i].ordernum);
        const PlateOrderRow& row = texts.orderRows[i];
        EXPECT_EQ(row.ordernum, QLatin1String(rows[i].ordernum));
        EXPECT_EQ(row.quantity, QLatin1String(rows[i].quantity));
        EXPECT_EQ(row.cases, QLatin1String(rows[i].cases));
        EXPECT_EQ(row.places, QLatin1String(rows[i].places));
    }

    // Without a plate quantity nothing can be divided: every order shows its cases.
    PlateRegistration uncounted = DialogPlate();
    uncounted.pquantity = 0;
    uncounted.quantity = 0;
    const PlateRegTexts unknown = PlateRegTexts::Build(uncounted, QString());
    ASSERT_EQ(unknown.orderRows.size(), 4);
    EXPECT_EQ(unknown.orderRows[1].places, QStringLiteral("2"));
}

TEST(PlateRegTexts, ColourAndQuantityTexts) {
    struct Case {
        int paperSide, colorA, colorB, pquantity;
        double quantity;
        int pressUnit;
        const char* color;
        const char* quantityText;
    } cases[] = {
        {0, 4, 4, 500, 3, 1, "4", "500/3.0R"},
        {1, 4, 0, 0, 2.5, 1, "4/1", "0/2.5R"},
        {1, 0, 1, 1000, 1.25, 1, "1/4", "1000/1.2R"}, // rounds as "%.1f" does
        {2, 1, 4, 7, 0.04, 1, "4/4", "7/0.0R"},
        {0, 0, 0, 1000, 1000, 0, "1", "1000/1000"}, // sheets: no "R"
        {1, 1, 0, 500, 499.96, 0, "4/1", "500/500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quantityText);
        PlateRegistration plate;
        plate.paperSide = c.paperSide;
        plate.colorA = c.colorA;
        plate.colorB = c.colorB;
        plate.pquantity = c.pquantity;
        plate.quantity = c.quantity;
        plate.pressUnit = c.pressUnit;
        EXPECT_EQ(PlateColorText(plate), QLatin1String(c.color));
        EXPECT_EQ(PlateQuantityText(plate), QLatin1String(c.quantityText));
    }

    // Without a press count, reams count 500 sheets each.
    PlateRegistration reams;
    reams.quantity = 2.5;
    reams.pressUnit = 1;
    EXPECT_EQ(reams.PlateQuantity(), 1000);
    reams.pressUnit = 0;
    EXPECT_EQ(reams.PlateQuantity(), 2);
}

TEST(PlateRegTexts, AfterWorkRowsAreTheStepsTheFormSends) {
    const QString rvq = QStringLiteral("RVQ"), other = QStringLiteral("XYZ");
    struct Case {
        QString afterWork;
        QString signature;
        QString rows; // joined by "|"
    } cases[] = {
        {QStringLiteral("x;y;"), other, QStringLiteral("인쇄|출력|x|y")},
        {QStringLiteral("x;y;"), rvq, QStringLiteral("인쇄|x|y|출력")},
        {QStringLiteral("x;y"), other, QStringLiteral("인쇄|출력|x|y")},
        {QStringLiteral("x;;y;"), other, QStringLiteral("인쇄|출력|x|y")},
        {QStringLiteral(";x;"), rvq, QStringLiteral("인쇄|x|출력")},
        {QString(), other, QStringLiteral("인쇄|출력")},
        {QStringLiteral("a;b;c;d;e;f;"), other, QStringLiteral("인쇄|출력|a|b|c|d|e")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.afterWork.toStdString() + " " + c.signature.toStdString());
        EXPECT_EQ(AfterWorkRows(c.afterWork, c.signature).join(QLatin1Char('|')), c.rows);
    }
}
