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
