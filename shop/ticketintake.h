#pragma once

#include "engine/tesseldoc.h"
#include "markup/result.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Taking orders from job folders onto a plate without losing a ticket: the
// tickets are checked and the plate's trial run decides before any file
// moves; only the orders it accepts move into the plate's progress folder
// (recorded first in a journal there, so that a drop cut short can be
// finished on the next open); the plate is saved; and every order that was
// moved but not placed goes back to the folder it came from.
namespace ticketintake {

// The tickets named: ticket files, or every ticket of a folder, in name
// order.
Result<QStringList> TicketsIn(const QStringList& sources);

enum class Fate {
    Placed,   // on the plate, ticket and PDF in the progress folder
    Refused,  // never moved: still where it was
    Returned, // moved, not placed, and back in its folder
    Stranded, // moved, not placed, and could not go back: in the progress folder
};

struct OrderOutcome {
    QString ticket;   // the ticket's path now
    QString ordernum; // empty when the ticket could not be read
    Fate fate = Fate::Refused;
    int items = 0;  // items of the order placed by this drop
    QString reason; // why it was not placed, and for Stranded why it could not go back
};

struct Outcome {
    CTesselDoc::DropResult drop = CTesselDoc::DropResult::Outside;
    std::vector<OrderOutcome> orders; // one per ticket given, in the order given
    bool saved = false;               // the plate file was written
    QString saveError;                // the plate could not be saved: nothing was placed
    int Count(Fate fate) const;
};

// Points of a drop where tests stop it as a killed program would stop.
struct Hooks {
    std::function<void(int moved)> afterMove; // 0 before the first order moves, then per order
    std::function<void()> afterSave;
};

// Takes the tickets onto the plate at (x, y) and saves it. Fails, moving
// nothing, when the plate cannot take orders (no plate code, account, file
// or progress folder; no job folder set) or another drop onto it is running.
Result<Outcome> TakeAndPlace(CTesselDoc& doc, const QStringList& tickets, double x, double y,
                             bool oneCopy, const Hooks& hooks = {});

// At the start of a session: finishes the drops cut short on the plates of
// this account (their journals in the progress folders), telling the
// operator of each plate through the context's operator. Returns the plates
// looked at.
QStringList RecoverInterruptedDrops(const ShopContext& context, const QString& account);

} // namespace ticketintake
