#include "pdfserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <dlfcn.h>

namespace {

// Binding order; the indexes below follow it.
const std::vector<const char*> kNames = {
    "PDFLibInitW",
    "PDFLibExit",
    "PDFLibIsCompose",
    "PDFLibIsExport",
    "PDFLibIsMaster",
    "PDFLibIsMisc",
    "PDFLibExportPageImageW",
    "PDFLibMasterProcessW",
    "PDFLibMasterCountOutputs",
    "PDFLibMasterGetIndOutput",
    "PDFLibComposeBeginDocW",
    "PDFLibComposeEndDocW",
    "PDFLibComposeBeginPageW",
    "PDFLibComposeEndPageW",
    "PDFLibComposeOpenPDIDocW",
    "PDFLibComposeClosePDIDoc",
    "PDFLibComposeCountPagesW",
    "PDFLibComposeCountPDIPages",
    "PDFLibComposeGetPDIDocSizeW",
    "PDFLibComposeGetPDIPageSize",
    "PDFLibComposeOpenPDIPageW",
    "PDFLibComposeClosePDIPage",
    "PDFLibComposePlacePDIPage",
    "PDFLibComposePlacePDIDocW",
    "PDFLibComposePlaceImgeW",
    "PDFLibComposePlaceCMYKTextBoxW",
    "PDFLibComposeRGBLine",
    "PDFLibComposeCMYKLine",
    "PDFLibComposeRGBRect",
    "PDFLibComposeCMYKRect",
    "PDFLibComposeExtractBlocksW",
    "PDFLibComposeDataBlocksW",
    "PDFLibMiscCreateBarcodeW",
    "PDFLibMiscGetPDFVersionW",
    "PDFLibMiscSetPDFVersionW",
    "PDFLibMiscGetInformationW",
    "PDFLibMiscSetInformationsW",
    "PDFLibMiscGetPageSizeW",
    "PDFLibMiscExtractPagesW",
    "PDFLibMiscMergeW",
    "PDFLibMiscPrintPDFW",
    "IMGResizeW",
};

enum Entry {
    InitW = 0,
    Exit = 1,
    IsComposeE = 2,
    IsExportE = 3,
    IsMiscE = 5,
    ExportPageImageW = 6,
    BeginDocW = 10,
    EndDocW = 11,
    BeginPageW = 12,
    EndPageW = 13,
    CountPagesW = 16,
    GetPDIDocSizeW = 18,
    PlacePDIDocW = 23,
    PlaceImgeW = 24,
    PlaceCMYKTextBoxW = 25,
    RGBLine = 26,
    CMYKLine = 27,
    RGBRect = 28,
    CMYKRect = 29,
    CreateBarcodeW = 32,
    GetPDFVersionW = 33,
    SetPDFVersionW = 34,
    GetPageSizeW = 37,
    MergeW = 39,
};

QByteArray Utf8(const QString& text) {
    return text.toUtf8();
}

} // namespace

CPDFServer::CPDFServer() : m_entries(kNames.size(), nullptr) {}

CPDFServer::~CPDFServer() {
    Unload();
}

const std::vector<const char*>& CPDFServer::EntryPointNames() {
    return kNames;
}

QString CPDFServer::DefaultLibraryPath() {
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("libpdfcompose.so"));
}

bool CPDFServer::Load(const QString& libraryPath, const QString& dataPaths) {
    Unload();
    m_loadError.clear();
    m_library = dlopen(QFile::encodeName(libraryPath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_library) {
        m_loadError = QStringLiteral("cannot load the PDF library %1: %2")
                          .arg(libraryPath, QString::fromLocal8Bit(dlerror()));
        return false;
    }
    auto version = reinterpret_cast<decltype(&PDFLibInterfaceVersion)>(
        dlsym(m_library, "PDFLibInterfaceVersion"));
    const int found = version ? version() : 0;
    if (found != PDFCOMPOSE_INTERFACE_VERSION) {
        m_loadError =
            QStringLiteral("the PDF library %1 has interface version %2; this program needs %3")
                .arg(libraryPath)
                .arg(found)
                .arg(PDFCOMPOSE_INTERFACE_VERSION);
        Unload();
        return false;
    }
    m_lastError =
        reinterpret_cast<decltype(&PDFLibGetLastError)>(dlsym(m_library, "PDFLibGetLastError"));
    m_lastNotes =
        reinterpret_cast<decltype(&PDFLibGetLastNotes)>(dlsym(m_library, "PDFLibGetLastNotes"));
    m_exportImages = reinterpret_cast<decltype(&PDFLibExportPageImagesW)>(
        dlsym(m_library, "PDFLibExportPageImagesW"));
    m_preflight =
        reinterpret_cast<decltype(&PDFLibPreflightW)>(dlsym(m_library, "PDFLibPreflightW"));
    for (size_t i = 0; i < kNames.size(); ++i)
        m_entries[i] = dlsym(m_library, kNames[i]);
    auto init = reinterpret_cast<decltype(&PDFLibInitW)>(m_entries[InitW]);
    if (!init) {
        m_loadError = QStringLiteral("the PDF library %1 has no PDFLibInitW").arg(libraryPath);
        Unload();
        return false;
    }
    m_handle = init(dataPaths.isEmpty() ? nullptr : Utf8(dataPaths).constData(), nullptr);
    if (!m_handle) {
        m_loadError = QStringLiteral("the PDF library did not start: %1")
                          .arg(m_lastError ? QString::fromUtf8(m_lastError(nullptr)) : QString());
        Unload();
        return false;
    }
    m_libraryPath = libraryPath;
    return true;
}

void CPDFServer::Unload() {
    if (m_handle) {
        if (auto exit = reinterpret_cast<decltype(&PDFLibExit)>(m_entries[Exit]))
            exit(m_handle);
        m_handle = nullptr;
    }
    std::fill(m_entries.begin(), m_entries.end(), nullptr);
    m_lastError = nullptr;
    m_lastNotes = nullptr;
    m_exportImages = nullptr;
    m_preflight = nullptr;
    m_libraryPath.clear();
    if (m_library) {
        dlclose(m_library);
        m_library = nullptr;
    }
}

QString CPDFServer::LastError() const {
    if (!m_handle)
        return m_loadError.isEmpty() ? QStringLiteral("the PDF library is not loaded")
                                     : m_loadError;
    return m_lastError ? QString::fromUtf8(m_lastError(m_handle)) : QString();
}

QString CPDFServer::LastNotes() const {
    return m_handle && m_lastNotes ? QString::fromUtf8(m_lastNotes(m_handle)).trimmed() : QString();
}

bool CPDFServer::HasEntryPoint(const char* name) const {
    for (size_t i = 0; i < kNames.size(); ++i)
        if (qstrcmp(kNames[i], name) == 0)
            return m_handle && m_entries[i];
    return false;
}

Result<std::vector<CPDFServer::PreflightFinding>>
CPDFServer::Preflight(const PreflightRequest& request) {
    if (!m_handle)
        return Failure(LastError());
    if (!m_preflight)
        return Failure(QStringLiteral("the PDF library cannot preflight artwork"));
    const QByteArray path = Utf8(request.pdf);
    const PDFLibPreflightRequest asked = {path.constData(), request.width, request.height,
                                          request.bleed,    request.pages, request.cmyk ? 1 : 0,
                                          request.minDpi};
    const PDFLibPreflightFinding* found = nullptr;
    int count = 0;
    if (!m_preflight(m_handle, &asked, &found, &count))
        return Failure(LastError());
    std::vector<PreflightFinding> findings;
    for (int i = 0; i < count; ++i)
        findings.push_back({QString::fromUtf8(found[i].code), found[i].page, found[i].pages,
                            found[i].value, QString::fromUtf8(found[i].text)});
    return findings;
}

int CPDFServer::IsCompose() const {
    auto f = Bound<decltype(&PDFLibIsCompose)>(IsComposeE);
    return f ? f(m_handle) : 0;
}

int CPDFServer::IsExport() const {
    auto f = Bound<decltype(&PDFLibIsExport)>(IsExportE);
    return f ? f(m_handle) : 0;
}

int CPDFServer::IsMisc() const {
    auto f = Bound<decltype(&PDFLibIsMisc)>(IsMiscE);
    return f ? f(m_handle) : 0;
}

int CPDFServer::ExportImage(const QString& pdf, int page, const QString& imagePath, int dpi,
                            int quality) {
    auto f = Bound<decltype(&PDFLibExportPageImageW)>(ExportPageImageW);
    if (!f)
        return 0;
    // Paths go as they are, never through a command line.
    const QByteArray pdfBytes = Utf8(pdf), imageBytes = Utf8(imagePath);
    PDFLibImageRequest request = {};
    request.pdfPath = pdfBytes.constData();
    request.page = page;
    request.imagePath = imageBytes.constData();
    request.dpi = dpi;
    request.quality = quality;
    return f(m_handle, &request);
}

QStringList CPDFServer::ExportImages(const std::vector<ImageJob>& jobs, int workers, int dpi,
                                     int quality) {
    QStringList reasons;
    if (jobs.empty())
        return reasons;
    if (!m_handle || !m_exportImages) {
        for (const ImageJob& job : jobs)
            reasons << (ExportImage(job.pdf, job.page, job.imagePath, dpi, quality) ? QString()
                        : m_handle                                                  ? LastError()
                                   : QStringLiteral("the PDF library is not loaded"));
        return reasons;
    }
    std::vector<QByteArray> paths;
    paths.reserve(jobs.size() * 2);
    std::vector<PDFLibImageRequest> requests(jobs.size());
    for (size_t i = 0; i < jobs.size(); ++i) {
        paths.push_back(Utf8(jobs[i].pdf));
        requests[i].pdfPath = paths.back().constData();
        paths.push_back(Utf8(jobs[i].imagePath));
        requests[i].imagePath = paths.back().constData();
        requests[i].page = jobs[i].page;
        requests[i].dpi = dpi;
        requests[i].quality = quality;
    }
    std::vector<const char*> found(jobs.size(), nullptr);
    m_exportImages(m_handle, requests.data(), static_cast<int>(requests.size()), workers,
                   found.data());
    const QString whole = LastError();
    for (const char* reason : found)
        // A call refused as a whole gives no reason per page.
        reasons << (reason ? QString::fromUtf8(reason) : whole);
    return reasons;
}

int CPDFServer::ComposeBeginDoc(const QString& outputPath) {
    auto f = Bound<decltype(&PDFLibComposeBeginDocW)>(BeginDocW);
    return f ? f(m_handle, Utf8(outputPath).constData(), "") : 0;
}

int CPDFServer::ComposeEndDoc() {
    auto f = Bound<decltype(&PDFLibComposeEndDocW)>(EndDocW);
    return f ? f(m_handle, "") : 0;
}

int CPDFServer::ComposeBeginPage(double width, double height) {
    auto f = Bound<decltype(&PDFLibComposeBeginPageW)>(BeginPageW);
    return f ? f(m_handle, width, height, "") : 0;
}

int CPDFServer::ComposeEndPage() {
    auto f = Bound<decltype(&PDFLibComposeEndPageW)>(EndPageW);
    return f ? f(m_handle) : 0;
}

int CPDFServer::ComposeCountPages(const QString& pdf) {
    auto f = Bound<decltype(&PDFLibComposeCountPagesW)>(CountPagesW);
    return f ? f(m_handle, Utf8(pdf).constData()) : 0;
}

int CPDFServer::ComposeGetPDIDocSize(const QString& pdf, int page, double& width, double& height) {
    auto f = Bound<decltype(&PDFLibComposeGetPDIDocSizeW)>(GetPDIDocSizeW);
    return f ? f(m_handle, Utf8(pdf).constData(), page, &width, &height) : 0;
}

int CPDFServer::ComposePlacePDIDoc(const QString& pdf, int page, double x, double y, double width,
                                   double height, double rotation, double scale, int flags) {
    auto f = Bound<decltype(&PDFLibComposePlacePDIDocW)>(PlacePDIDocW);
    return f ? f(m_handle, Utf8(pdf).constData(), page, x, y, width, height, rotation, scale, flags)
             : 0;
}

int CPDFServer::ComposePlaceImage(const QString& image, double x, double y, double width,
                                  double height, double rotation) {
    auto f = Bound<decltype(&PDFLibComposePlaceImgeW)>(PlaceImgeW);
    return f ? f(m_handle, Utf8(image).constData(), x, y, width, height, rotation) : 0;
}

int CPDFServer::ComposePlaceCMYKTextBox(const QString& text, const QString& fontName, double size,
                                        double x, double y, double width, double height, double c,
                                        double m, double yellow, double k, int halign, int valign,
                                        double rotation, int wrap) {
    auto f = Bound<decltype(&PDFLibComposePlaceCMYKTextBoxW)>(PlaceCMYKTextBoxW);
    return f ? f(m_handle, Utf8(text).constData(), Utf8(fontName).constData(), size, x, y, width,
                 height, c, m, yellow, k, halign, valign, rotation, wrap)
             : 0;
}

int CPDFServer::ComposeRGBLine(double x1, double y1, double x2, double y2, double lineWidth,
                               double r, double g, double b) {
    auto f = Bound<decltype(&PDFLibComposeRGBLine)>(RGBLine);
    return f ? f(m_handle, x1, y1, x2, y2, lineWidth, r, g, b) : 0;
}

int CPDFServer::ComposeCMYKLine(double x1, double y1, double x2, double y2, double lineWidth,
                                double c, double m, double yellow, double k) {
    auto f = Bound<decltype(&PDFLibComposeCMYKLine)>(CMYKLine);
    return f ? f(m_handle, x1, y1, x2, y2, lineWidth, c, m, yellow, k) : 0;
}

int CPDFServer::ComposeRGBRect(double x, double y, double width, double height, double lineWidth,
                               double strokeR, double strokeG, double strokeB, double fillR,
                               double fillG, double fillB) {
    auto f = Bound<decltype(&PDFLibComposeRGBRect)>(RGBRect);
    return f ? f(m_handle, x, y, width, height, lineWidth, strokeR, strokeG, strokeB, fillR, fillG,
                 fillB)
             : 0;
}

int CPDFServer::ComposeCMYKRect(double x, double y, double width, double height, double lineWidth,
                                double strokeC, double strokeM, double strokeY, double strokeK,
                                double fillC, double fillM, double fillY, double fillK) {
    auto f = Bound<decltype(&PDFLibComposeCMYKRect)>(CMYKRect);
    return f ? f(m_handle, x, y, width, height, lineWidth, strokeC, strokeM, strokeY, strokeK,
                 fillC, fillM, fillY, fillK)
             : 0;
}

int CPDFServer::MiscCreateBarcode(const QString& outputPath, const QString& text, double width,
                                  double height, int kind, int options) {
    auto f = Bound<decltype(&PDFLibMiscCreateBarcodeW)>(CreateBarcodeW);
    return f ? f(m_handle, Utf8(outputPath).constData(), Utf8(text).constData(), width, height,
                 kind, options)
             : 0;
}

int CPDFServer::MiscGetPDFVersion(const QString& pdf) {
    auto f = Bound<decltype(&PDFLibMiscGetPDFVersionW)>(GetPDFVersionW);
    return f ? f(m_handle, Utf8(pdf).constData()) : 0;
}

int CPDFServer::MiscSetPDFVersion(const QString& pdf, int version) {
    auto f = Bound<decltype(&PDFLibMiscSetPDFVersionW)>(SetPDFVersionW);
    return f ? f(m_handle, Utf8(pdf).constData(), version) : 0;
}

int CPDFServer::MiscGetPageSize(const QString& pdf, int page, double& width, double& height) {
    auto f = Bound<decltype(&PDFLibMiscGetPageSizeW)>(GetPageSizeW);
    return f ? f(m_handle, Utf8(pdf).constData(), 0, page, &width, &height) : 0;
}

int CPDFServer::MiscMerge(const QStringList& inputs, const QString& outputPath) {
    auto f = Bound<decltype(&PDFLibMiscMergeW)>(MergeW);
    if (!f || inputs.isEmpty())
        return 0;
    std::vector<QByteArray> encoded;
    std::vector<const char*> pointers;
    for (const QString& input : inputs)
        encoded.push_back(Utf8(input));
    for (const QByteArray& bytes : encoded)
        pointers.push_back(bytes.constData());
    return f(m_handle, pointers.data(), static_cast<int>(pointers.size()),
             Utf8(outputPath).constData());
}
