#pragma once

#include "commandline.h"

#include <vector>

// What "--help" prints: the program's overview, a group's commands
// ("tessel-cli plate --help") and one command with each option explained.
// Every line fits in 80 columns.
namespace commandhelp {

// The commands in the order the overview lists them.
std::vector<Command> InHelpOrder(std::vector<Command> commands);
void PrintOverview(const std::vector<Command>& commands);
// The commands whose name begins with the group word; false when none does.
bool PrintGroup(const std::vector<Command>& commands, const QString& group);
void PrintCommand(const Command& command);
// The lead and then the text, wrapped to width columns; lines after the
// first are indented.
QStringList Wrap(const QString& lead, const QString& text, int indent, int width = 80);

} // namespace commandhelp
