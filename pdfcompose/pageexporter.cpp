#include "pageexporter.h"

#include "failure.h"
#include "jpegfile.h"
#include "outputfile.h"
#include "pdfsource.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>

namespace pdfcompose {
namespace {

int Number(const std::string& option, const std::string& word, int low, int high) {
    int value = 0;
    auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size() || value < low ||
        value > high)
        throw Failure("the value of " + option + " must be a number from " + std::to_string(low) +
                      " to " + std::to_string(high) + ", not \"" + word + "\"");
    return value;
}

void Silence(const std::string&, void*) {}

} // namespace

std::vector<std::string> PageExporter::Words(const std::string& commandLine) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < commandLine.size()) {
        while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t'))
            ++i;
        if (i == commandLine.size())
            break;
        std::string word;
        bool quoted = false;
        // A word ends at a space outside quotes; quotes only group.
        for (; i < commandLine.size() &&
               (quoted || (commandLine[i] != ' ' && commandLine[i] != '\t'));
             ++i) {
            if (commandLine[i] == '"')
                quoted = !quoted;
            else
                word.push_back(commandLine[i]);
        }
        if (quoted)
            throw Failure("the command line has an unclosed quote");
        words.push_back(word);
    }
    return words;
}

PageExporter::Request PageExporter::Parse(const std::string& commandLine) {
    Request request;
    std::vector<std::string> words = Words(commandLine);
    bool haveFolder = false, havePrefix = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= words.size())
                throw Failure("the option " + word + " needs a value");
            return words[++i];
        };
        if (word == "-o") {
            request.folder = value();
            haveFolder = true;
        } else if (word == "-f") {
            request.format = value();
            if (request.format != "jpg" && request.format != "jpeg")
                throw Failure("unknown image format \"" + request.format + "\" (only jpg)");
        } else if (word == "--prefix") {
            request.prefix = value();
            havePrefix = true;
        } else if (word == "--digits") {
            request.digits = Number(word, value(), 0, 9);
        } else if (word == "--dpi") {
            request.dpi = Number(word, value(), 1, 2400);
        } else if (word == "-q") {
            request.quality = Number(word, value(), 1, 100);
        } else if (word == "--printmode") {
            request.printMode = true;
        } else if (word == "--pages") {
            request.page = Number(word, value(), 1, 1000000);
        } else if (!word.empty() && word[0] == '-') {
            throw Failure("unknown option \"" + word + "\"");
        } else if (request.pdf.empty()) {
            request.pdf = word;
        } else {
            throw Failure("more than one PDF on the command line: \"" + word + "\"");
        }
    }
    if (!haveFolder || request.folder.empty())
        throw Failure("the command line names no output folder (-o)");
    if (!havePrefix || request.prefix.empty() || request.prefix.find('/') != std::string::npos)
        throw Failure("the command line names no valid file name (--prefix)");
    if (request.page == 0)
        throw Failure("the command line names no page (--pages)");
    if (request.pdf.empty())
        throw Failure("the command line names no PDF");
    return request;
}

std::string PageExporter::OutputPath(const Request& request) {
    std::string path = request.folder;
    if (path.back() != '/')
        path.push_back('/');
    path += request.prefix;
    if (request.digits > 0) {
        std::string number = std::to_string(request.page);
        if (number.size() < static_cast<size_t>(request.digits))
            number.insert(0, request.digits - number.size(), '0');
        path += number;
    }
    return path + ".jpg";
}

void PageExporter::Export(const Request& request) {
    // The same checks as for placing, so a preview never shows what the
    // press output would refuse.
    std::shared_ptr<PdfSource> source = PdfSource::Open(request.pdf);
    source->Box(request.page);

    poppler::set_debug_error_function(Silence, nullptr);
    std::unique_ptr<poppler::document> document(poppler::document::load_from_file(request.pdf));
    if (!document || document->is_locked())
        throw Failure(request.pdf + ": the renderer cannot open the file");
    std::unique_ptr<poppler::page> page(document->create_page(request.page - 1));
    if (!page)
        throw Failure(request.pdf + ": the renderer cannot open page " +
                      std::to_string(request.page));
    poppler::page_renderer renderer;
    renderer.set_render_hint(poppler::page_renderer::antialiasing, true);
    renderer.set_render_hint(poppler::page_renderer::text_antialiasing, true);
    renderer.set_paper_color(0xFFFFFFFFu);
    renderer.set_image_format(poppler::image::format_argb32);
    poppler::image image = renderer.render_page(page.get(), request.dpi, request.dpi);
    if (!image.is_valid() || image.width() <= 0 || image.height() <= 0)
        throw Failure(request.pdf + ": page " + std::to_string(request.page) +
                      " cannot be rendered");

    const int width = image.width(), height = image.height();
    std::vector<unsigned char> rgb(size_t(width) * height * 3);
    const char* data = image.const_data();
    for (int y = 0; y < height; ++y) {
        const char* row = data + size_t(y) * image.bytes_per_row();
        for (int x = 0; x < width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, row + size_t(x) * 4,
                        4); // 0xAARRGGBB in native order, opaque on white paper
            unsigned char* out = &rgb[(size_t(y) * width + x) * 3];
            out[0] = static_cast<unsigned char>(pixel >> 16);
            out[1] = static_cast<unsigned char>(pixel >> 8);
            out[2] = static_cast<unsigned char>(pixel);
        }
    }
    const std::string target = OutputPath(request);
    OutputFile output(target);
    std::string reason;
    if (!JpegFile::WriteRgb(output.TempPath(), rgb.data(), width, height, request.quality, reason))
        throw Failure(reason);
    // A preview that does not load is rendered again, so it need not wait
    // for the disk.
    output.Commit(false);
}

} // namespace pdfcompose
