#include "mtitem.h"

int CMTItem::WriteValue(QByteArray&) const {
    return 0;
}

int CMTItem::ReadValue(const char*, qsizetype) {
    return 0;
}
