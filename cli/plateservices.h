#pragma once

#include "engine/tesseldoc.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CliLogin;
class CZelJob;
class Installation;
struct PlateProperties;

// Making plates and taking orders onto them: what "plate new", "plate
// place" and applying a gang plan share.
namespace plateservices {

// The name of the preset without a file: the new-plate dialog's own values.
QString DefaultPresetName();

// A document preset's plate settings (the default values for the default
// preset). False with the reason when there is no such preset or it cannot
// be read whole.
bool ReadPresetProperties(const QString& presetName, PlateProperties& properties, QString* error);

// The site preset's plate type whose PAN or NAME is this text; false with
// the known types when there is none.
bool CheckPlateType(Installation& shop, const QString& plateType, QString* error);

// Creates a plate file from a preset for the logged-in operator, with a plate
// code of the site preset's plate type (its PAN or NAME). pressCount, when
// above 0, replaces the preset's sheets per plate. On success path is the
// new plate file.
bool CreatePlate(Installation& shop, const CliLogin& login, const QString& presetName,
                 const QString& plateType, const QDate& date, int pressCount, QString& path,
                 QString* error);

// Tickets named on the command line: ticket files, or every ticket of a
// folder, by name. Empty with the reason when a name is neither.
QStringList TicketsOf(const QStringList& sources, QString& error);

// Moves the tickets into the plate's progress folder and drops their orders
// onto the plate at (x, y); orders that are not placed have their tickets
// returned by the engine. Tickets that cannot be taken are warned about and
// left where they are. jobs receives the orders taken.
CTesselDoc::DropResult TakeOrders(CTesselDoc& doc, const QStringList& tickets, double x, double y,
                                  bool oneCopy, std::vector<std::unique_ptr<CZelJob>>& jobs);

// After a failed save: the tickets of the orders still in the plate's
// progress folder go back to the job folder.
void ReturnTaken(CTesselDoc& doc, const std::vector<std::unique_ptr<CZelJob>>& jobs);

} // namespace plateservices
