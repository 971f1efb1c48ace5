#pragma once

#include "plateregistration.h"
#include "request.h"

#include <QByteArray>
#include <QString>

#include <chrono>

// What the operator is told when the plate could not be posted.
inline constexpr char16_t kCannotReachRegistrationServer[] = u"판 등록 서버에 연결할 수 없습니다.";

struct PlateRegistrationResult {
    // True when the server took the form: a well-formed 2xx or 3xx answer.
    bool registered = false;
    // For the operator when not registered: kCannotReachRegistrationServer,
    // or why the plate itself cannot be registered.
    QString message;
    // Technical detail behind the message (URL, connect or receive error, or
    // the server's status line when it refused).
    QString reason;
    // The server's answer as received.
    QByteArray head;
    QByteArray body;
};

// Builds the plate's form, converts it, the host and the object to code page
// 949 and posts it to url, an absolute http URL. Blocks until the server
// closes the connection, a time-out ends the wait or the deadline for the
// whole exchange has passed.
PlateRegistrationResult
RegisterPlate(const PlateRegistration& plate, const QString& siteSignature, const QString& url,
              std::chrono::milliseconds connectTimeout = Request::kDefaultConnectTimeout,
              std::chrono::milliseconds receiveTimeout = Request::kDefaultReceiveTimeout,
              std::chrono::milliseconds deadline = Request::kDefaultDeadline);
