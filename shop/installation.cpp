#include "installation.h"

#include "labels/labelrender.h"
#include "records/programfolder.h"

#include <QFileInfo>

Result<void> Installation::Load(bool withLibrary) {
    notes.clear();
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
        return Failure(
            QFileInfo::exists(preference.Path())
                ? QStringLiteral("%1; the file is kept as it is").arg(preference.LastError())
                : QStringLiteral("no preference file in %1 (use --home DIR or TESSEL_HOME)")
                      .arg(programfolder::PreferencesFolder()));
    if (!preference.LastError().isEmpty())
        notes << preference.LastError();
    QString reason;
    if (!preference.ValidatePreference(&reason))
        return Failure(reason);
    return {};
}

void Installation::LoadColors() {
    // The built-in colours serve without a file.
    if ((!colors.Load(programfolder::StockPresetsFolder()) || !colors.LastError().isEmpty()) &&
        QFileInfo::exists(colors.Path()))
        notes << colors.LastError();
}

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
    ShopContext context;
    context.preference = &preference;
    context.colors = &colors;
    context.op = op;
    context.progress = progress;
    context.pdf = pdf.IsLoaded() ? &pdf : nullptr;
    QString presetFolder;
    if (pdf.IsLoaded() && preference.GetPresetDir(presetFolder)) {
        const auto render = std::make_shared<const CLabelRender>(presetFolder, &pdf);
        context.labelPreview = render->PreviewFunction();
        // The scope keeps the render it reads for alive with it.
        context.holdLabelSet = [render]() -> std::shared_ptr<void> {
            struct Hold {
                explicit Hold(std::shared_ptr<const CLabelRender> r)
                    : render(std::move(r)), scope(*render) {}
                std::shared_ptr<const CLabelRender> render;
                CLabelRender::SetScope scope;
            };
            return std::make_shared<Hold>(render);
        };
    }
    return context;
}
