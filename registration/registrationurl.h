#pragma once

#include <QString>

#include <optional>

// The registration server's address, split from an absolute http URL such as
// "http://host:8080/plate/reg.php?site=1".
struct RegistrationUrl {
    QString host;   // name or dotted address, as the Host line carries it
    quint16 port;   // the URL's port, else 80
    QString object; // path with query, "/" when the URL has none

    // Nothing for an empty text, another scheme, no host, a port of 0, or
    // white space or control characters anywhere (they would break the
    // request line).
    static std::optional<RegistrationUrl> Parse(const QString& text);
};
