#pragma once

#include <QIcon>
#include <QPixmap>

// The small pictures of the job lists, drawn once per run.
namespace joblisticons {

// A ticket (16 x 16); with a note on it when the order carries a worker memo.
const QIcon& Order(bool memo);
// What follows the cursor while orders are dragged: a stack of tickets with
// their count. The hot spot is (8, 8).
QPixmap Drag(int orders);

} // namespace joblisticons
