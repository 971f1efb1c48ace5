#include "plateregtexts.h"

#include "registrationform.h"

#include <charconv>

QString PlateColorText(const PlateRegistration& plate) {
    if (plate.paperSide != 0)
        return QString::number(plate.colorA) + QLatin1Char('/') + QString::number(plate.colorB);
    return QString::number(plate.colorA);
}

QString PlateQuantityText(const PlateRegistration& plate) {
    // to_chars rounds like "%.1f" and never uses a locale's decimal comma.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, plate.quantity, std::chars_format::fixed, 1);
    return QString::number(plate.pquantity) + QLatin1Char('/') +
           QString::fromLatin1(buffer, result.ptr - buffer) + QLatin1Char('R');
}

QStringList AfterWorkRows(const QString& afterWork, const QString& siteSignature) {
    QStringList steps;
    qsizetype from = 0;
    for (;;) {
        const qsizetype end = afterWork.indexOf(QLatin1Char(';'), from);
        if (end <= from)
            break;
        steps.append(afterWork.mid(from, end - from));
        from = end + 1;
    }
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
