#pragma once

#include "failure.h"

#include <string>

namespace pdfcompose {

// A shared library opened on first use instead of at start: a process that
// only renders previews or composes pages never maps the font subsetter or
// the barcode encoder (and the libraries they pull in), which shortens every
// start of a short-lived process.
class LazyLibrary {
public:
    // soname: the library's file name as the dynamic loader finds it.
    // Throws Failure when it cannot be opened. It stays open for the life of
    // the process: a library that registered exit handlers must not be
    // unloaded before they run.
    explicit LazyLibrary(const char* soname);
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;

    // The function called name, of type F (decltype of its declaration);
    // throws Failure naming the library when it is missing.
    template <typename F> F Function(const char* name) const {
        return reinterpret_cast<F>(Address(name));
    }

private:
    void* Address(const char* name) const;

    std::string m_soname;
    void* m_handle = nullptr;
};

} // namespace pdfcompose

// In a struct that holds a LazyLibrary called `library`: the member `member`,
// the library's function `function` with the type its header declares, so the
// name looked up and the type called can never differ.
#define PDFCOMPOSE_LAZY_FUNCTION(member, function)                                                 \
    const decltype(&::function) member = library.Function<decltype(&::function)>(#function)
