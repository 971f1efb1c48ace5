#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

// Orders dragged from the job list onto the plate travel as the full paths
// of their tickets, one per line, under a MIME type of the program's own, so
// that no other program's drop is taken for orders.
namespace ticketdrag {

inline constexpr char kMimeType[] = "application/x-tessel-job-tickets";

// The drag's payload for these tickets; the caller owns it (QDrag takes it).
QMimeData* Encode(const QStringList& tickets);
bool Carries(const QMimeData* data);
// The tickets of a payload; empty for anything else.
QStringList Decode(const QMimeData* data);

} // namespace ticketdrag
