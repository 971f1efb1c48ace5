#pragma once

#include "commandline.h"

#include <vector>

std::vector<Command> PreflightCommands();
