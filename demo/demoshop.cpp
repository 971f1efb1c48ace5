#include "demoshop.h"

#include "demoartwork.h"
#include "demoorders.h"
#include "recordwritertree.h"

#include "labels/labelset.h"
#include "labels/zellabel.h"
#include "pdfbinding/pdfserver.h"
#include "records/jobtree.h"
#include "records/labelpresettree.h"
#include "records/pressmarkpresettree.h"
#include "records/programfolder.h"
#include "records/serverpresettree.h"
#include "records/usertree.h"
#include "records/zelaccount.h"
#include "records/zelcolorpresets.h"
#include "records/zeldocumentpreset.h"
#include "records/zeljob.h"
#include "records/zelpreference.h"
#include "records/zelpressmarkpresets.h"
#include "records/zelserverpreset.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <tuple>

using demoorders::Customer;
using demoorders::Order;

namespace {

QString Path(const QString& folder, const char* relative) {
    return QDir(folder).filePath(QString::fromUtf8(relative));
}

// "%g"-like text of a size in whole or fractional millimetres, for names.
QString SizeText(double width, double height) {
    return QStringLiteral("%1x%2").arg(QLocale::c().toString(width), QLocale::c().toString(height));
}

LogFont Font(const QString& face, int pixelHeight, int weight) {
    LogFont font;
    font.lfHeight = -pixelHeight;
    font.lfWeight = weight;
    font.lfCharSet = 129; // Hangul
    font.lfOutPrecision = 3;
    font.lfClipPrecision = 2;
    font.lfQuality = 1;
    font.lfPitchAndFamily = 34; // variable pitch, sans serif
    font.lfFaceName = face;
    return font;
}

struct AfterWorkStep {
    const char16_t* name;
    const char* englishName;
    const char16_t* listText;
};

const AfterWorkStep kAfterWorkSteps[] = {
    {u"귀도리", "ROUND_CORNER", u"귀도리 4모서리"},
    {u"박(금박)", "FOIL_GOLD", u"금박 앞면 로고"},
    {u"박(은박)", "FOIL_SILVER", u"은박 앞면 로고"},
    {u"형압", "EMBOSS", u"형압 로고"},
    {u"코팅(무광)", "MATT_LAMINATE", u"무광코팅 양면"},
    {u"코팅(유광)", "GLOSS_LAMINATE", u"유광코팅 앞면"},
    {u"오시", "SCORE", u"오시 1줄"},
    {u"도무송(원형)", "DIE_CUT_ROUND", u"원형 도무송"},
    {u"반칼", "KISS_CUT", u"반칼 사각"},
};

const AfterWorkStep* FindStep(const QString& name) {
    for (const AfterWorkStep& step : kAfterWorkSteps)
        if (name == QString::fromUtf16(step.name))
            return &step;
    return nullptr;
}

} // namespace

bool CDemoShop::Fail(const QString& reason) {
    m_error = reason;
    return false;
}

bool CDemoShop::Create(const QString& folder, const QString& pdfcomposeLibrary) {
    m_error.clear();
    const QFileInfo info(folder);
    const bool existed = info.exists();
    if (existed && !info.isDir())
        return Fail(QStringLiteral("%1: exists and is not a folder").arg(folder));
    if (existed && !QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                         QDir::System))
        return Fail(QStringLiteral("%1: the folder is not empty; a demo shop is made only in a new "
                                   "or empty folder, so that no shop is overwritten")
                        .arg(folder));
    if (!QDir().mkpath(folder))
        return Fail(QStringLiteral("%1: cannot create the folder").arg(folder));
    const QString home = QFileInfo(folder).absoluteFilePath();

    CPDFServer server;
    const bool loaded =
        pdfcomposeLibrary.isEmpty() ? server.Load() : server.Load(pdfcomposeLibrary);
    QTemporaryDir scratch;
    bool made = false;
    if (!loaded)
        Fail(server.LoadError());
    else if (!scratch.isValid())
        Fail(QStringLiteral("cannot create a temporary folder: %1").arg(scratch.errorString()));
    else {
        CDemoArtwork artwork(server);
        made = Make(home, artwork, scratch.path());
    }
    if (!made) {
        // The folder was new or empty: take back everything that was made.
        QDir(home).removeRecursively();
        if (existed)
            QDir().mkpath(home);
    }
    return made;
}

bool CDemoShop::Make(const QString& folder, CDemoArtwork& artwork, const QString& scratch) {
    programfolder::SetHome(folder);
    if (const Result<void> created = CZelPreference::CreateProgramFolders(); !created)
        return Fail(created.error());
    for (const char* shared : {kUsersFolder, kPresetFolder, kJobsFolder, kPdfsFolder,
                               kProgressFolder, kReleaseFolder, kLocalWorkFolder, kPressFolder})
        if (!QDir().mkpath(Path(folder, shared)))
            return Fail(QStringLiteral("%1: cannot create the folder").arg(Path(folder, shared)));
    const QString presetDir = Path(folder, kPresetFolder);
    return WritePreference(folder) && WriteSitePreset(presetDir) && WriteColorPresets() &&
           WritePressMarks(presetDir, artwork) && WriteDocumentPresets() &&
           WriteLabels(presetDir, artwork) && WriteAccounts(Path(folder, kUsersFolder)) &&
           WriteOrders(Path(folder, kJobsFolder), presetDir, artwork, scratch);
}

bool CDemoShop::WritePreference(const QString& folder) {
    CZelPreference preference;
    preference.Load(programfolder::PreferencesFolder()); // no file yet: an empty record
    const std::pair<CZelPreference::Folder, const char*> folders[] = {
        {CZelPreference::Folder::Users, kUsersFolder},
        {CZelPreference::Folder::Preset, kPresetFolder},
        {CZelPreference::Folder::Jobs, kJobsFolder},
        {CZelPreference::Folder::Pdfs, kPdfsFolder},
        {CZelPreference::Folder::Progress, kProgressFolder},
        {CZelPreference::Folder::Release, kReleaseFolder},
        {CZelPreference::Folder::LocalWork, kLocalWorkFolder},
    };
    for (const auto& [key, relative] : folders)
        preference.SetFolder(key, QDir::toNativeSeparators(Path(folder, relative)));
    using Option = CZelPreference::Option;
    // Cut marks on both printed sides, item frames on the label plate.
    const std::pair<Option, int> options[] = {
        {Option::ItemFrameA, 0},        {Option::ItemFrameB, 0},  {Option::ItemFrameL, 1},
        {Option::ItemCutA, 1},          {Option::ItemCutB, 1},    {Option::ItemCutL, 0},
        {Option::MakePdfMethod, 0},     {Option::MakePdfType, 0}, {Option::MakePdfView, 0},
        {Option::MakePdfTitleFname, 1},
    };
    for (const auto& [option, value] : options)
        preference.SetOption(option, value);
    if (!preference.SetPressDir(Path(folder, kPressFolder)))
        return Fail(
            QStringLiteral("%1: the press folder does not exist").arg(Path(folder, kPressFolder)));
    QString reason;
    if (!preference.ValidatePreference(&reason))
        return Fail(QStringLiteral("the preference does not validate: %1").arg(reason));
    if (!preference.Save())
        return Fail(preference.LastError());
    return true;
}

bool CDemoShop::WriteSitePreset(const QString& presetDir) {
    auto tree = CRecordWriterTree::For<CServerPresetTree>();
    CTzmpItem* root = tree->SetHeader(QString::fromLatin1(CZelServerPreset::kDocumentType));
    CTzmpItem* user = tree->Append(root, "USER_INFO");
    tree->Append(user, "UI_COMPANY", u"테셀 데모 인쇄소");
    tree->Append(user, "UI_ADDERSS", u"서울특별시 중구 을지로 157, 2층");
    tree->Append(user, "UI_SIGNATURE", u"TESSELDEMO");
    CTzmpItem* server = tree->Append(root, "INTERNET_SERVER");
    tree->Append(server, "IS_HOST", u"127.0.0.1");
    tree->Append(server, "IS_PORT", u"8080");
    tree->Append(server, "IS_PROCESS_PLATE_REG", u"/plate/register");
    tree->Append(server, "IS_PROCESS_PLATE_DEL", u"/plate/delete");

    auto coded = [&tree](CTzmpItem* list, const char* entry,
                         std::initializer_list<const char16_t*> names) {
        std::int32_t code = 1;
        for (const char16_t* name : names) {
            CTzmpItem* item = tree->Append(list, entry);
            tree->Append(item, "CODE", code++);
            tree->Append(item, "NAME", name);
        }
    };
    coded(tree->Append(root, "PRODUCT_TYPE_LIST"), "PRODUCT",
          {u"명함", u"스티커", u"전단", u"봉투", u"쿠폰"});
    coded(tree->Append(root, "PAN_AFTER_WORK_LIST"), "PAN_AFTERWORK",
          {u"재단", u"귀도리", u"코팅(무광)", u"코팅(유광)", u"박(금박)", u"박(은박)", u"형압",
           u"오시", u"도무송(원형)", u"반칼"});
    coded(tree->Append(root, "PAPER_TYPE_LIST"), "PAPER",
          {u"스노우지 250g", u"아트지 300g", u"반누보 210g", u"랑데뷰 240g", u"아트지 스티커 90g",
           u"유포지 스티커"});
    struct PaperSize {
        const char16_t* name;
        double width, height;
    };
    const PaperSize sizes[] = {
        {u"국전지", 636, 939},    {u"국2절", 636, 469},   {u"국4절", 469, 318},
        {u"4x6 전지", 788, 1091}, {u"4x6 2절", 788, 545}, {u"4x6 4절", 545, 394},
        {u"A3", 297, 420},
    };
    CTzmpItem* sizeList = tree->Append(root, "PAPER_SIZE_LIST");
    for (const PaperSize& size : sizes) {
        CTzmpItem* item = tree->Append(sizeList, "PAPER");
        tree->Append(item, "NAME", size.name);
        tree->Append(item, "WIDTH", size.width);
        tree->Append(item, "HEIGHT", size.height);
    }
    CTzmpItem* codes = tree->Append(root, "PAN_CODE_LIST");
    const std::pair<const char16_t*, const char16_t*> panCodes[] = {
        {u"N", u"일반명함"}, {u"P", u"고급명함"}, {u"S", u"스티커"}};
    for (const auto& [prefix, name] : panCodes) {
        CTzmpItem* item = tree->Append(codes, "PAN_CODE");
        tree->Append(item, "PAN", prefix);
        tree->Append(item, "NAME", name);
    }
    const QString path = QDir(presetDir).filePath(QLatin1String(CZelServerPreset::kFileName));
    if (tree->SaveFile(path) < 0)
        return Fail(tree->LastFileError());
    return true;
}

bool CDemoShop::WriteColorPresets() {
    CZelColorPresets colors;
    colors.Load(programfolder::StockPresetsFolder()); // no file yet: only the built-in colours
    colors.AddColor(QStringLiteral("금색 (별색 대용)"), 0, 20, 60, 20, 204, 163, 82, 0);
    colors.AddColor(QStringLiteral("칼선 (마젠타)"), 0, 100, 0, 0, 236, 0, 140, 0);
    colors.AddColor(QStringLiteral("연회색 K=20"), 0, 0, 0, 20, 204, 204, 204, 0);
    colors.AddColor(QStringLiteral("회사 청색"), 100, 60, 0, 10, 0, 92, 169, 0);
    if (!colors.Save())
        return Fail(colors.LastError());
    return true;
}

bool CDemoShop::WritePressMarks(const QString& presetDir, CDemoArtwork& artwork) {
    struct Mark {
        const char16_t* name;
        const char* file;
        bool colorBar;
        double size; // patch or mark size
    };
    const Mark marks[] = {
        {u"CMYK 컬러바 5mm", "ColorBar_5mm", true, 5},
        {u"CMYK 컬러바 3mm", "ColorBar_3mm", true, 3},
        {u"원형 레지스터 10mm", "RegMark_10mm", false, 10},
        {u"원형 레지스터 6mm", "RegMark_6mm", false, 6},
    };
    for (const bool colorBar : {true, false}) {
        const QString folder = QDir(presetDir).filePath(
            QLatin1String(colorBar ? CZelPressMarkPresets::kColorBarFolder
                                   : CZelPressMarkPresets::kRegMarkFolder));
        if (!QDir().mkpath(folder))
            return Fail(QStringLiteral("%1: cannot create the folder").arg(folder));
        auto tree = CRecordWriterTree::For<CPressMarkPresetTree>();
        CTzmpItem* root = tree->SetHeader(QString::fromLatin1(CZelPressMarkPresets::kDocumentType));
        for (const Mark& mark : marks) {
            if (mark.colorBar != colorBar)
                continue;
            const QString base = QString::fromLatin1(mark.file);
            const QString pdf = QDir(folder).filePath(base + QStringLiteral(".pdf"));
            constexpr int kPatches = 32;
            const double width = colorBar ? mark.size * kPatches : mark.size;
            const bool drawn = colorBar ? artwork.MakeColorBar(pdf, mark.size, kPatches)
                                        : artwork.MakeRegistrationMark(pdf, mark.size);
            if (!drawn || !artwork.MakePreview(pdf, folder, base, colorBar ? 150 : 300))
                return Fail(artwork.LastError());
            CTzmpItem* item = tree->Append(root, "PRESS_MARK");
            tree->Append(item, "MARK_NAME", QString::fromUtf16(mark.name));
            tree->Append(item, "MEDIA_FILE", base + QStringLiteral(".pdf"));
            tree->Append(item, "PREVIEW_FILE", base + QStringLiteral(".jpg"));
            tree->Append(item, "MEDIA_WIDE", width);
            tree->Append(item, "MEDIA_HIGH", mark.size);
        }
        const QString path = QDir(folder).filePath(QLatin1String(
            colorBar ? CZelPressMarkPresets::kColorBarFile : CZelPressMarkPresets::kRegMarkFile));
        if (tree->SaveFile(path) < 0)
            return Fail(tree->LastFileError());
    }
    return true;
}

bool CDemoShop::WriteDocumentPresets() {
    using Edge = CZelDocumentPreset::Edge;
    using Bar = CZelDocumentPreset::ColorBarPosition;
    struct Plate {
        const char16_t* name;
        const char16_t* paper;
        const char16_t* size;
        double width, height;
        std::int32_t side; // 0 single, 1 double, 2 work-and-turn
        double gridWidth, gridHeight;
        double quantity;
        const char16_t* comment;
        const char16_t* afterWork;
    };
    const Plate plates[] = {
        {u"명함 국2절 92x52", u"스노우지 250g", u"국2절", 636, 469, 0, 92, 52, 500,
         u"일반명함 단면 판", u"재단"},
        {u"명함 양면 국2절 92x52", u"스노우지 250g", u"국2절", 636, 469, 1, 92, 52, 500,
         u"일반명함 양면 판", u"재단"},
        {u"명함 돈땡 국2절 92x52", u"반누보 210g", u"국2절", 636, 469, 2, 92, 52, 500,
         u"고급명함 돈땡 판 (좌우 돌림)", u"재단;귀도리"},
        {u"스티커 4x6 4절 62x62", u"아트지 스티커 90g", u"4x6 4절", 545, 394, 0, 62, 62, 1000,
         u"스티커 단면 판", u"도무송(원형)"},
    };
    for (const Plate& plate : plates) {
        CZelDocumentPreset preset;
        preset.Name() = QString::fromUtf16(plate.name);
        preset.PaperType() = QString::fromUtf16(plate.paper);
        preset.PaperSide() = plate.side;
        preset.Color(false) = std::int32_t{1};
        preset.Color(true) = std::int32_t{plate.side == 1 ? 1 : 0};
        preset.Imposition() = std::int32_t{plate.side == 2 ? 0 : 2};
        preset.Quantity() = plate.quantity;
        preset.PressUnit() = std::int32_t{0};
        preset.PQuantity() = static_cast<std::int32_t>(plate.quantity);
        preset.Comment() = QString::fromUtf16(plate.comment);
        preset.AfterWork() = QString::fromUtf16(plate.afterWork);

        preset.Size() = QString::fromUtf16(plate.size);
        preset.Width() = plate.width;
        preset.Height() = plate.height;
        // The title and marks need the top and bottom bands; the side bands
        // only hold the grippers' cut marks.
        preset.Margin(Edge::Top) = 20.0;
        preset.Margin(Edge::Bottom) = 15.0;
        preset.Margin(Edge::Left) = 12.0;
        preset.Margin(Edge::Right) = 12.0;
        preset.GridWidth() = plate.gridWidth;
        preset.GridHeight() = plate.gridHeight;
        for (Edge edge : {Edge::Top, Edge::Left, Edge::Bottom, Edge::Right})
            preset.CutMargin(edge) = 1.0;

        preset.ArrangeDirection() = std::int32_t{0};
        preset.ArrangeMaxJob() = std::int32_t{1};
        preset.TitlePosition() = std::int32_t{1};
        preset.TitleItems() = QStringLiteral("[바코드]-[판번호]-[판구분]-[판형크기]-[지질]-[도수]-["
                                             "수량]-[후가공]-[작업자이름]-[날짜]");
        preset.TitleAlign() = std::int32_t{1};
        for (Edge edge : {Edge::Top, Edge::Left, Edge::Bottom, Edge::Right})
            preset.PlateCrop(edge) = std::int32_t{1};
        for (Bar bar : {Bar::TopLeft, Bar::LeftTop, Bar::TopRight, Bar::RightTop, Bar::LeftBottom,
                        Bar::BottomLeft, Bar::RightBottom, Bar::BottomRight})
            preset.ColorBar(bar) = std::int32_t{bar == Bar::BottomLeft || bar == Bar::BottomRight};
        preset.ColorBarAlign() = std::int32_t{1};
        preset.ColorBarName() = QStringLiteral("CMYK 컬러바 5mm");
        for (Edge edge : {Edge::Top, Edge::Left, Edge::Bottom, Edge::Right})
            preset.RegistrationMark(edge) = std::int32_t{1};
        preset.RegistrationMarkAlign() = std::int32_t{1};
        preset.RegistrationMarkName() = QStringLiteral("원형 레지스터 10mm");
        preset.SetFont(CZelDocumentPreset::FontKind::Title,
                       Font(QStringLiteral("나눔고딕"), 16, 700));
        preset.SetFont(CZelDocumentPreset::FontKind::Barcode,
                       Font(QStringLiteral("나눔고딕"), 13, 400));
        if (plate.side == 2) {
            // Short centre marks in the top and bottom bands show where the
            // sheet is turned.
            CTzmpItem* lines = preset.AddLines();
            for (const auto& [start, end] :
                 {std::pair{0.0, 8.0}, std::pair{plate.height - 8, plate.height}}) {
                CTzmpItem* line = preset.AddLine(lines);
                preset.LineValue(line, "LINE_DIR") = std::int32_t{0};
                preset.LineValue(line, "LINE_START") = start;
                preset.LineValue(line, "LINE_END") = end;
                preset.LineValue(line, "LINE_OFFSET") = plate.width / 2;
                preset.LineValue(line, "LINE_WEIGHT") = 0.3;
                preset.LineValue(line, "LINE_COLOR") = QStringLiteral(" [ Registration ]");
            }
        }
        if (!preset.Save(CZelDocumentPreset::PathOf(QString::fromUtf16(plate.name))))
            return Fail(preset.LastError());
    }
    return true;
}

bool CDemoShop::WriteLabels(const QString& presetDir, CDemoArtwork& artwork) {
    // The field kinds the label editor offers, with their titles.
    auto definitions = CRecordWriterTree::For<CLabelDefTree>();
    CTzmpItem* root = definitions->SetHeader(QString::fromLatin1(CLabelDefTree::kDocumentType));
    CTzmpItem* list = definitions->Append(root, "LABEL_DEFINATIONS");
    const std::pair<const char*, const char16_t*> fields[] = {
        {"Ordernum", u"주문번호"},
        {"BranchShop", u"지점"},
        {"Rework", u"접수"},
        {"ROKDate", u"접수일"},
        {"Product", u"제품"},
        {"Kind", u"제품종류"},
        {"Color", u"도수"},
        {"Paper", u"재질"},
        {"SizeKind", u"규격종류"},
        {"Width", u"가로"},
        {"Height", u"세로"},
        {"Pcases", u"건수"},
        {"Quantity", u"수량"},
        {"PQuantity", u"인쇄수량"},
        {"AfterWork", u"후가공"},
        {"AfterWork2", u"후가공2"},
        {"DeliveryM", u"배송방법"},
        {"DeliveryA", u"배송지"},
        {"Ucom", u"회사명"},
        {"Uname", u"고객명"},
        {"Utel", u"전화"},
        {"UHP", u"휴대폰"},
        {"ReceiptS", u"접수자"},
        {"Pcom", u"주문회사"},
        {"Pname", u"주문자"},
        {"Mmemo", u"작업자 메모"},
        {"MF_PanCode", u"판번호"},
        {"MF_TextBox", u"텍스트"},
        {"MF_OrderNum", u"[BAR0709170003]"},
        {"MF_UID", u"회원 사진"},
        {"MF_Preview", u"미리보기"},
        {"MF_FrameBox", u"테두리"},
    };
    for (const auto& [tag, title] : fields)
        definitions->Append(list, tag, QString::fromUtf16(title));
    if (definitions->SaveFile(labelset::DefinitionsPath(presetDir)) < 0)
        return Fail(definitions->LastFileError());

    // Member pictures: one per customer, and the picture of members without one.
    const QString labelFolder = labelset::LabelFolder(presetDir);
    for (const Customer& customer : demoorders::Customers())
        if (!artwork.MakeLogo(customer,
                              QDir(labelFolder).filePath(customer.uid + QStringLiteral(".jpg"))))
            return Fail(artwork.LastError());
    Customer member;
    member.brand = {0, 0, 0, 45};
    member.accent = {0, 0, 0, 20};
    if (!artwork.MakeLogo(member, QDir(labelFolder).filePath(QStringLiteral("Default_UID.jpg"))))
        return Fail(artwork.LastError());

    struct Field {
        const char* tag;
        const char16_t* text;
        double x, y, w, h;
        int size; // pixel height of the font
        int frame = 0, invert = 0, halign = 0;
    };
    // Label boxes are laid out on a unit label and scaled to each size: one
    // layout for landscape labels, drawn for 90 x 50 mm, and one for portrait
    // labels, drawn for 50 x 90 mm, where every field has a row of its own.
    const std::vector<Field> landscape{
        {"MF_FrameBox", u"", 0, 0, 1, 1, 0, 1},
        {"MF_OrderNum", u"[BAR0709170003]", 0.03, 0.04, 0.55, 0.16, 15, 0, 1, 0},
        {"MF_PanCode", u"판번호", 0.59, 0.04, 0.38, 0.16, 12, 1, 0, 1},
        {"Uname", u"고객명", 0.03, 0.24, 0.6, 0.12, 13},
        {"Ucom", u"회사명", 0.03, 0.37, 0.6, 0.11, 11},
        {"Paper", u"재질", 0.03, 0.49, 0.6, 0.11, 11},
        {"Kind", u"제품종류", 0.03, 0.61, 0.3, 0.11, 11},
        {"Quantity", u"수량", 0.33, 0.61, 0.18, 0.11, 11},
        {"Pcases", u"건수", 0.51, 0.61, 0.12, 0.11, 11},
        {"AfterWork", u"후가공", 0.03, 0.73, 0.94, 0.11, 11},
        {"MF_Preview", u"", 0.66, 0.24, 0.31, 0.46, 11, 1},
        {"Mmemo", u"작업자 메모", 0.03, 0.86, 0.94, 0.11, 11, 0, 1},
    };
    const std::vector<Field> portrait{
        {"MF_FrameBox", u"", 0, 0, 1, 1, 0, 1},
        {"MF_OrderNum", u"[BAR0709170003]", 0.04, 0.02, 0.92, 0.09, 15, 0, 1, 0},
        {"MF_PanCode", u"판번호", 0.04, 0.12, 0.92, 0.08, 12, 1, 0, 1},
        {"Uname", u"고객명", 0.04, 0.21, 0.92, 0.07, 13},
        {"Ucom", u"회사명", 0.04, 0.28, 0.92, 0.06, 11},
        {"Paper", u"재질", 0.04, 0.34, 0.92, 0.06, 11},
        {"Kind", u"제품종류", 0.04, 0.40, 0.5, 0.06, 11},
        {"Quantity", u"수량", 0.54, 0.40, 0.28, 0.06, 11},
        {"Pcases", u"건수", 0.82, 0.40, 0.14, 0.06, 11},
        {"MF_Preview", u"", 0.2, 0.47, 0.6, 0.3, 11, 1},
        {"AfterWork", u"후가공", 0.04, 0.78, 0.92, 0.06, 11},
        {"Mmemo", u"작업자 메모", 0.04, 0.85, 0.92, 0.12, 11, 0, 1},
    };
    struct LabelSize {
        const char16_t* name;
        double width, height;
    };
    const LabelSize labels[] = {
        {u"명함 90x50", 90, 50},   {u"명함 86x52", 86, 52},   {u"명함 세로 50x90", 50, 90},
        {u"스티커 60x60", 60, 60}, {u"스티커 50x50", 50, 50}, {u"소형 40x30", 40, 30},
    };
    for (const LabelSize& size : labels) {
        CZelLabel label;
        label.name = QString::fromUtf16(size.name);
        if (!label.SetSize(size.width, size.height))
            return Fail(QStringLiteral("%1: label too small").arg(label.name));
        const bool upright = size.height > size.width;
        // Fonts shrink with the label against the size its layout was drawn
        // for, so that every text keeps to its box.
        const double scale = std::min(
            {1.0, size.width / (upright ? 50.0 : 90.0), size.height / (upright ? 90.0 : 50.0)});
        for (const Field& field : upright ? portrait : landscape) {
            auto object = std::make_unique<CZelLabObject>();
            object->tag = QString::fromLatin1(field.tag);
            object->text = QString::fromUtf16(field.text);
            object->x = field.x * size.width;
            object->y = field.y * size.height;
            object->w = field.w * size.width;
            object->h = field.h * size.height;
            object->frame = field.frame;
            object->invert = field.invert;
            object->halign = field.halign;
            object->valign = 1;
            const int pixels = std::max(8, static_cast<int>(field.size * scale));
            object->font = Font(QStringLiteral("나눔고딕"), pixels, field.size >= 13 ? 700 : 400);
            label.objects.push_back(std::move(object));
        }
        const QString path = labelset::LabelPath(presetDir, label.name);
        if (path.isEmpty())
            return Fail(QStringLiteral("%1: the preset folder is not set").arg(label.name));
        if (const Result<void> saved = label.Save(path); !saved)
            return Fail(QStringLiteral("%1: %2").arg(label.name, saved.error()));
    }
    return true;
}

bool CDemoShop::WriteAccounts(const QString& usersDir) {
    struct Account {
        const char* name;
        const char16_t* realName;
        const char16_t* initials;
        const char16_t* password; // empty: set at the first login
    };
    const Account accounts[] = {
        {"demo", u"데모 작업자", u"DM", u"demo"},
        {"kimsj", u"김수정", u"KS", u""},
    };
    for (const Account& account : accounts) {
        CUserTree tree;
        CTzmpItem* root = tree.GetOrAddChild(nullptr, CTzmpTree::kRootName);
        tree.Value(root, "DOCUMENT_TYPE") = QString::fromLatin1(CZelAccount::kDocumentType);
        tree.Value(root, "VERSION") = QStringLiteral("1.0");
        tree.Value(root, "REAL_NAME") = QString::fromUtf16(account.realName);
        tree.Value(root, "PASS_WORD") = QString::fromUtf16(account.password);
        tree.Value(root, "INITIAL") = QString::fromUtf16(account.initials);
        tree.Value(root, "LOGIN") = QString();
        tree.Value(root, "LOGOUT") = QString();
        const QString path =
            QDir(usersDir).filePath(QString::fromLatin1(account.name) + QLatin1Char('.') +
                                    QLatin1String(CZelAccount::kExtension));
        if (tree.SaveFile(path) < 0)
            return Fail(tree.LastFileError());
    }
    return true;
}

bool CDemoShop::WriteOrders(const QString& jobsDir, const QString& presetDir, CDemoArtwork& artwork,
                            const QString& scratch) {
    const QString labelFolder = labelset::LabelFolder(presetDir);
    const auto& customers = demoorders::Customers();
    int index = 0;
    for (const Order& order : demoorders::Orders()) {
        const Customer& customer = customers.at(order.customer);
        const QString folder = QDir(jobsDir).filePath(order.folder);
        if (!QDir().mkpath(folder))
            return Fail(QStringLiteral("%1: cannot create the folder").arg(folder));

        auto tree = CRecordWriterTree::For<CJobTree>();
        CTzmpItem* root = tree->SetHeader(QString::fromLatin1(CZelJob::kDocumentType));
        // Stored locations are Windows paths below the ticket folder.
        tree->Append(root, "Location",
                     QLatin1Char('\\') +
                         QString(order.folder).replace(QLatin1Char('/'), QLatin1Char('\\')));
        tree->Append(root, "Ordernum", order.ordernum);
        tree->Append(root, "BranchShop", order.branchShop);
        tree->Append(root, "Rework", order.rework);
        tree->Append(root, "ROKDate", demoorders::ReceptionDate());
        tree->Append(root, "Product", demoorders::ProductOf(order));
        tree->Append(root, "Kind", order.kind);
        tree->Append(root, "Color", std::int32_t{order.colors});
        tree->Append(root, "PDFPage", std::int32_t{order.pages});
        tree->Append(root, "Paper", order.paper);
        tree->Append(root, "SizeKind", SizeText(order.width, order.height));
        tree->Append(root, "Width", order.width);
        tree->Append(root, "Height", order.height);
        tree->Append(root, "Pcases", std::int32_t{order.cases});
        tree->Append(root, "Quantity", order.quantity);
        tree->Append(root, "PQuantity", std::int32_t{order.pressQuantity});
        for (const auto& [listName, stepName, steps] :
             {std::tuple{"AfterWorkList", "AfterWork", &order.afterWork},
              std::tuple{"AfterWorkList2", "AfterWork2", &order.afterWork2}}) {
            CTzmpItem* list = tree->Append(root, listName);
            for (const QString& name : *steps) {
                const AfterWorkStep* known = FindStep(name);
                CTzmpItem* step = tree->Append(list, stepName);
                tree->Append(step, "Name", name);
                tree->Append(step, "EName", known ? QString::fromLatin1(known->englishName) : name);
                tree->Append(step, "SubName", known ? QString::fromUtf16(known->listText) : name);
            }
        }
        tree->Append(root, "DeliveryM", order.delivery);
        tree->Append(root, "DeliveryA", customer.address);
        tree->Append(root, "Uid", customer.uid);
        tree->Append(root, "Ucom", customer.company);
        tree->Append(root, "Uname", customer.name);
        tree->Append(root, "Utel", customer.tel);
        tree->Append(root, "UHP", customer.mobile);
        tree->Append(root, "ReceiptS", demoorders::ReceivingStaff(index++));
        tree->Append(root, "Pcom", customer.company);
        tree->Append(root, "Pname", customer.name);
        tree->Append(root, "Mmemo", order.memo);

        // Black-only jobs get a logo in shades of black.
        QString logo = QDir(labelFolder).filePath(customer.uid + QStringLiteral(".jpg"));
        if (order.colors == 1) {
            Customer black = customer;
            black.brand = {0, 0, 0, 85};
            black.accent = {0, 0, 0, 40};
            logo = QDir(scratch).filePath(order.ordernum + QStringLiteral(".jpg"));
            if (!artwork.MakeLogo(black, logo))
                return Fail(artwork.LastError());
        }
        const QString base = QDir(folder).filePath(order.ordernum);
        if (!artwork.MakeOrderPdf(order, logo, base + QStringLiteral(".pdf")))
            return Fail(artwork.LastError());
        // The ticket last: a ticket is listed only with its PDF beside it.
        if (tree->SaveFile(base + QLatin1Char('.') + QLatin1String(CZelJob::kExtension)) < 0)
            return Fail(tree->LastFileError());
    }
    return true;
}
