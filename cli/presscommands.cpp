#include "presscommands.h"

#include "engine/operatorinterface.h"
#include "engine/tesseldoc.h"
#include "output/makepress.h"
#include "output/pdfserver.h"
#include "records/programfolder.h"
#include "records/zelcolorpresets.h"
#include "records/zelpreference.h"
#include "records/zelpressmarkpresets.h"
#include "records/zelserverpreset.h"

#include <QFileInfo>

namespace {

// Messages of the engine, printed once the run has ended; questions are
// answered No, as nobody is there to answer them.
class CliOperator : public OperatorInterface {
public:
    QStringList messages;
    bool Ask(const QString& question) override {
        messages << question;
        return false;
    }
    void Tell(const QString& message) override { messages << message; }
};

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
    QStringList files;
    if (!args.Positionals(files, 1, 1))
        return Fail(args.Error(), 2);
    bool typeOk = true;
    const int pdfType = type.isEmpty() ? -1 : type.toInt(&typeOk);
    if (!typeOk || pdfType < -1 || pdfType > 2)
        return Fail(QStringLiteral("--type must be 0, 1 or 2"), 2);
    if (!pressDir.isEmpty() && !QFileInfo(pressDir).isDir())
        return Fail(QStringLiteral("%1: the press folder does not exist").arg(pressDir));

    CZelPreference preference;
    if (!preference.Load(programfolder::PreferencesFolder()))
        return Fail(QStringLiteral("no preference file in %1 (see --home): %2")
                        .arg(programfolder::PreferencesFolder(), preference.LastError()));
    CZelColorPresets colors;
    colors.Load(programfolder::StockPresetsFolder()); // the built-in colours serve without a file
    CZelPressMarkPresets colorBars, registrationMarks;
    colorBars.LoadColorBars(preference);
    registrationMarks.LoadRegistrationMarks(preference);

    MakePressOptions options = MakePressOptions::FromPreference(preference);
    if (pdfType >= 0)
        options.pdfType = pdfType;
    if (!pressDir.isEmpty())
        options.pressDir = pressDir;
    if (titleName)
        options.titleFileName = true;
    CZelServerPreset site;
    if (!options.presetDir.isEmpty() && site.Load(options.presetDir))
        site.GetCompany(options.companyCode);

    CPDFServer server;
    if (!server.Load())
        return Fail(server.LoadError());
    CliOperator op;
    CTesselDoc doc;
    doc.SetContext({&preference, &colors, &op, nullptr, &server});
    QString error;
    if (!doc.Open(files.at(0), &error))
        return Fail(error);
    CMakePress press(doc, &colorBars, &registrationMarks);
    QStringList written;
    const bool ok = press.Run(options, &written, &error);
    for (const QString& message : op.messages)
        if (message != error)
            PrintWarning(OneLine(message));
    for (const QString& note : press.Notes())
        PrintWarning(OneLine(note));
    for (const QString& file : written)
        PrintLine(file);
    return ok ? 0 : Fail(OneLine(error));
}

} // namespace

std::vector<Command> PressCommands() {
    return {
        {"plate press", "PLATE.tzmp [--type 0|1|2] [--press-dir DIR] [--title-name]",
         "make the press files of a plate (side files, summary file, press folder)", Press},
    };
}
