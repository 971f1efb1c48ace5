#include "plateregistration.h"

#include <QSet>

#include <cmath>
#include <limits>

int TruncatedQuantity(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

int PlateItemOrder::OrderQuantity() const {
    return pquantity > 0 ? pquantity : TruncatedQuantity(quantity);
}

int PlateRegistration::PlateQuantity() const {
    if (pquantity > 0)
        return pquantity;
    // Reams are 500 sheets, the fraction dropped first, as the plate model
    // derives its press count.
    const int whole = TruncatedQuantity(quantity);
    if (pressUnit == 0)
        return whole;
    return TruncatedQuantity(static_cast<double>(whole) * 500.0);
}

QList<PlateItemOrder> PlateRegistration::Orders() const {
    QList<PlateItemOrder> orders;
    QSet<QString> seen;
    for (const PlateItemOrder& item : items) {
        if (seen.contains(item.ordernum))
            continue;
        seen.insert(item.ordernum);
        orders.append(item);
    }
    return orders;
}
