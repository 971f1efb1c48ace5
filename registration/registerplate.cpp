#include "registerplate.h"

#include "markup/cp949.h"
#include "registrationform.h"
#include "registrationurl.h"

#include <limits>

PlateRegistrationResult RegisterPlate(const PlateRegistration& plate, const QString& siteSignature,
                                      const QString& url, std::chrono::milliseconds connectTimeout,
                                      std::chrono::milliseconds receiveTimeout,
                                      std::chrono::milliseconds deadline) {
    PlateRegistrationResult result;
    const RegistrationForm form = BuildRegistrationForm(plate, siteSignature);
    if (!form.Ok()) {
        result.message = form.error;
        result.reason = form.error;
        return result;
    }
    result.message = QString::fromUtf16(kCannotReachRegistrationServer);
    if (url.trimmed().isEmpty()) {
        result.reason = QStringLiteral("no registration URL is set");
        return result;
    }
    const std::optional<RegistrationUrl> address = RegistrationUrl::Parse(url.trimmed());
    if (!address) {
        result.reason = QStringLiteral("not an http URL: %1").arg(url);
        return result;
    }

    const QByteArray body = cp949::FromUnicode(form.text);
    if (body.size() > std::numeric_limits<qint32>::max()) {
        result.reason = QStringLiteral("the form is too large");
        return result;
    }
    Request request;
    request.SetConnectTimeout(connectTimeout);
    request.SetReceiveTimeout(receiveTimeout);
    request.SetDeadline(deadline);
    if (const Result<void> posted = request.PostForm(
            cp949::FromUnicode(address->host), address->port, cp949::FromUnicode(address->object),
            body.constData(), static_cast<qint32>(body.size()), result.head, result.body);
        !posted) {
        result.reason = posted.error();
        return result;
    }
    result.registered = true;
    result.message.clear();
    return result;
}
