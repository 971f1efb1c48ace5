#include "registration/registrationform.h"

#include "markup/cp949.h"
#include "registration/plateregistration.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The plate of the worked example: one-sided, one colour, 1000 sheets, one
// order N of two cases and 1500 sheets (its second item listed again).
PlateRegistration ExamplePlate() {
    PlateRegistration plate;
    plate.jobCode = QStringLiteral("A1");
    plate.paperType = QStringLiteral("S");
    plate.presetName = QStringLiteral("P");
    plate.pquantity = 1000;
    plate.jobDate = QStringLiteral("D");
    plate.userName = QStringLiteral("U");
    plate.userInitial = QStringLiteral("I");
    plate.afterWork = QStringLiteral("x;y;");
    plate.items = {{QStringLiteral("N"), 2, 1500, 0}, {QStringLiteral("N"), 2, 1500, 0}};
    return plate;
}

QString Tail(const QString& form, const QString& from) {
    return form.mid(form.indexOf(from));
}

} // namespace

TEST(RegistrationForm, WorkedExampleComesOutByteForByteInCodePage949) {
    const RegistrationForm form = BuildRegistrationForm(ExamplePlate(), QStringLiteral("ABC"));
    ASSERT_TRUE(form.Ok()) << form.error.toStdString();
    EXPECT_EQ(cp949::FromUnicode(form.text),
              QByteArray("PanNum1=A1&PanPaper=S&PanSize=P&PanColor=1&PanQuantity=1000&PanDate=D&"
                         "IMPOSER=I&PanBigo=&area=&PanAfterWork_1=\xC0\xCE\xBC\xE2&"
                         "PanAfterWork_2=\xC3\xE2\xB7\xC2&PanAfterWork_3=x&PanAfterWork_4=y&"
                         "PanAfterWork_5=&PanAfterWork_6=&PanAfterWork_7=&Maxnum=4&Ordernum_1=N&"
                         "Ordernum_2=N&Ordernum_3=N&Ordernum_4=N&Seq_1=001001&Seq_2=001002&"
                         "Seq_3=002001&Seq_4=002002"));
}

TEST(RegistrationForm, SheetEntriesFollowOrderAndPlateQuantities) {
    using Items = QList<PlateItemOrder>;
    const QString a = QStringLiteral("A"), b = QStringLiteral("B");
    struct Case {
        const char* what;
        int plateP;
        double plateQ;
        Items items;
        QString tail;
    } cases[] = {
        {"no orders", 1000, 0, {}, QStringLiteral("Maxnum=0")},
        {"order quantity equals plate quantity",
         1000,
         0,
         {{a, 2, 1000, 0}},
         QStringLiteral("Maxnum=2&Ordernum_1=A&Ordernum_2=A&Seq_1=001001&Seq_2=002001")},
        {"one sheet more than the plate",
         1000,
         0,
         {{a, 1, 1001, 0}},
         QStringLiteral("Maxnum=2&Ordernum_1=A&Ordernum_2=A&Seq_1=001001&Seq_2=001002")},
        {"order quantity 0", 1000, 0, {{a, 3, 0, 0}}, QStringLiteral("Maxnum=0")},
        {"order without cases", 1000, 0, {{a, 0, 5000, 0}}, QStringLiteral("Maxnum=0")},
        {"PQuantity wins over Quantity",
         1000,
         0,
         {{a, 1, 5000, 900}},
         QStringLiteral("Maxnum=1&Ordernum_1=A&Seq_1=001001")},
        {"plate quantity from QUANTITY truncated",
         0,
         999.9,
         {{a, 1, 1000, 0}},
         QStringLiteral("Maxnum=2&Ordernum_1=A&Ordernum_2=A&Seq_1=001001&Seq_2=001002")},
        {"first item of each order counts",
         500,
         0,
         {{a, 1, 400, 0}, {b, 2, 600, 0}, {a, 9, 9000, 0}, {b, 1, 100, 0}},
         QStringLiteral("Maxnum=5&Ordernum_1=A&Ordernum_2=B&Ordernum_3=B&Ordernum_4=B&"
                        "Ordernum_5=B&Seq_1=001001&Seq_2=001001&Seq_3=001002&Seq_4=002001&"
                        "Seq_5=002002")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlateRegistration plate = ExamplePlate();
        plate.pquantity = c.plateP;
        plate.quantity = c.plateQ;
        plate.items = c.items;
        const RegistrationForm form = BuildRegistrationForm(plate, QString());
        ASSERT_TRUE(form.Ok()) << form.error.toStdString();
        EXPECT_EQ(Tail(form.text, QStringLiteral("Maxnum=")), c.tail);
        EXPECT_TRUE(form.text.contains(
            QStringLiteral("&PanQuantity=%1&").arg(c.plateP > 0 ? c.plateP : int(c.plateQ))));
    }
}

TEST(RegistrationForm, PlatesThatCannotBeCountedAreRefused) {
    struct Case {
        const char* what;
        int plateP;
        double plateQ;
        double orderQ;
    } cases[] = {
        {"no quantity at all", 0, 0, 100},          {"less than one sheet", 0, 0.5, 100},
        {"negative quantity", -5, -3, 100},         {"quantity not a number", 0, std::nan(""), 100},
        {"order far beyond the plate", 1, 0, 1e12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlateRegistration plate = ExamplePlate();
        plate.pquantity = c.plateP;
        plate.quantity = c.plateQ;
        plate.items = {{QStringLiteral("N"), 2, c.orderQ, 0}};
        const RegistrationForm form = BuildRegistrationForm(plate, QString());
        EXPECT_FALSE(form.Ok());
        EXPECT_FALSE(form.error.isEmpty());
        EXPECT_TRUE(form.text.isEmpty());
    }
}

TEST(RegistrationForm, AfterWorkStepsAndTheOutputStep) {
    const QString sixSteps = QStringLiteral("재단;코팅;접지;제본;박;형압;");
    struct Case {
        QString signature;
        QString afterWork;
        QString fields;
    } cases[] = {
        {QStringLiteral("ABC"), sixSteps,
         QStringLiteral("PanAfterWork_1=인쇄&PanAfterWork_2=출력&PanAfterWork_3=재단&"
                        "PanAfterWork_4=코팅&PanAfterWork_5=접지&PanAfterWork_6=제본&"
                        "PanAfterWork_7=박&")},
        {QStringLiteral("RVQ"), sixSteps,
         QStringLiteral("PanAfterWork_1=인쇄&PanAfterWork_2=재단&PanAfterWork_3=코팅&"
                        "PanAfterWork_4=접지&PanAfterWork_5=제본&PanAfterWork_6=박&"
                        "PanAfterWork_7=출력&")},
        {QStringLiteral("RVQ"), QString(),
         QStringLiteral("PanAfterWork_1=인쇄&PanAfterWork_2=&PanAfterWork_3=&PanAfterWork_4=&"
                        "PanAfterWork_5=&PanAfterWork_6=&PanAfterWork_7=출력&")},
        {QStringLiteral("rvq"), QStringLiteral(";;x;;;y"),
         QStringLiteral("PanAfterWork_1=인쇄&PanAfterWork_2=출력&PanAfterWork_3=x&"
                        "PanAfterWork_4=y&PanAfterWork_5=&PanAfterWork_6=&PanAfterWork_7=&")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signature.toStdString() + " " + c.afterWork.toStdString());
        PlateRegistration plate = ExamplePlate();
        plate.afterWork = c.afterWork;
        const RegistrationForm form = BuildRegistrationForm(plate, c.signature);
        ASSERT_TRUE(form.Ok());
        const qsizetype from = form.text.indexOf(QStringLiteral("PanAfterWork_1="));
        EXPECT_EQ(form.text.mid(from, form.text.indexOf(QStringLiteral("Maxnum=")) - from),
                  c.fields);
    }
}

TEST(RegistrationForm, ColourFieldFollowsTheSides) {
    struct Case {
        int paperSide, colorA, colorB;
        const char* field;
    } cases[] = {
        {0, 0, 4, "&PanColor=1&"},   {0, 4, 0, "&PanColor=4&"},   {0, 7, 7, "&PanColor=4&"},
        {1, 4, 0, "&PanColor=4/1&"}, {1, 0, 4, "&PanColor=1/4&"}, {1, 4, 4, "&PanColor=4/4&"},
        {1, 0, 0, "&PanColor=1/1&"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        PlateRegistration plate = ExamplePlate();
        plate.paperSide = c.paperSide;
        plate.colorA = c.colorA;
        plate.colorB = c.colorB;
        EXPECT_TRUE(BuildRegistrationForm(plate, QString()).text.contains(QLatin1String(c.field)));
    }
}

TEST(RegistrationForm, ValuesCannotSplitTheForm) {
    PlateRegistration plate = ExamplePlate();
    plate.jobCode = QStringLiteral("50%+1");
    plate.paperType = QStringLiteral("아트지 250g");
    plate.comment = QStringLiteral("A&B&Maxnum=0");
    plate.afterWork = QStringLiteral("a=b;");
    plate.items = {{QStringLiteral("N&Seq_1=x"), 1, 1000, 0}};
    const QString text = BuildRegistrationForm(plate, QString()).text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("PanNum1=50%25%2B1&PanPaper=아트지 250g&")));
    EXPECT_TRUE(text.contains(QStringLiteral("&PanBigo=A%26B%26Maxnum%3D0&")));
    EXPECT_TRUE(text.contains(QStringLiteral("&PanAfterWork_3=a%3Db&")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("&Maxnum=1&Ordernum_1=N%26Seq_1%3Dx&Seq_1=001001")));
}
