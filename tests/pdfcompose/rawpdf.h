#pragma once

#include <string>
#include <vector>

namespace pdffixtures {

// A PDF file from object bodies (object i + 1 is objects[i]) with a correct
// cross-reference table; the trailer's root is object 1. Needs no PDF
// library.
void WriteRawPdf(const std::string& path, const std::vector<std::string>& objects);

} // namespace pdffixtures
