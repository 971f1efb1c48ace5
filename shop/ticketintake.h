#pragma once

#include "engine/tesseldoc.h"
#include "markup/result.h"

#include <QString>
#include <QStringList>

#include <vector>

// Taking orders from job folders onto a plate: their tickets and PDFs move
// into the plate's progress folder, the engine places them, and what was not
// placed goes back.
namespace ticketintake {

// The tickets named: ticket files, or every ticket of a folder, in name
// order.
Result<QStringList> TicketsIn(const QStringList& sources);

struct OrderOutcome {
    QString ordernum;
    int items = 0; // items of the order on the plate after the drop; 0: returned
};

struct Outcome {
    CTesselDoc::DropResult drop = CTesselDoc::DropResult::Outside;
    std::vector<OrderOutcome> orders; // every ticket taken, in ticket order
    QStringList notTaken;             // "ticket: reason" for tickets left where they were
};

// Takes the tickets onto the plate at (x, y) and saves it. When the save
// fails, the tickets of this drop go back to the job folder and the reason
// is returned.
Result<Outcome> TakeAndPlace(CTesselDoc& doc, const QStringList& tickets, double x, double y,
                             bool oneCopy);

} // namespace ticketintake
