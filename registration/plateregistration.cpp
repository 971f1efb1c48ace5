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
    return pquantity > 0 ? pquantity : TruncatedQuantity(quantity);
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
