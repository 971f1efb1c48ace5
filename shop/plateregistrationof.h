#pragma once

#include "registration/plateregistration.h"

class CTesselDoc;

// The registration record of a plate: its properties and one entry per item
// in item-list order, as the registration form and dialog take them.
PlateRegistration RegistrationOf(const CTesselDoc& doc);
