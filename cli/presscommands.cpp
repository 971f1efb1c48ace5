#include "presscommands.h"

#include "clioperator.h"
#include "progress.h"

#include "engine/tesseldoc.h"
#include "press/cutplan.h"
#include "press/makepress.h"
#include "shop/installation.h"

#include <QFileInfo>
#include <QJsonArray>

namespace {

// One line for stderr: the message's lines joined.
QString OneLine(const QString& text) {
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
}

int Press(CommandLine& args) {
    QString type, pressDir;
    if (!args.TakeOption(QStringLiteral("--type"), type) ||
        !args.TakeOption(QStringLiteral("--press-dir"), pressDir))
        return Fail(args.Error(), 2);
    const bool titleName = args.TakeFlag(QStringLiteral("--title-name"));
    const bool replace = args.TakeFlag(QStringLiteral("--replace"));
    const bool json = args.TakeFlag(QStringLiteral("--json"));
    QStringList files;
    if (!args.Positionals(files, 1, 1))
        return Fail(args.Error(), 2);
    bool typeOk = true;
    const int pdfType = type.isEmpty() ? -1 : type.toInt(&typeOk);
    if (!typeOk || pdfType < -1 || pdfType > 2)
        return Fail(QStringLiteral("--type must be 0, 1 or 2"), 2);
    if (!pressDir.isEmpty() && !QFileInfo(pressDir).isDir())
        return Fail(QStringLiteral("%1: the press folder does not exist").arg(pressDir));

    Installation shop;
    const Result<void> loaded = shop.Load(true);
    PrintWarnings(shop.notes);
    if (!loaded)
        return Fail(loaded.error());
    MakePressOptions options = MakePressOptions::FromPreference(shop.preference);
    if (pdfType >= 0)
        options.pdfType = pdfType;
    if (!pressDir.isEmpty())
        options.pressDir = pressDir;
    if (titleName)
        options.titleFileName = true;
    options.replaceOtherTypes = replace;
    shop.site.GetCompany(options.companyCode);

    // Nobody is there to answer: questions are answered No.
    CliOperator op(CliOperator::Answer::No);
    CliProgress progress;
    CTesselDoc doc;
    doc.SetContext(shop.Context(&op, &progress));
    if (const Result<void> opened = doc.Open(files.at(0)); !opened)
        return Fail(opened.error());
    CMakePress press(doc, &shop.colorBars, &shop.registrationMarks);
    QStringList written;
    const Result<void> made = press.Run(options, &written);
    for (const QString& note : press.Notes())
        PrintWarning(OneLine(note));
    if (!press.OtherTypeFilesLeft().isEmpty())
        PrintWarning(QStringLiteral("give --replace to remove them"));
    for (const QString& file : press.OtherTypeFilesRemoved())
        PrintNote(QStringLiteral("removed %1 (another press type's file of this plate)").arg(file));
    if (!made) {
        // What was published before the stop is in the press folder.
        for (const QString& file : written)
            PrintLine(file);
        return Fail(OneLine(made.error()));
    }
    if (json) {
        PrintJson(
            {{QStringLiteral("plate"), doc.Properties().jobCode},
             {QStringLiteral("path"), doc.Path()},
             {QStringLiteral("files"), QJsonArray::fromStringList(written)},
             {QStringLiteral("cut_plan_files"), QJsonArray::fromStringList(press.CutPlanFiles())},
             {QStringLiteral("summary_file"), press.SummaryPath()},
             {QStringLiteral("other_type_files_left"),
              QJsonArray::fromStringList(press.OtherTypeFilesLeft())},
             {QStringLiteral("other_type_files_removed"),
              QJsonArray::fromStringList(press.OtherTypeFilesRemoved())},
             {QStringLiteral("notes"), QJsonArray::fromStringList(press.Notes())}});
        return 0;
    }
    for (const QString& file : written)
        PrintLine(file);
    for (const QString& file : press.CutPlanFiles())
        PrintLine(file);
    return 0;
}

int CutPlanCommand(CommandLine& args) {
    const bool json = args.TakeFlag(QStringLiteral("--json"));
    QStringList files;
    if (!args.Positionals(files, 1, 1))
        return Fail(args.Error(), 2);
    CTesselDoc doc;
    if (const Result<void> read = doc.OpenToRead(files.at(0)); !read)
        return Fail(OneLine(read.error()));
    const Result<CutPlan> plan = MakeCutPlan(doc);
    if (!plan)
        return Fail(plan.error());
    if (json)
        PrintLine(QString::fromUtf8(cutplan::ToJson(plan.value())).trimmed());
    else
        PrintLine(cutplan::ToText(plan.value()).trimmed());
    return 0;
}

} // namespace

std::vector<Command> PressCommands() {
    return {
        {"plate press",
         "PLATE.tzmp [--type 0|1|2] [--press-dir DIR] [--title-name] [--replace] [--json]",
         "make the press files of a plate (side files, summary file, press folder)", Press, true},
        {"plate cutplan", "PLATE.tzmp [--json]",
         "the guillotine cutting plan of a plate's printed sheet", CutPlanCommand},
    };
}
