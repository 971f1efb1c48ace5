#include "zeljob.h"

#include "filemove.h"
#include "joblisttext.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cmath>

CZelJob::CZelJob(const QString& ticketPath) {
    if (m_tree.LoadFile(ticketPath) > 0) {
        m_root = m_tree.GetRoot();
        if (m_root)
            m_path = ticketPath;
    }
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
    if (!filemove::MoveReplacing(m_path, ticket, &m_error))
        return false;
    m_path = ticket;
    // The order is taken once its ticket has moved; a PDF that cannot follow
    // stays where it was, next to nothing, and is not reported.
    if (hasPdf)
        filemove::MoveReplacing(pdf, target.filePath(base + QStringLiteral(".pdf")));
    return true;
}

bool CZelJob::LocationFolder(const QString& jobsFolder, QString& folder, QString* error) const {
    QString location;
    if (!GetLocation(location) || m_path.isEmpty()) {
        if (error)
            *error = QStringLiteral("the ticket %1 has no \"Location\"").arg(m_path);
        return false;
    }
    auto refuse = [&](const char* why) {
        if (error)
            *error = QStringLiteral("the \"Location\" %1 of %2 %3; the order stays where it is")
                         .arg(location, m_path, QLatin1String(why));
        return false;
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
    folder = parts.isEmpty() ? base : base + QLatin1Char('/') + parts.join(QLatin1Char('/'));
    return true;
}

bool CZelJob::MoveToLocation(const QString& jobsFolder) {
    m_error.clear();
    QString folder;
    if (!LocationFolder(jobsFolder, folder, &m_error))
        return false;
    return MoveTo(folder);
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

void SortByPcases(std::vector<CZelJob*>& jobs) {
    std::stable_sort(jobs.begin(), jobs.end(),
              [](const CZelJob* a, const CZelJob* b) { return a->GetPcases() > b->GetPcases(); });
}
