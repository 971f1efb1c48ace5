#include "installation.h"

#include "labels/labelrender.h"
#include "records/programfolder.h"

Result<void> Installation::Load(bool withLibrary) {
    if (Result<void> loaded = LoadPreference(); !loaded)
        return loaded;
    LoadSitePreset();
    LoadColors();
    LoadPressMarks();
    if (withLibrary)
        return LoadLibrary();
    return {};
}

Result<void> Installation::LoadPreference() {
    if (!preference.Load(programfolder::PreferencesFolder()))
        return Failure(QStringLiteral("no preference file in %1 (use --home DIR or TESSEL_HOME)")
                           .arg(programfolder::PreferencesFolder()));
    QString reason;
    if (!preference.ValidatePreference(&reason))
        return Failure(reason);
    return {};
}

void Installation::LoadColors() { colors.Load(programfolder::StockPresetsFolder()); }

bool Installation::LoadSitePreset() {
    QString presetFolder;
    return preference.GetPresetDir(presetFolder) && site.Load(presetFolder);
}

void Installation::LoadPressMarks() {
    colorBars.LoadColorBars(preference);
    registrationMarks.LoadRegistrationMarks(preference);
}

Result<void> Installation::LoadLibrary() {
    if (!pdf.IsLoaded() && !pdf.Load())
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
