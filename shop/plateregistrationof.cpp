#include "plateregistrationof.h"

#include "engine/tesseldoc.h"

PlateRegistration RegistrationOf(const CTesselDoc& doc) {
    const PlateProperties& p = doc.Properties();
    PlateRegistration plate;
    plate.jobCode = p.jobCode;
    plate.presetName = p.presetName;
    plate.jobDate = p.jobDate;
    plate.userName = p.userName;
    plate.userInitial = p.userInitial;
    plate.paperType = p.paperType;
    plate.colorA = p.colorA;
    plate.colorB = p.colorB;
    plate.quantity = p.quantity;
    plate.pquantity = p.pressCount;
    plate.pressUnit = p.pressUnit;
    plate.comment = p.comment;
    plate.afterWork = p.afterWork;
    plate.paperSide = doc.Geometry().paperSide;
    for (int i = 0; i < doc.ItemCount(); ++i) {
        const CZelItem& item = *doc.ItemAt(i);
        plate.items.append({item.ordernum, item.pcases, item.quantity, item.pquantity});
    }
    return plate;
}
