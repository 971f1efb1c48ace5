#include "pdfcommands.h"

#include "markup/numbertext.h"
#include "pdfbinding/imposeritem.h"
#include "pdfbinding/pdfserver.h"

namespace {

// What the library repaired, opened or left out to read the file.
void PrintNotes(const CPDFServer& server) {
    const QString notes = server.LastNotes();
    if (!notes.isEmpty())
        for (const QString& line : notes.split(QLatin1Char('\n')))
            PrintWarning(line);
}

bool LoadServer(CPDFServer& server) {
    if (server.Load())
        return true;
    Fail(server.LoadError());
    return false;
}

int Info(CommandLine& args) {
    QStringList files;
    if (!args.Positionals(files, 1, 1))
        return Fail(args.Error(), 2);
    CPDFServer server;
    if (!LoadServer(server))
        return 1;
    const int pages = server.ComposeCountPages(files.at(0));
    if (!pages)
        return Fail(server.LastError());
    PrintNotes(server);
    const int version = server.MiscGetPDFVersion(files.at(0));
    PrintLine(QStringLiteral("%1: %2 %3, PDF %4.%5")
                  .arg(files.at(0))
                  .arg(pages)
                  .arg(pages == 1 ? QStringLiteral("page") : QStringLiteral("pages"))
                  .arg(version / 10)
                  .arg(version % 10));
    for (int page = 1; page <= pages; ++page) {
        double width = 0, height = 0;
        if (!server.MiscGetPageSize(files.at(0), page, width, height))
            return Fail(server.LastError());
        PrintLine(QStringLiteral("page %1: %2 * %3")
                      .arg(page)
                      .arg(numbertext::MillimetreText(width), numbertext::MillimetreText(height)));
    }
    return 0;
}

int Preview(CommandLine& args) {
    QString pageText, rotationText;
    QStringList files;
    if (!args.TakeOption(QStringLiteral("--page"), pageText) ||
        !args.TakeOption(QStringLiteral("--rotate"), rotationText) ||
        !args.Positionals(files, 2, 2))
        return Fail(args.Error(), 2);
    bool ok = true;
    const int page = pageText.isEmpty() ? 1 : pageText.toInt(&ok);
    if (!ok || page < 1)
        return Fail(QStringLiteral("--page takes a page number from 1"), 2);
    const int rotation = rotationText.isEmpty() ? 0 : rotationText.toInt(&ok);
    if (!ok || rotation % 90 != 0)
        return Fail(QStringLiteral("--rotate takes 0, 90, 180 or 270"), 2);
    if (!files.at(1).endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
        return Fail(QStringLiteral("the preview is written as a \".jpg\" file"), 2);
    CPDFServer server;
    if (!LoadServer(server))
        return 1;
    CImposerItem item;
    item.SetPdfPath(files.at(0));
    const bool rendered = item.RenderPage(server, page - 1, files.at(1), rotation);
    if (!rendered)
        return Fail(server.LastError().isEmpty()
                        ? QStringLiteral("%1: no such PDF").arg(files.at(0))
                        : server.LastError());
    PrintNotes(server);
    const QImage& image = item.Picture().Image();
    PrintLine(QStringLiteral("%1: %2 x %3 pixels, page %4 * %5, shown at %6 degrees")
                  .arg(files.at(1))
                  .arg(image.width())
                  .arg(image.height())
                  .arg(numbertext::MillimetreText(item.PageWidth()),
                       numbertext::MillimetreText(item.PageHeight()))
                  .arg(rotation));
    return 0;
}

} // namespace

std::vector<Command> PdfCommands() {
    return {
        {"pdf info", "FILE",
         "print a PDF's page count, version and page sizes through the PDF library", Info},
        {"pdf preview", "PDF IMAGE.jpg [--page N] [--rotate DEG]",
         "render a page's preview as the plate view shows it (96 dpi JPEG)", Preview},
    };
}
