#pragma once

#include "commandline.h"

#include <vector>

// "plate press": the press files of a plate, with the installation's
// preference, colours and press marks.
std::vector<Command> PressCommands();
