#include "registrationurl.h"

#include <QUrl>

std::optional<RegistrationUrl> RegistrationUrl::Parse(const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() <= 0x20 || ch.unicode() == 0x7F || ch.isSpace())
            return std::nullopt;
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty())
        return std::nullopt;
    const int port = url.port(80);
    if (port <= 0 || port > 65535)
        return std::nullopt;

    // The object exactly as configured: QUrl would re-encode non-ASCII
    // characters as UTF-8, and the server expects them in code page 949
    // like the form.
    qsizetype start = text.indexOf(QLatin1String("//")) + 2; // past "http://"
    while (start < text.size() && text[start] != QLatin1Char('/') &&
           text[start] != QLatin1Char('?') && text[start] != QLatin1Char('#'))
        ++start;
    const qsizetype fragment = text.indexOf(QLatin1Char('#'), start);
    QString object = text.mid(start, fragment < 0 ? -1 : fragment - start);
    if (!object.startsWith(QLatin1Char('/')))
        object.prepend(QLatin1Char('/'));

    return RegistrationUrl{url.host(QUrl::EncodeUnicode), static_cast<quint16>(port), object};
}
