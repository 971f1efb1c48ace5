#pragma once

#include <stdexcept>
#include <string>

namespace pdfcompose {

// Raised inside the library only; every entry point turns it into a return
// value and the handle's last-error text.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& what) : std::runtime_error(what) {}
};

} // namespace pdfcompose
