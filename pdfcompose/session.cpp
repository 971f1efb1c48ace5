#include "session.h"

#include "failure.h"

#include <dlfcn.h>

#include <algorithm>
#include <thread>

using namespace pdfcompose;

namespace {

#ifdef PDFCOMPOSE_COMPOSER_LINKED
// Built into one program with the composer (the fuzzer): nothing to open.
auto MakeComposerFunction() {
    return &PDFComposeMakeComposer;
}
#else
// The module beside this library, opened once for the process and kept
// (see LazyLibrary).
auto MakeComposerFunction() {
    static const auto make = []() {
        Dl_info self;
        if (dladdr(reinterpret_cast<void*>(&PDFLibInitW), &self) == 0 || !self.dli_fname)
            throw Failure("cannot tell where the PDF library lies to open its composing module");
        std::string path = self.dli_fname;
        path.erase(path.rfind('/') + 1);
        static const LazyLibrary module((path + "libpdfcompose-composer.so").c_str());
        return module.Function<decltype(&PDFComposeMakeComposer)>("PDFComposeMakeComposer");
    }();
    return make;
}
#endif

} // namespace

PDFLibSession::PDFLibSession(const std::string& paths) : dataPaths(paths) {
    if (!dataPaths.empty())
        Composer();
}

PDFLibSession::~PDFLibSession() {
    // The children end together, not one after the other.
    for (auto& child : renderers)
        child->Signal();
}

pdfcompose::Composer& PDFLibSession::Composer() {
    if (!composer) {
        std::string error;
        composer.reset(MakeComposerFunction()(dataPaths.c_str(), &lastNotes, &error));
        if (!composer)
            throw Failure(error);
    }
    return *composer;
}

std::vector<RenderChild*> PDFLibSession::Renderers(int count) {
    if (count <= 0)
        count = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // More children than pages at once would only wait.
    count = std::min(count, 64);
    while (static_cast<int>(renderers.size()) < count)
        renderers.push_back(std::make_unique<RenderChild>());
    std::vector<RenderChild*> taken;
    for (int i = 0; i < count; ++i)
        taken.push_back(renderers[size_t(i)].get());
    return taken;
}
