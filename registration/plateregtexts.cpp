#include "plateregtexts.h"

#include "registrationform.h"

#include <charconv>

QString PlateColorText(const PlateRegistration& plate) {
    // As the form sends it: four colours or one per printed side.
    auto side = [](int color) { return color != 0 ? QStringLiteral("4") : QStringLiteral("1"); };
    if (plate.paperSide != 0)
        return side(plate.colorA) + QLatin1Char('/') + side(plate.colorB);
    return side(plate.colorA);
}

QString PlateQuantityText(const PlateRegistration& plate) {
    // to_chars rounds like "%.1f" and never uses a locale's decimal comma.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, plate.quantity, std::chars_format::fixed, 1);
    QString quantity = QString::fromLatin1(buffer, result.ptr - buffer);
    // Sheets are whole: "R" and a decimal only for reams.
    if (plate.pressUnit == 0 && quantity.endsWith(QLatin1String(".0")))
        quantity.chop(2);
    return QString::number(plate.pquantity) + QLatin1Char('/') + quantity +
           (plate.pressUnit != 0 ? QStringLiteral("R") : QString());
}

QStringList AfterWorkRows(const QString& afterWork, const QString& siteSignature) {
    // The steps the form sends, no more and no fewer.
    const QStringList steps = AfterWorkSteps(afterWork).mid(0, kAfterWorkStepsSent);
    QStringList rows{QStringLiteral("인쇄")};
    if (siteSignature == QStringView(kOutputLastSignature))
        return rows + steps + QStringList{QStringLiteral("출력")};
    return rows + QStringList{QStringLiteral("출력")} + steps;
}

qint64 OrderPlaces(const PlateItemOrder& order, int plateQuantity) {
    const int quantity = order.OrderQuantity();
    if (plateQuantity >= 1 && quantity > plateQuantity)
        return order.pcases * SheetsPerCase(quantity, plateQuantity);
    return order.pcases;
}

PlateRegTexts PlateRegTexts::Build(const PlateRegistration& plate, const QString& siteSignature) {
    PlateRegTexts texts;
    texts.plateNumber = plate.jobCode;
    texts.worker = plate.userName + QLatin1Char('(') + plate.userInitial + QLatin1Char(')');
    texts.workDate = plate.jobDate;
    texts.plateSize = plate.presetName;
    texts.paper = plate.paperType;
    texts.color = PlateColorText(plate);
    texts.quantity = PlateQuantityText(plate);
    texts.memo = plate.comment;
    texts.afterWorkRows = AfterWorkRows(plate.afterWork, siteSignature);
    const int plateQuantity = plate.PlateQuantity();
    for (const PlateItemOrder& order : plate.Orders()) {
        texts.orderRows.append({order.ordernum, QString::number(order.OrderQuantity()),
                                QString::number(order.pcases),
                                QString::number(OrderPlaces(order, plateQuantity))});
    }
    return texts;
}
