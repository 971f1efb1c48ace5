#pragma once

#include <stdexcept>
#include <string>

namespace pdfcompose {

// Raised inside the library only; every entry point turns it into a return
// value and the handle's last-error text. Visible, so that one raised in the
// composing module is caught as such by the library.
class __attribute__((visibility("default"))) Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& what) : std::runtime_error(what) {}
};

} // namespace pdfcompose
