#pragma once

#include "markup/result.h"
#include "registration/plateregistration.h"

#include <QString>
#include <QStringList>

// What the operator must know before a plate is registered.
namespace registrationchecks {

// Whether the plate can be registered at all; refused, with the operator's
// text, before the dialog opens (a plate quantity below 1, say).
Result<void> CheckPlate(const PlateRegistration& plate);

// What the form would leave out: after-work steps beyond the five it has
// room for, and orders without a quantity (they get no sheet entries).
struct Omissions {
    QStringList droppedSteps;
    QStringList ordersWithoutQuantity;
    bool IsEmpty() const { return droppedSteps.isEmpty() && ordersWithoutQuantity.isEmpty(); }
};
Omissions FindOmissions(const PlateRegistration& plate);

// The Yes/No question that names the omissions before posting; empty when
// there is nothing to ask.
QString OmissionQuestion(const Omissions& omissions);

} // namespace registrationchecks
