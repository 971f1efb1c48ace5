#include "zeljob.h"

#include "filemove.h"
#include "joblisttext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cmath>

CZelJob::CZelJob(const QString& ticketPath) {
    QFile file(ticketPath);
    QByteArray data;
    if (!QFileInfo(ticketPath).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_readError = QStringLiteral("%1: %2").arg(
            ticketPath, file.exists() ? file.errorString() : QStringLiteral("no such ticket"));
        return;
    }
    data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_readError = QStringLiteral("%1: %2").arg(ticketPath, file.errorString());
        return;
    }
    if (m_tree.Parse(data.constData(), data.size()) > 0) {
        m_root = m_tree.GetRoot();
        if (m_root)
            m_path = ticketPath;
    }
    // A ticket is text: a NUL is a damaged file even where the reader
    // would pass over it.
    if (const qsizetype nul = data.indexOf('\0'); nul >= 0)
        m_readError = QStringLiteral("%1: a NUL byte at offset %2").arg(ticketPath).arg(nul);
    else if (!m_tree.LastParseReport().complete)
        m_readError = QStringLiteral("%1: not read whole: %2")
                          .arg(ticketPath, m_tree.LastParseReport().reason);
    else if (!m_root)
        m_readError = QStringLiteral("%1: no ticket element").arg(ticketPath);
}

const CTzmpItem* CZelJob::Child(const char* key) const {
    if (!m_root)
        return nullptr;
    return CTzmpTree::Typed(m_tree.FindChild(m_root, key));
}

int CZelJob::Int(const char* key) const {
    const CTzmpItem* item = Child(key);
    return item ? item->Value().toInt() : -1;
}

double CZelJob::Double(const char* key, double missing) const {
    const CTzmpItem* item = Child(key);
    return item ? item->Value().toDouble() : missing;
}

bool CZelJob::GetText(const char* key, QString& text) const {
    const CTzmpItem* item = Child(key);
    if (!item)
        return false;
    text = item->Value().toString();
    return true;
}

bool CZelJob::GetClearedText(const char* key, QString& text) const {
    text.clear();
    return GetText(key, text);
}

QString CZelJob::Text(const char* key) const {
    QString text;
    GetText(key, text);
    return text;
}

QStringList CZelJob::AfterWorks(bool second) const {
    QStringList texts;
    if (!m_root)
        return texts;
    const CMTItem* list = m_tree.FindChild(m_root, second ? "AfterWorkList2" : "AfterWorkList");
    if (!list)
        return texts;
    // From the first step on, every following sibling counts, whatever its name.
    for (const CMTItem* step = m_tree.FindChild(list, second ? "AfterWork2" : "AfterWork"); step;
         step = step->NextSibling()) {
        if (const CMTItem* sub = m_tree.FindChild(step, "SubName"))
            texts << static_cast<const CTzmpItem*>(sub)->Value().toString();
    }
    return texts;
}

QString CZelJob::AfterWorkText(bool second) const {
    QString text;
    for (const QString& step : AfterWorks(second))
        text += step + QLatin1Char(';');
    return text;
}

bool CZelJob::GetQuantityText(QString& text) const {
    const double quantity = GetQuantity();
    if (!(quantity > 0.0))
        return false;
    // Truncated hundredths, in doubles: a ticket may hold any number.
    if (std::fmod(std::trunc(quantity * 100.0), 100.0) > 0.0)
        text = QString::number(quantity, 'f', 1);
    else
        text = joblisttext::WholeText(quantity);
    return true;
}

bool CZelJob::GetCasesText(QString& text) const {
    const int cases = GetPcases();
    if (cases <= 0)
        return false;
    text = QString::number(cases);
    return true;
}

bool CZelJob::GetPdfPath(QString& path) const {
    if (m_path.isEmpty())
        return false;
    const QFileInfo ticket(m_path);
    if (!ticket.exists())
        return false;
    path = ticket.dir().filePath(ticket.completeBaseName() + QStringLiteral(".pdf"));
    return QFileInfo::exists(path);
}

bool CZelJob::MoveTo(const QString& folder) {
    m_error.clear();
    if (m_path.isEmpty() || !QFileInfo::exists(m_path)) {
        m_error = QStringLiteral("the ticket %1 no longer exists").arg(m_path);
        return false;
    }
    QString pdf;
    const bool hasPdf = GetPdfPath(pdf);
    const QDir target(folder);
    const QString base = QFileInfo(m_path).completeBaseName();
    const QString ticket = target.filePath(base + QLatin1Char('.') + QLatin1String(kExtension));
    const QString pdfTarget = target.filePath(base + QStringLiteral(".pdf"));
    // Checked first so that a PDF in the way does not cost a move and a
    // move back; the moves themselves refuse to replace as well.
    for (const QString& path : {ticket, pdfTarget}) {
        if (QFileInfo(path).exists() || QFileInfo(path).isSymLink()) {
            m_error = QStringLiteral("%1 already exists; the order stays in %2")
                          .arg(path, QFileInfo(m_path).absolutePath());
            return false;
        }
    }
    if (const Result<void> moved = filemove::Move(m_path, ticket); !moved) {
        m_error = moved.error();
        return false;
    }
    const QString from = m_path;
    m_path = ticket;
    if (!hasPdf)
        return true;
    const Result<void> followed = filemove::Move(pdf, pdfTarget);
    if (followed)
        return true;
    // A ticket without its PDF cannot be placed or printed: it goes back.
    if (const Result<void> back = filemove::Move(ticket, from); back) {
        m_path = from;
        m_error = QStringLiteral("the PDF did not follow the ticket, which went back: %1")
                      .arg(followed.error());
    } else {
        m_error = QStringLiteral("the PDF did not follow the ticket (%1), and the ticket cannot go "
                                 "back (%2); it is in %3")
                      .arg(followed.error(), back.error(), folder);
    }
    return false;
}

Result<QString> CZelJob::LocationFolder(const QString& jobsFolder) const {
    QString location;
    if (!GetLocation(location) || m_path.isEmpty())
        return Failure(QStringLiteral("the ticket %1 has no \"Location\"").arg(m_path));
    auto refuse = [&](const char* why) {
        return Failure(QStringLiteral("the \"Location\" %1 of %2 %3; the order stays where it is")
                           .arg(location, m_path, QLatin1String(why)));
    };
    // Written by Windows systems: "\" separates, and one leading separator
    // means "under the job folder". Two (a network path) or a drive leave it.
    QString relative = location;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (relative.startsWith(QLatin1String("//")))
        return refuse("names a network path");
    if (relative.contains(QLatin1Char(':')))
        return refuse("names a drive");
    QStringList parts;
    for (const QString& part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return refuse("leads outside the job folder");
        if (part != QLatin1String("."))
            parts << part;
    }
    QString base = jobsFolder;
    while (base.size() > 1 && (base.endsWith(QLatin1Char('/')) || base.endsWith(QLatin1Char('\\'))))
        base.chop(1);
    const QString named =
        parts.isEmpty() ? base : base + QLatin1Char('/') + parts.join(QLatin1Char('/'));
    // A symbolic link on the way may lead anywhere: the real folder decides.
    const QString real = QFileInfo(named).canonicalFilePath();
    const QString realBase = QFileInfo(base).canonicalFilePath();
    if (real.isEmpty() || realBase.isEmpty() || !QFileInfo(real).isDir())
        return refuse("names no folder");
    if (real != realBase && !real.startsWith(realBase + QLatin1Char('/')))
        return refuse("leads outside the job folder through a link");
    return named;
}

bool CZelJob::MoveToLocation(const QString& jobsFolder) {
    m_error.clear();
    const Result<QString> folder = LocationFolder(jobsFolder);
    if (!folder) {
        m_error = folder.error();
        return false;
    }
    return MoveTo(folder.value());
}

bool CZelJob::MoveBack(const QString& origin, const QString& jobsFolder) {
    if (!origin.isEmpty() && QFileInfo(origin).isDir() && MoveTo(origin))
        return true;
    const QString first = origin.isEmpty() || QFileInfo(origin).isDir()
                              ? m_error
                              : QStringLiteral("the folder %1 is gone").arg(origin);
    if (!jobsFolder.isEmpty() && MoveToLocation(jobsFolder))
        return true;
    const QString second = jobsFolder.isEmpty() ? QStringLiteral("no job folder is set") : m_error;
    m_error = first.isEmpty() ? second : QStringLiteral("%1; %2").arg(first, second);
    return false;
}

bool IsGrid(double gridWidth, double gridHeight) {
    return gridWidth >= 1.0 && gridHeight >= 1.0;
}

namespace {
// Cells of one direction: 1 when the length fits, else the ceiling.
double CellsAlong(double grid, double length) {
    if (!(length > grid)) // NaN counts as fitting
        return 1.0;
    const double whole = std::floor(length / grid);
    return length > grid * whole ? whole + 1.0 : whole;
}
} // namespace

int SlotsNeeded(double gridWidth, double gridHeight, double width, double height) {
    if (!IsGrid(gridWidth, gridHeight))
        return 0;
    const double cells = CellsAlong(gridWidth, width) * CellsAlong(gridHeight, height);
    // A ticket with an absurd size must not overflow the count.
    return cells >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(cells);
}

int GridCells(double gridWidth, double gridHeight, double width, double height) {
    return std::min(SlotsNeeded(gridWidth, gridHeight, width, height),
                    SlotsNeeded(gridWidth, gridHeight, height, width));
}
