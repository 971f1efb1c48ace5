#include "registrationform.h"

namespace {

const QString kPrinting = QStringLiteral("인쇄");
const QString kOutput = QStringLiteral("출력");

QString ThreeDigits(qint64 number) {
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace

QString FormValue(const QString& value) {
    QString encoded;
    encoded.reserve(value.size());
    for (const QChar ch : value) {
        switch (ch.unicode()) {
        case u'%':
            encoded += QStringLiteral("%25");
            break;
        case u'&':
            encoded += QStringLiteral("%26");
            break;
        case u'+':
            encoded += QStringLiteral("%2B");
            break;
        case u'=':
            encoded += QStringLiteral("%3D");
            break;
        default:
            encoded += ch;
        }
    }
    return encoded;
}

QStringList AfterWorkSteps(const QString& afterWork) {
    return afterWork.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

qint64 SheetsPerCase(int orderQuantity, int plateQuantity) {
    if (orderQuantity <= 0 || plateQuantity < 1)
        return 0;
    return (static_cast<qint64>(orderQuantity) + plateQuantity - 1) / plateQuantity;
}

RegistrationForm BuildRegistrationForm(const PlateRegistration& plate,
                                       const QString& siteSignature) {
    RegistrationForm form;
    const int plateQuantity = plate.PlateQuantity();
    if (plateQuantity < 1) {
        form.error = QStringLiteral("판 수량이 1보다 작아 판을 등록할 수 없습니다. "
                                    "인쇄 수량을 먼저 정하십시오.");
        return form;
    }
    const QList<PlateItemOrder> orders = plate.Orders();
    qint64 entries = 0;
    for (const PlateItemOrder& order : orders) {
        entries += qMax(order.pcases, 0) * SheetsPerCase(order.OrderQuantity(), plateQuantity);
        if (entries > kMaxSheetEntries) {
            form.error = QStringLiteral("등록할 판 항목이 너무 많습니다 (주문 %1, 최대 %2개).")
                             .arg(order.ordernum)
                             .arg(kMaxSheetEntries);
            return form;
        }
    }

    QString& text = form.text;
    const auto field = [&text](const QString& name, const QString& value) {
        text += name + QLatin1Char('=') + FormValue(value) + QLatin1Char('&');
    };
    field(QStringLiteral("PanNum1"), plate.jobCode);
    field(QStringLiteral("PanPaper"), plate.paperType);
    field(QStringLiteral("PanSize"), plate.presetName);
    const QString colorA = plate.colorA != 0 ? QStringLiteral("4") : QStringLiteral("1");
    const QString colorB = plate.colorB != 0 ? QStringLiteral("4") : QStringLiteral("1");
    field(QStringLiteral("PanColor"),
          plate.paperSide != 0 ? colorA + QLatin1Char('/') + colorB : colorA);
    field(QStringLiteral("PanQuantity"), QString::number(plateQuantity));
    field(QStringLiteral("PanDate"), plate.jobDate);
    field(QStringLiteral("IMPOSER"), plate.userInitial);
    field(QStringLiteral("PanBigo"), plate.comment);
    field(QStringLiteral("area"), QString());

    // Printing always comes first; one site sends the output step last,
    // every other one right after printing.
    const QStringList steps = AfterWorkSteps(plate.afterWork).mid(0, kAfterWorkStepsSent);
    const bool outputLast = siteSignature == QStringView(kOutputLastSignature);
    QStringList afterWork{kPrinting};
    if (!outputLast)
        afterWork.append(kOutput);
    for (int i = 0; i < kAfterWorkStepsSent; ++i)
        afterWork.append(i < steps.size() ? steps[i] : QString());
    if (outputLast)
        afterWork.append(kOutput);
    for (int n = 0; n < afterWork.size(); ++n)
        field(QStringLiteral("PanAfterWork_%1").arg(n + 1), afterWork[n]);

    QString ordernums;
    QString seqs;
    qint64 k = 1;
    for (const PlateItemOrder& order : orders) {
        const QString ordernum = FormValue(order.ordernum);
        const qint64 sheets = SheetsPerCase(order.OrderQuantity(), plateQuantity);
        for (int c = 1; c <= order.pcases; ++c) {
            for (qint64 j = 1; j <= sheets; ++j, ++k) {
                const QString number = QString::number(k);
                ordernums += QStringLiteral("Ordernum_") + number + QLatin1Char('=') + ordernum +
                             QLatin1Char('&');
                seqs += QStringLiteral("Seq_") + number + QLatin1Char('=') + ThreeDigits(c) +
                        ThreeDigits(j) + QLatin1Char('&');
            }
        }
    }
    field(QStringLiteral("Maxnum"), QString::number(k - 1));
    text += ordernums;
    text += seqs;

    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == QLatin1Char('&'))
        --end;
    text.truncate(end);
    return form;
}
