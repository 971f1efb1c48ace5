#include "lazylibrary.h"

#include <dlfcn.h>

namespace pdfcompose {

LazyLibrary::LazyLibrary(const char* soname) : m_soname(soname) {
    m_handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* why = dlerror();
        throw Failure("cannot load " + m_soname + ": " + (why ? why : "not found"));
    }
}

void* LazyLibrary::Address(const char* name) const {
    dlerror();
    void* address = dlsym(m_handle, name);
    if (!address)
        throw Failure("cannot load " + m_soname + ": it has no " + name);
    return address;
}

} // namespace pdfcompose
