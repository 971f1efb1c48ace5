#pragma once

#include "markup/cp949.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <initializer_list>
#include <utility>

// Record files as other systems write them: code page 949, CR LF, values
// quoted where the key is text.
namespace recordfiles {

using Keys = std::initializer_list<std::pair<const char*, QString>>;

inline bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each value is written as given: quote text values yourself ("\"x\"").
inline QString Elements(Keys keys, int depth) {
    QString text;
    const QString indent(3 * depth, QLatin1Char(' '));
    for (const auto& [name, value] : keys)
        text += indent + QStringLiteral("<%1>%2</%1>\r\n").arg(QLatin1String(name), value);
    return text;
}

inline QString Q(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// A record file: prolog, root, header, then body (already indented).
inline QByteArray Record(const char* documentType, const QString& body) {
    const QString text =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<TESSEL_DOCUMENT_MARKUPS>\r\n") +
        Elements({{"DOCUMENT_TYPE", Q(QLatin1String(documentType))},
                  {"VERSION", Q(QStringLiteral("1.0"))}},
                 1) +
        body + QStringLiteral("</TESSEL_DOCUMENT_MARKUPS>\r\n");
    return cp949::FromUnicode(text);
}

// A temporary folder whose own name is Korean, so every path below it is.
class KoreanTempDir {
public:
    KoreanTempDir() : m_path(QDir(m_base.path()).filePath(QStringLiteral("작업 폴더"))) {
        QDir().mkpath(m_path);
    }
    bool isValid() const { return m_base.isValid() && QDir(m_path).exists(); }
    const QString& path() const { return m_path; }
    QString filePath(const QString& name) const { return QDir(m_path).filePath(name); }
    QString mkdir(const QString& name) const {
        const QString path = filePath(name);
        QDir().mkpath(path);
        return path;
    }

private:
    QTemporaryDir m_base;
    QString m_path;
};

} // namespace recordfiles
