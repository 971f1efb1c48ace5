#pragma once

#include "records/longoperation.h"
#include "registration/registerplate.h"

#include <QString>

#include <chrono>
#include <memory>

// How long a registration waits: for the connection, for each piece of the
// answer, and for the whole exchange.
struct RegistrationTimeouts {
    std::chrono::milliseconds connect = Request::kDefaultConnectTimeout;
    std::chrono::milliseconds receive = Request::kDefaultReceiveTimeout;
    std::chrono::milliseconds deadline = Request::kDefaultDeadline;
};

// Plate registration off the GUI thread: the exchange with the server may
// wait for seconds, and the window must keep painting and offer to stop
// waiting. The work has its own copy of the plate's record.
std::unique_ptr<BackgroundOperation<PlateRegistrationResult>>
StartRegistration(PlateRegistration plate, QString siteSignature, QString url,
                  RegistrationTimeouts timeouts = {});
