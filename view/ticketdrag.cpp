#include "ticketdrag.h"

#include <QMimeData>

namespace ticketdrag {

QMimeData* Encode(const QStringList& tickets) {
    auto* data = new QMimeData;
    data->setData(QLatin1String(kMimeType), tickets.join(QLatin1Char('\n')).toUtf8());
    return data;
}

bool Carries(const QMimeData* data) {
    return data && data->hasFormat(QLatin1String(kMimeType));
}

QStringList Decode(const QMimeData* data) {
    if (!Carries(data))
        return {};
    return QString::fromUtf8(data->data(QLatin1String(kMimeType)))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace ticketdrag
