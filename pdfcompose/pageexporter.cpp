#include "pageexporter.h"

#include "composer.h"
#include "failure.h"
#include "readlimits.h"
#include "renderchild.h"
#include "session.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <poll.h>

namespace pdfcompose {
namespace {

std::string Absolute(const std::string& path) {
    if (path.empty() || path[0] == '/')
        return path;
    std::error_code error;
    return (std::filesystem::current_path(error) / path).string();
}

// Checks the request: the child is asked to render the source's page as it
// is, and is sent the composed page when it answers that the page changes
// in composing.
RenderChild::Job Prepare(const PageExporter::Request& request) {
    if (request.image.empty())
        throw Failure("no image file given");
    if (request.dpi < 1 || request.dpi > 2400)
        throw Failure("the resolution must be 1 to 2400 dpi");
    if (request.quality < 1 || request.quality > 100)
        throw Failure("the JPEG quality must be 1 to 100");
    if (!std::isfinite(request.seconds) || request.seconds < 0 || request.seconds > 3600)
        throw Failure("the time limit must be 0 to 3600 s");
    if (!std::isfinite(request.megabytes) || request.megabytes < 0 || request.megabytes > 65536)
        throw Failure("the memory limit must be 0 to 65536 MB");
    RenderChild::Job job;
    job.dpi = request.dpi;
    job.quality = request.quality;
    job.seconds = request.seconds > 0 ? request.seconds : limits::kRenderSeconds;
    job.megabytes = request.megabytes > 0 ? request.megabytes : limits::kRenderMegabytes;
    job.page = request.page;
    // The child keeps the folder it started in.
    job.source = Absolute(request.pdf);
    job.image = Absolute(request.image);
    if (request.page < 1 || request.pdf.empty())
        job.page = 0; // composing gives the reason
    return job;
}

// The page as a composed document places it: what prints is what shows.
void Compose(PDFLibSession& session, const PageExporter::Request& request, RenderChild::Job& job) {
    Composer& composer = session.Composer();
    double widthPt = 0, heightPt = 0;
    composer.ShownSizePt(request.pdf, request.page, widthPt, heightPt);
    job.pixels = std::ceil(widthPt / 72 * job.dpi) * std::ceil(heightPt / 72 * job.dpi);
    if (job.pixels > limits::kRenderPixels)
        throw Failure(request.pdf + ": page " + std::to_string(request.page) + " at " +
                      std::to_string(job.dpi) + " dpi would have " +
                      std::to_string(static_cast<long long>(job.pixels / 1e6)) +
                      " million pixels; at most " +
                      std::to_string(static_cast<long long>(limits::kRenderPixels / 1e6)) +
                      " million are rendered");
    job.pdf = composer.PageAlone(request.pdf, request.page);
    job.page = 0;
}

std::string Reason(const PageExporter::Request& request, const std::string& why) {
    return request.pdf + ", page " + std::to_string(request.page) + ": " + why;
}

} // namespace

std::vector<std::string>
PageExporter::ExportAll(PDFLibSession& session, const std::vector<Request>& requests, int workers) {
    std::vector<std::string> reasons(requests.size());
    const std::vector<RenderChild*> children =
        session.Renderers(std::min<int>(workers, std::max<int>(1, int(requests.size()))));
    // The children get their renderer ready while the first pages are
    // composed; one that cannot start is reported when it is handed a page.
    for (RenderChild* child : children) {
        try {
            child->Launch();
        } catch (const Failure&) {
        }
    }
    std::vector<size_t> working(children.size());        // the request each busy child renders
    std::vector<RenderChild::Job> sent(children.size()); // and its job, kept to compose it
    size_t next = 0;
    auto finish = [&](size_t child) {
        const size_t index = working[child];
        try {
            if (children[child]->Answer())
                return; // written
        } catch (const Failure& failure) {
            reasons[index] = Reason(requests[index], failure.what());
            return;
        }
        // The page changes in composing: the same child renders it composed.
        try {
            Compose(session, requests[index], sent[child]);
            children[child]->Send(std::move(sent[child]));
        } catch (const Failure& failure) {
            reasons[index] = failure.what();
        }
    };
    for (;;) {
        // Idle children take the next pages, in the order asked. A request
        // refused before it is sent leaves the child for the next one; a
        // child that cannot be reached is given no more this round.
        for (size_t c = 0; c < children.size(); ++c) {
            while (!children[c]->Busy() && next < requests.size()) {
                const size_t index = next++;
                try {
                    sent[c] = Prepare(requests[index]);
                    if (sent[c].page == 0)
                        Compose(session, requests[index], sent[c]);
                } catch (const Failure& failure) {
                    reasons[index] = failure.what();
                    continue;
                }
                working[c] = index;
                try {
                    children[c]->Send(sent[c]);
                } catch (const Failure& failure) {
                    reasons[index] = failure.what();
                    break;
                }
            }
        }
        std::vector<pollfd> waits;
        std::vector<size_t> waiting;
        auto soonest = std::chrono::steady_clock::time_point::max();
        for (size_t c = 0; c < children.size(); ++c) {
            if (!children[c]->Busy())
                continue;
            waits.push_back({children[c]->Socket(), POLLIN, 0});
            waiting.push_back(c);
            soonest = std::min(soonest, children[c]->Deadline());
        }
        if (waits.empty()) {
            if (next >= requests.size())
                break;
            continue; // every child idle: hand out the next pages
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              soonest - std::chrono::steady_clock::now())
                              .count();
        if (poll(waits.data(), waits.size(),
                 static_cast<int>(std::clamp<long long>(left + 1, 0, 1000))) < 0 &&
            errno != EINTR)
            throw Failure(std::string("cannot wait for the renderer: ") + std::strerror(errno));
        const auto now = std::chrono::steady_clock::now();
        for (size_t w = 0; w < waits.size(); ++w) {
            const size_t c = waiting[w];
            if (children[c]->Receive() || now >= children[c]->Deadline())
                finish(c);
        }
    }
    return reasons;
}

void PageExporter::Export(PDFLibSession& session, const Request& request) {
    const std::vector<std::string> reasons = ExportAll(session, {request}, 1);
    if (!reasons[0].empty())
        throw Failure(reasons[0]);
}

} // namespace pdfcompose
