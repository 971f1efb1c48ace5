#include "backgroundregistration.h"

std::unique_ptr<BackgroundOperation<PlateRegistrationResult>>
StartRegistration(PlateRegistration plate, QString siteSignature, QString url,
                  RegistrationTimeouts timeouts) {
    return std::make_unique<BackgroundOperation<PlateRegistrationResult>>(
        [plate = std::move(plate), siteSignature = std::move(siteSignature), url = std::move(url),
         timeouts](ProgressSink& progress) {
            progress.Begin(QStringLiteral("판 등록"), 1);
            progress.Detail(url);
            PlateRegistrationResult result = RegisterPlate(
                plate, siteSignature, url, timeouts.connect, timeouts.receive, timeouts.deadline);
            progress.Step(1);
            progress.End();
            return result;
        });
}
