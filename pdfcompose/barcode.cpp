#include "barcode.h"

#include "deflate.h"
#include "failure.h"
#include "geometry.h"
#include "lazylibrary.h"
#include "outputfile.h"
#include "pdfwrite.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <zint.h>

#include <cmath>
#include <memory>

namespace pdfcompose {
namespace {

// The barcode encoder, loaded with the first barcode.
struct Zint {
    LazyLibrary library{TESSEL_ZINT_SONAME};
    PDFCOMPOSE_LAZY_FUNCTION(create, ZBarcode_Create);
    PDFCOMPOSE_LAZY_FUNCTION(destroy, ZBarcode_Delete);
    PDFCOMPOSE_LAZY_FUNCTION(encode, ZBarcode_Encode);
    PDFCOMPOSE_LAZY_FUNCTION(vector, ZBarcode_Buffer_Vector);

    // Loaded once; a failed load is tried again on the next call.
    static const Zint& Get() {
        static const Zint loaded;
        return loaded;
    }
};

} // namespace

void Barcode::WritePdf(const std::string& path, const std::string& text, double width,
                       double height, int kind) {
    if (kind != 3)
        throw Failure("unknown barcode kind " + std::to_string(kind) + " (3 is Code 128)");
    if (!std::isfinite(width) || !std::isfinite(height) || width < 1 || height < 1 ||
        width > 5080 || height > 5080)
        throw Failure("a barcode must be 1 to 5080 mm wide and high");
    if (text.empty())
        throw Failure("no text to encode");
    const Zint& zint = Zint::Get();
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(zint.create(), zint.destroy);
    if (!symbol)
        throw Failure("out of memory");
    symbol->symbology = BARCODE_CODE128;
    symbol->input_mode = UNICODE_MODE;
    symbol->show_hrt = 0;
    const int encoded =
        zint.encode(symbol.get(), reinterpret_cast<const unsigned char*>(text.data()),
                    static_cast<int>(text.size()));
    if (encoded >= ZINT_ERROR)
        throw Failure("cannot encode \"" + text + "\" as Code 128: " + symbol->errtxt);
    if (zint.vector(symbol.get(), 0) >= ZINT_ERROR || !symbol->vector ||
        symbol->vector->width <= 0 || symbol->vector->height <= 0)
        throw Failure(std::string("cannot draw the barcode: ") + symbol->errtxt);

    const double pageW = MmToPt(width), pageH = MmToPt(height);
    const double sx = pageW / symbol->vector->width, sy = pageH / symbol->vector->height;
    std::string content = "1 1 1 1 k\n";
    for (const zint_vector_rect* rect = symbol->vector->rectangles; rect; rect = rect->next) {
        // zint measures from the top-left, y downwards.
        content += FormatNumber(rect->x * sx) + " " +
                   FormatNumber(pageH - (rect->y + rect->height) * sy) + " " +
                   FormatNumber(rect->width * sx) + " " + FormatNumber(rect->height * sy) + " re\n";
    }
    content += "f\n";

    OutputFile output(path);
    try {
        QPDF pdf;
        pdf.emptyPDF();
        using OH = QPDFObjectHandle;
        OH contents = pdf.newStream();
        contents.replaceStreamData(Deflate(content), OH::newName("/FlateDecode"), OH::newNull());
        OH page = OH::newDictionary();
        page.replaceKey("/Type", OH::newName("/Page"));
        page.replaceKey("/MediaBox", OH::newArray(std::vector<OH>{
                                         OH::newInteger(0), OH::newInteger(0),
                                         OH::newReal(pageW, 4), OH::newReal(pageH, 4)}));
        page.replaceKey("/Resources", OH::newDictionary());
        page.replaceKey("/Contents", contents);
        QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)),
                                            false);
        pdfcompose::WritePdf(pdf, output, PdfVersion());
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        throw Failure("cannot write " + path + ": " + e.what());
    }
}

} // namespace pdfcompose
