#include "freshnessstamp.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

// A time that cannot be converted gives 0 for the date and -1, printed
// unsigned, for the clock fields.
constexpr quint32 kNoClock = 0xFFFFFFFFu;

QList<quint32> DateFields(const QDateTime& time, bool withSeconds) {
    if (!time.isValid())
        return withSeconds ? QList<quint32>{0, 0, 0, kNoClock, kNoClock, kNoClock}
                           : QList<quint32>{0, 0, 0, kNoClock, kNoClock};
    const QDateTime local = time.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    QList<quint32> fields{quint32(d.year()), quint32(d.month()), quint32(d.day()),
                          quint32(t.hour()), quint32(t.minute())};
    if (withSeconds)
        fields << quint32(t.second());
    return fields;
}

} // namespace

QString FreshnessStamp(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const quint64 size = static_cast<quint64>(info.size());
    QDateTime created = info.birthTime();
    if (!created.isValid())
        created = info.lastModified();
    QList<quint32> fields{quint32(size & 0xFFFFFFFFu), quint32(size >> 32)};
    fields << DateFields(created, true) << DateFields(info.lastModified(), false);
    QStringList texts;
    for (quint32 field : fields)
        texts << QString::number(field);
    return texts.join(QLatin1Char('-'));
}
