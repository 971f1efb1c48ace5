#include "installation.h"

#include "labels/labelrender.h"
#include "records/programfolder.h"

Result<void> Installation::Load(bool withLibrary) {
    if (!preference.Load(programfolder::PreferencesFolder()))
        return Failure(QStringLiteral("no preference file in %1 (use --home DIR or TESSEL_HOME)")
                           .arg(programfolder::PreferencesFolder()));
    QString reason;
    if (!preference.ValidatePreference(&reason))
        return Failure(reason);
    QString presetFolder;
    if (preference.GetPresetDir(presetFolder))
        site.Load(presetFolder);
    colors.Load(programfolder::StockPresetsFolder()); // the built-in colours serve without a file
    colorBars.LoadColorBars(preference);
    registrationMarks.LoadRegistrationMarks(preference);
    if (withLibrary && !pdf.Load())
        return Failure(pdf.LoadError());
    return {};
}

ShopContext Installation::Context(OperatorInterface* op, ProgressSink* progress) {
    ShopContext context{&preference, &colors, op, progress, pdf.IsLoaded() ? &pdf : nullptr, {}};
    QString presetFolder;
    if (pdf.IsLoaded() && preference.GetPresetDir(presetFolder))
        context.labelPreview = CLabelRender(presetFolder, &pdf).PreviewFunction();
    return context;
}
