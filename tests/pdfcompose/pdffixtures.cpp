#include "pdffixtures.h"

#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <poppler-document.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pdffixtures {

using OH = QPDFObjectHandle;

namespace {

OH Rect(const std::vector<double>& v) {
    std::vector<OH> items;
    for (double d : v)
        items.push_back(OH::newReal(d, 4));
    return OH::newArray(items);
}

} // namespace

void WriteSource(const std::string& path, const SourceSpec& spec) {
    QPDF pdf;
    pdf.emptyPDF();
    OH page = OH::newDictionary();
    page.replaceKey("/Type", OH::newName("/Page"));
    OH boxHolder = page;
    OH resources = OH::newDictionary();
    std::string content = spec.content;
    const std::vector<double>& visible = spec.cropBox.empty() ? spec.mediaBox : spec.cropBox;
    if (content.empty())
        content = "1 0 0 rg " + std::to_string(visible[0]) + " " + std::to_string(visible[1]) +
                  " 20 20 re f\n";
    if (spec.cmykImage) {
        OH image = pdf.newStream(
            std::string("\xff\x00\x00\x00\x00\xff\x00\x00\x00\x00\xff\x00\x00\x00\x00\xff", 16));
        OH dict = image.getDict();
        dict.replaceKey("/Type", OH::newName("/XObject"));
        dict.replaceKey("/Subtype", OH::newName("/Image"));
        dict.replaceKey("/Width", OH::newInteger(2));
        dict.replaceKey("/Height", OH::newInteger(2));
        dict.replaceKey("/ColorSpace", OH::newName("/DeviceCMYK"));
        dict.replaceKey("/BitsPerComponent", OH::newInteger(8));
        OH xobjects = OH::newDictionary();
        xobjects.replaceKey("/Im0", image);
        resources.replaceKey("/XObject", xobjects);
        content += "q 50 0 0 50 100 50 cm /Im0 Do Q\n";
    }
    page.replaceKey("/Resources", resources);
    if (spec.twoContentStreams) {
        page.replaceKey("/Contents", OH::newArray(std::vector<OH>{pdf.newStream("q\n"),
                                                                  pdf.newStream(content + "Q\n")}));
    } else {
        page.replaceKey("/Contents", pdf.newStream(content));
    }
    OH pageObject = pdf.makeIndirectObject(page);
    QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pageObject), false);
    OH holder = spec.inheritFromPages ? pdf.getRoot().getKey("/Pages") : pageObject;
    holder.replaceKey("/MediaBox", Rect(spec.mediaBox));
    if (!spec.cropBox.empty())
        holder.replaceKey("/CropBox", Rect(spec.cropBox));
    if (spec.rotate)
        holder.replaceKey("/Rotate", OH::newInteger(spec.rotate));
    if (spec.inheritFromPages)
        pageObject.removeKey("/MediaBox");
    QPDFWriter writer(pdf, path.c_str());
    writer.setMinimumPDFVersion(spec.version);
    writer.setStaticID(true);
    writer.write();
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessel-pdf-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    m_path = mkdtemp(buffer.data());
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string QpdfCheckProblems(const std::string& path) {
    std::string command = "qpdf --check '" + path + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "cannot run qpdf";
    std::string output;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return status == 0 && output.find("WARNING") == std::string::npos ? std::string() : output;
}

std::shared_ptr<QPDF> Read(const std::string& path) {
    auto pdf = std::make_shared<QPDF>();
    pdf->processFile(path.c_str());
    return pdf;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

std::vector<Placed> PlacedObjects(QPDFObjectHandle page) {
    std::vector<Placed> placed;
    std::string content;
    OH contents = page.getKey("/Contents");
    std::shared_ptr<Buffer> data = contents.getStreamData();
    content.assign(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    std::istringstream words(content);
    std::vector<std::string> stack;
    std::array<double, 6> matrix{1, 0, 0, 1, 0, 0};
    std::string word;
    while (words >> word) {
        if (word == "cm" && stack.size() >= 6) {
            for (int i = 0; i < 6; ++i)
                matrix[i] = std::strtod(stack[stack.size() - 6 + i].c_str(), nullptr);
        } else if (word == "Do" && !stack.empty()) {
            Placed p;
            p.name = stack.back();
            std::copy(matrix.begin(), matrix.end(), p.m);
            placed.push_back(p);
        } else if (word == "Q") {
            matrix = {1, 0, 0, 1, 0, 0};
        }
        if (word.find_first_not_of("0123456789.-") == std::string::npos || word[0] == '/')
            stack.push_back(word);
        else
            stack.clear();
    }
    return placed;
}

Rendered Render(const std::string& path, int page, double dpi) {
    Rendered result;
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path));
    if (!doc)
        return result;
    std::unique_ptr<poppler::page> p(doc->create_page(page - 1));
    poppler::page_renderer renderer;
    renderer.set_image_format(poppler::image::format_argb32);
    poppler::image image = renderer.render_page(p.get(), dpi, dpi);
    result.width = image.width();
    result.height = image.height();
    for (int y = 0; y < result.height; ++y)
        for (int x = 0; x < result.width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, image.const_data() + size_t(y) * image.bytes_per_row() + x * 4, 4);
            result.rgb.push_back(pixel >> 16);
            result.rgb.push_back(pixel >> 8);
            result.rgb.push_back(pixel);
        }
    return result;
}

std::string ExtractText(const std::string& path, int page) {
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path));
    if (!doc)
        return {};
    std::unique_ptr<poppler::page> p(doc->create_page(page - 1));
    poppler::byte_array utf8 = p->text().to_utf8();
    return std::string(utf8.begin(), utf8.end());
}

} // namespace pdffixtures

#include <jpeglib.h>

namespace pdffixtures {

Rendered DecodeJpeg(const std::string& path) {
    Rendered result;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return result;
    jpeg_decompress_struct decoder;
    jpeg_error_mgr errors;
    decoder.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decoder);
    jpeg_stdio_src(&decoder, file);
    jpeg_read_header(&decoder, TRUE);
    if (decoder.density_unit == 1 && decoder.X_density == decoder.Y_density)
        result.dpi = decoder.X_density;
    decoder.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder);
    result.width = decoder.output_width;
    result.height = decoder.output_height;
    result.rgb.resize(size_t(result.width) * result.height * 3);
    while (decoder.output_scanline < decoder.output_height) {
        JSAMPROW row = &result.rgb[size_t(decoder.output_scanline) * result.width * 3];
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    jpeg_destroy_decompress(&decoder);
    std::fclose(file);
    return result;
}

} // namespace pdffixtures
