#include "registrationchecks.h"

#include "registration/registrationform.h"

namespace registrationchecks {

Result<void> CheckPlate(const PlateRegistration& plate) {
    // The form's own checks, made before anything is shown or sent.
    const RegistrationForm form = BuildRegistrationForm(plate, QString());
    if (!form.Ok())
        return Failure(form.error);
    return {};
}

Omissions FindOmissions(const PlateRegistration& plate) {
    Omissions omissions;
    omissions.droppedSteps = AfterWorkSteps(plate.afterWork).mid(kAfterWorkStepsSent);
    for (const PlateItemOrder& order : plate.Orders()) {
        if (order.OrderQuantity() <= 0)
            omissions.ordersWithoutQuantity.append(order.ordernum);
    }
    return omissions;
}

QString OmissionQuestion(const Omissions& omissions) {
    if (omissions.IsEmpty())
        return {};
    QString text;
    if (!omissions.droppedSteps.isEmpty())
        text +=
            QStringLiteral("후가공은 5 단계까지만 등록됩니다. 다음 단계는 등록되지 않습니다:\n%1\n")
                .arg(omissions.droppedSteps.join(QStringLiteral(", ")));
    if (!omissions.ordersWithoutQuantity.isEmpty())
        text += QStringLiteral("수량이 없는 주문은 등록되지 않습니다:\n%1\n")
                    .arg(omissions.ordersWithoutQuantity.join(QStringLiteral(", ")));
    return text + QStringLiteral("\n계속하시겠습니까?");
}

} // namespace registrationchecks
