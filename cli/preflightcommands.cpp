#include "preflightcommands.h"

#include "progress.h"

#include "engine/tesseldoc.h"
#include "records/zeljobcontainer.h"
#include "shop/installation.h"
#include "shop/preflight.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

// Findings exist: not a failure, but a script should look.
constexpr int kFindingsExit = 3;

// --bleed MM, --min-dpi N and --json, shared by both commands; the usage
// error, or empty.
QString TakeSettings(CommandLine& args, PreflightSettings& settings, bool& json) {
    QString bleed, dpi;
    if (!args.TakeOption(QStringLiteral("--bleed"), bleed) ||
        !args.TakeOption(QStringLiteral("--min-dpi"), dpi))
        return args.Error();
    bool ok = true;
    if (!bleed.isEmpty())
        settings.bleed = bleed.toDouble(&ok);
    if (!ok || !std::isfinite(settings.bleed) || settings.bleed < 0 || settings.bleed > 50)
        return QStringLiteral("--bleed must be a number of millimetres from 0 to 50");
    if (!dpi.isEmpty())
        settings.minDpi = dpi.toDouble(&ok);
    if (!ok || !std::isfinite(settings.minDpi) || settings.minDpi < 1 || settings.minDpi > 10000)
        return QStringLiteral("--min-dpi must be a number from 1 to 10000");
    json = args.TakeFlag(QStringLiteral("--json"));
    return QString();
}

QString PagesText(const PreflightFinding& finding) {
    if (finding.page <= 0)
        return QString();
    if (finding.pages > 1)
        return QStringLiteral("page %1 (+%2 more)").arg(finding.page).arg(finding.pages - 1);
    return QStringLiteral("page %1").arg(finding.page);
}

int Report(const std::vector<OrderPreflight>& results, const PreflightSettings& settings,
           bool json) {
    int withFindings = 0, findings = 0;
    for (const OrderPreflight& order : results) {
        withFindings += order.findings.empty() ? 0 : 1;
        findings += static_cast<int>(order.findings.size());
    }
    if (json) {
        QJsonArray orders;
        for (const OrderPreflight& order : results) {
            QJsonArray found;
            for (const PreflightFinding& finding : order.findings)
                found.append(QJsonObject{{QStringLiteral("code"), finding.code},
                                         {QStringLiteral("page"), finding.page},
                                         {QStringLiteral("pages"), finding.pages},
                                         {QStringLiteral("value"), finding.value},
                                         {QStringLiteral("text"), finding.text},
                                         {QStringLiteral("detail"), finding.detail}});
            orders.append(QJsonObject{{QStringLiteral("ordernum"), order.ordernum},
                                      {QStringLiteral("pdf"), order.pdfPath},
                                      {QStringLiteral("findings"), found}});
        }
        const QJsonObject root{{QStringLiteral("bleed_mm"), settings.bleed},
                               {QStringLiteral("min_dpi"), settings.minDpi},
                               {QStringLiteral("orders"), orders},
                               {QStringLiteral("orders_with_findings"), withFindings},
                               {QStringLiteral("findings"), findings}};
        PrintLine(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)).trimmed());
    } else {
        for (const OrderPreflight& order : results) {
            PrintLine(QStringLiteral("%1\t%2\t%3")
                          .arg(order.ordernum,
                               order.findings.empty() ? QStringLiteral("clean")
                                                      : QStringLiteral("findings"),
                               order.pdfPath));
            for (const PreflightFinding& finding : order.findings) {
                QString line = QStringLiteral("  %1").arg(finding.code, -10);
                const QString pages = PagesText(finding);
                if (!pages.isEmpty())
                    line += pages + QStringLiteral(": ");
                line += finding.text;
                if (!finding.detail.isEmpty())
                    line += QStringLiteral(" (%1)").arg(finding.detail);
                PrintLine(line);
            }
        }
        PrintLine(QStringLiteral("%1 orders, %2 with findings, %3 findings")
                      .arg(results.size())
                      .arg(withFindings)
                      .arg(findings));
    }
    return findings > 0 ? kFindingsExit : 0;
}

int PlatePreflight(CommandLine& args) {
    PreflightSettings settings;
    bool json = false;
    const QString usage = TakeSettings(args, settings, json);
    if (!usage.isEmpty())
        return Fail(usage, 2);
    QStringList files;
    if (!args.Positionals(files, 1, 1))
        return Fail(args.Error(), 2);

    Installation shop;
    const Result<void> library = shop.LoadLibrary();
    if (!library)
        return Fail(library.error());
    // The shop's products and labels serve the label check; a plate is
    // checked without them when the installation has none.
    QString presetDir;
    if (shop.LoadPreference() && shop.preference.GetPresetDir(presetDir) && shop.LoadSitePreset())
        settings.products = preflight::ProductNames(shop.site);
    else
        PrintWarning(QStringLiteral("no shop preferences or site preset: labels are not checked"));
    PrintWarnings(shop.notes);

    CTesselDoc doc;
    if (const Result<void> read = doc.OpenToRead(files.at(0)); !read)
        return Fail(
            read.error().split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QLatin1Char(' ')));
    PreflightCache cache;
    CliProgress progress;
    const std::vector<OrderPreflight> results =
        preflight::Run(shop.pdf, cache, preflight::OrdersOf(doc, presetDir), settings,
                       preflight::PlateOf(doc), &progress);
    return Report(results, settings, json);
}

int JobsPreflight(CommandLine& args) {
    PreflightSettings settings;
    bool json = false;
    const QString usage = TakeSettings(args, settings, json);
    if (!usage.isEmpty())
        return Fail(usage, 2);
    QStringList folders;
    if (!args.Positionals(folders, 1, 1))
        return Fail(args.Error(), 2);
    const QString folder = folders.at(0);
    CZelJobContainer list(QDir(folder).dirName(), folder);
    if (!list.DirectoryExists())
        return Fail(QStringLiteral("%1: no such folder").arg(folder));
    CPDFServer pdf;
    if (!pdf.Load())
        return Fail(pdf.LoadError());
    CliProgress progress(true);
    list.Refresh(true, &progress);
    PreflightCache cache;
    const std::vector<OrderPreflight> results =
        preflight::Run(pdf, cache, preflight::OrdersOf(list), settings, std::nullopt, &progress);
    return Report(results, settings, json);
}

} // namespace

std::vector<Command> PreflightCommands() {
    return {
        {"plate preflight", "PLATE.tzmp [--json] [--bleed MM] [--min-dpi N]",
         "check every order of a plate: its artwork, and the order against the plate (exit 3 "
         "when there are findings)",
         PlatePreflight},
        {"jobs preflight", "FOLDER [--json] [--bleed MM] [--min-dpi N]",
         "check the artwork of every order of a job folder (exit 3 when there are findings)",
         JobsPreflight},
    };
}
