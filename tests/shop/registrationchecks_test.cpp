#include "engine/platecreation.h"
#include "engine/tesseldoc.h"
#include "shop/plateregistrationof.h"
#include "shop/registrationchecks.h"

#include <gtest/gtest.h>

namespace {

PlateRegistration Plate(const QString& afterWork, std::initializer_list<PlateItemOrder> items,
                        int pquantity = 1000) {
    PlateRegistration plate;
    plate.pquantity = pquantity;
    plate.afterWork = afterWork;
    plate.items = items;
    return plate;
}

} // namespace

TEST(RegistrationChecks, OmissionsAreNamedBeforePosting) {
    struct Case {
        const char* what;
        PlateRegistration plate;
        QStringList steps;
        QStringList orders;
    };
    const Case cases[] = {
        {"nothing left out",
         Plate(QStringLiteral("a;b;"), {{QStringLiteral("N1"), 2, 500, 0}}),
         {},
         {}},
        {"six steps",
         Plate(QStringLiteral("a;b;c;d;e;f;g"), {}),
         {QStringLiteral("f"), QStringLiteral("g")},
         {}},
        {"an order without a quantity",
         Plate(QString(), {{QStringLiteral("N1"), 1, 0, 0},
                           {QStringLiteral("N2"), 1, 300, 0},
                           {QStringLiteral("N1"), 1, 0, 0}}),
         {},
         {QStringLiteral("N1")}},
        {"a press count is a quantity",
         Plate(QString(), {{QStringLiteral("N3"), 1, 0, 200}}),
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const registrationchecks::Omissions found = registrationchecks::FindOmissions(c.plate);
        EXPECT_EQ(found.droppedSteps, c.steps);
        EXPECT_EQ(found.ordersWithoutQuantity, c.orders);
        const QString question = registrationchecks::OmissionQuestion(found);
        EXPECT_EQ(question.isEmpty(), c.steps.isEmpty() && c.orders.isEmpty());
        for (const QString& name : c.steps + c.orders)
            EXPECT_TRUE(question.contains(name));
    }
}

TEST(RegistrationChecks, PlateQuantityIsTheModelsPressCount) {
    CTesselDoc doc;
    PlateProperties p = platecreation::DefaultProperties();
    p.quantity = 2.5;
    p.pressUnit = 1;
    p.pressCount = 0;
    doc.SetProperties(p);
    // 2.5 reams: the model's count of 1000 sheets, not 2.
    const PlateRegistration plate = RegistrationOf(doc);
    EXPECT_EQ(plate.PlateQuantity(), 1000);
    EXPECT_TRUE(registrationchecks::CheckPlate(plate));

    p.quantity = 0.5;
    p.pressUnit = 0;
    doc.SetProperties(p);
    const Result<void> refused = registrationchecks::CheckPlate(RegistrationOf(doc));
    ASSERT_FALSE(refused);
    EXPECT_FALSE(refused.error().isEmpty());
}
