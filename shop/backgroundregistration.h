#pragma once

#include "records/longoperation.h"
#include "registration/registerplate.h"

#include <QString>

#include <memory>

// Plate registration off the GUI thread: the exchange with the server may
// wait for seconds, and the window must keep painting and offer to stop
// waiting. The work has its own copy of the plate's record.
std::unique_ptr<BackgroundOperation<PlateRegistrationResult>>
StartRegistration(PlateRegistration plate, QString siteSignature, QString url);
