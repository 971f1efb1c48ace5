#include "platecommands.h"

#include "clioperator.h"
#include "progress.h"

#include "engine/tesseldoc.h"
#include "labels/labelrender.h"
#include "markup/cp949.h"
#include "press/makepress.h"
#include "records/joblisttext.h"
#include "registration/plateregtexts.h"
#include "registration/registerplate.h"
#include "registration/registrationurl.h"
#include "shop/installation.h"
#include "shop/newplate.h"
#include "shop/plateregistrationof.h"
#include "shop/session.h"
#include "shop/ticketintake.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

namespace {

using joblisttext::LengthText;
using joblisttext::SizeText;

QString SideText(const PlateProperties& p, const PlateGeometry& g) {
    static const char16_t* const kTurn[] = {u"수평 대첩", u"수직 대첩", u"대첩 안함"};
    if (g.workAndTurn) {
        const int turn = p.turnDirection >= 0 && p.turnDirection <= 2 ? p.turnDirection : 2;
        return QStringLiteral("돈땡 (%1)").arg(QString::fromUtf16(kTurn[turn]));
    }
    return g.paperSide ? QStringLiteral("양면") : QStringLiteral("단면");
}

QJsonObject SizeJson(double width, double height) {
    return {{QStringLiteral("width_mm"), width}, {QStringLiteral("height_mm"), height}};
}

// The plate summary file beside the plate, decoded from code page 949.
int ShowSummary(CTesselDoc& doc, bool json) {
    const QString path = CMakePress(doc, nullptr, nullptr).SummaryPath();
    QFile file(path);
    if (!file.exists())
        return Fail(QStringLiteral("%1: no summary file yet; plate press makes it").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const QString text = cp949::ToUnicode(file.readAll());
    if (json) {
        PrintJson({{QStringLiteral("plate"), doc.Properties().jobCode},
                   {QStringLiteral("summary_file"), path},
                   {QStringLiteral("summary"), text}});
        return 0;
    }
    PrintLine(text.endsWith(QLatin1Char('\n')) ? text.chopped(1) : text);
    return 0;
}

int Show(CommandLine& args) {
    QStringList files;
    const bool ordersOnly = args.TakeFlag(QStringLiteral("--orders"));
    const bool summary = args.TakeFlag(QStringLiteral("--summary"));
    const bool json = args.TakeFlag(QStringLiteral("--json"));
    if (!args.Positionals(files, 1, 1))
        return Fail(args.Error(), 2);
    if (ordersOnly && summary)
        return Fail(QStringLiteral("--orders and --summary exclude each other"), 2);
    // Showing a plate leaves it and its folders as they are.
    CTesselDoc doc;
    if (const Result<void> read = doc.OpenToRead(files.at(0)); !read)
        return Fail(read.error());
    if (summary)
        return ShowSummary(doc, json);
    const PlateProperties& p = doc.Properties();
    const PlateGeometry& g = doc.Geometry();
    // The label that applies comes from the shop's labels; without an
    // installation only a chosen one is known.
    Installation shop;
    QString presetFolder;
    const bool withLabels = shop.Load(false).ok() && shop.preference.GetPresetDir(presetFolder);
    PrintWarnings(shop.notes);
    const CLabelRender labels(presetFolder, nullptr);
    struct Label {
        QString name;   // empty: none
        bool automatic; // chosen by size, not by the operator
        QString text;
    };
    auto labelOf = [&](const CZelItem& item) -> Label {
        if (!withLabels)
            return item.labelName.isEmpty() ? Label{QString(), true, QStringLiteral("(automatic)")}
                                            : Label{item.labelName, false, item.labelName};
        const QString name = labels.LabelNameFor(item);
        if (name.isEmpty())
            return {QString(), true, QStringLiteral("none (no label fits)")};
        if (name == item.labelName)
            return {name, false, name};
        if (!item.labelName.isEmpty())
            return {
                name, true,
                QStringLiteral("%1 (automatic; chosen %2 not found)").arg(name, item.labelName)};
        return {name, true, QStringLiteral("%1 (automatic)").arg(name)};
    };
    const QString unit = p.pressUnit ? QStringLiteral("연") : QStringLiteral("매");
    QStringList sides;
    for (int side = 0; side < g.sideCount; ++side)
        sides << (side == g.labelSide ? QStringLiteral("L")
                  : side == 0         ? QStringLiteral("A")
                                      : QStringLiteral("B"));
    const QList<PlateOrderRow> orderRows =
        ordersOnly ? PlateRegTexts::Build(RegistrationOf(doc), QString()).orderRows
                   : QList<PlateOrderRow>();

    if (json) {
        QJsonObject plate{
            {QStringLiteral("plate"), p.jobCode},
            {QStringLiteral("path"), doc.Path()},
            {QStringLiteral("preset"), p.presetName},
            {QStringLiteral("date"), p.jobDate},
            {QStringLiteral("operator"), QJsonObject{{QStringLiteral("name"), p.userName},
                                                     {QStringLiteral("account"), p.userAccount},
                                                     {QStringLiteral("initials"), p.userInitial}}},
            {QStringLiteral("paper"), QJsonObject{{QStringLiteral("type"), p.paperType},
                                                  {QStringLiteral("width_mm"), p.width},
                                                  {QStringLiteral("height_mm"), p.height},
                                                  {QStringLiteral("size"), p.size},
                                                  {QStringLiteral("sides"), SideText(p, g)},
                                                  {QStringLiteral("work_and_turn"), g.workAndTurn},
                                                  {QStringLiteral("colours_a"), p.colorA ? 4 : 1},
                                                  {QStringLiteral("colours_b"), p.colorB ? 4 : 1}}},
            {QStringLiteral("quantity"),
             QJsonObject{{QStringLiteral("text"), p.pressQuantityText},
                         {QStringLiteral("unit"), unit},
                         {QStringLiteral("sheets_per_plate"), p.pressCount}}},
            {QStringLiteral("pages"), p.pageCount},
            {QStringLiteral("layout"), SizeJson(g.layoutWidth, g.layoutHeight)},
            {QStringLiteral("usable"),
             QJsonObject{{QStringLiteral("x_mm"), g.usableArea.x},
                         {QStringLiteral("y_mm"), g.usableArea.y},
                         {QStringLiteral("width_mm"), g.usableArea.width},
                         {QStringLiteral("height_mm"), g.usableArea.height}}},
            {QStringLiteral("grid"),
             g.HasGrid()
                 ? QJsonValue(QJsonObject{{QStringLiteral("width_mm"), p.gridWidth},
                                          {QStringLiteral("height_mm"), p.gridHeight},
                                          {QStringLiteral("columns"), g.gridColumns},
                                          {QStringLiteral("rows"), g.gridRows},
                                          {QStringLiteral("cells"), qint64(g.cellsByRow.size())}})
                 : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("arrangement"), p.arrangeDirection},
            {QStringLiteral("sides"), QJsonArray::fromStringList(sides)},
            {QStringLiteral("lines"), qint64(doc.Lines().size())},
            {QStringLiteral("text_boxes"), qint64(doc.TextBoxes().size())},
            {QStringLiteral("item_count"), doc.ItemCount()},
        };
        if (ordersOnly) {
            QJsonArray orders;
            for (const PlateOrderRow& row : orderRows)
                orders.append(QJsonObject{{QStringLiteral("order"), row.ordernum},
                                          {QStringLiteral("quantity"), row.quantity},
                                          {QStringLiteral("cases"), row.cases.toInt()},
                                          {QStringLiteral("places"), row.places.toInt()}});
            plate.insert(QStringLiteral("orders"), orders);
        } else {
            QJsonArray items;
            for (int i = 0; i < doc.ItemCount(); ++i) {
                const CZelItem& item = *doc.ItemAt(i);
                const Label label = labelOf(item);
                items.append(QJsonObject{
                    {QStringLiteral("order"), item.ordernum},
                    {QStringLiteral("case"), item.mediaInd + 1},
                    {QStringLiteral("cases"), item.pcases},
                    {QStringLiteral("x_mm"), item.x},
                    {QStringLiteral("y_mm"), item.y},
                    {QStringLiteral("width_mm"), item.EffectiveWidth()},
                    {QStringLiteral("height_mm"), item.EffectiveHeight()},
                    {QStringLiteral("rotate"), item.rotate},
                    {QStringLiteral("artwork_turned"), bool(item.mediaRotate)},
                    {QStringLiteral("own_cut"), bool(item.ownCut)},
                    {QStringLiteral("frame"),
                     item.ownFrame ? QJsonValue(item.ownFrameColor) : QJsonValue(QJsonValue::Null)},
                    {QStringLiteral("label"),
                     label.name.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(label.name)},
                    {QStringLiteral("label_automatic"), label.automatic}});
            }
            plate.insert(QStringLiteral("items"), items);
        }
        PrintJson(plate);
        return 0;
    }

    PrintLine(QStringLiteral("Plate %1 (%2)").arg(p.jobCode, doc.Path()));
    PrintLine(QStringLiteral("  Preset: %1   Date: %2   Operator: %3 (%4, %5)")
                  .arg(p.presetName, p.jobDate, p.userName, p.userAccount, p.userInitial));
    PrintLine(QStringLiteral("  Paper: %1, %2 (%3), %4, colours A %5 B %6")
                  .arg(p.paperType, SizeText(p.width, p.height), p.size, SideText(p, g))
                  .arg(p.colorA ? 4 : 1)
                  .arg(p.colorB ? 4 : 1));
    PrintLine(QStringLiteral("  Quantity: %1%2, %3 sheets per plate, %4 %5")
                  .arg(p.pressQuantityText, unit)
                  .arg(p.pressCount)
                  .arg(p.pageCount)
                  .arg(p.pageCount == 1 ? QStringLiteral("page") : QStringLiteral("pages")));
    PrintLine(QStringLiteral("  Layout: %1; usable %2 at (%3, %4)")
                  .arg(SizeText(g.layoutWidth, g.layoutHeight),
                       SizeText(g.usableArea.width, g.usableArea.height),
                       LengthText(g.usableArea.x), LengthText(g.usableArea.y)));
    if (g.HasGrid())
        PrintLine(QStringLiteral("  Grid: %1, %2 columns x %3 rows (%4 cells), arrangement %5")
                      .arg(SizeText(p.gridWidth, p.gridHeight))
                      .arg(g.gridColumns)
                      .arg(g.gridRows)
                      .arg(g.cellsByRow.size())
                      .arg(p.arrangeDirection));
    else
        PrintLine(QStringLiteral("  Grid: none, arrangement %1").arg(p.arrangeDirection));
    PrintLine(QStringLiteral("  Sides: %1 (%2 output plates)")
                  .arg(sides.join(QStringLiteral(", ")))
                  .arg(g.sideCount));
    PrintLine(QStringLiteral("  Lines: %1, text boxes: %2")
                  .arg(doc.Lines().size())
                  .arg(doc.TextBoxes().size()));

    if (ordersOnly) {
        // The order list as the registration dialog shows it.
        PrintLine(
            QStringLiteral("Orders: %1 (%2 items)").arg(orderRows.size()).arg(doc.ItemCount()));
        PrintLine(QStringLiteral("  주문 번호\t수 량\t건 수\t자리 수"));
        for (const PlateOrderRow& row : orderRows)
            PrintLine(QStringLiteral("  %1\t%2\t%3\t%4")
                          .arg(row.ordernum, row.quantity, row.cases, row.places));
        return 0;
    }
    PrintLine(QStringLiteral("Items: %1").arg(doc.ItemCount()));
    for (int i = 0; i < doc.ItemCount(); ++i) {
        const CZelItem& item = *doc.ItemAt(i);
        PrintLine(QStringLiteral("  %1. %2 case %3/%4 at (%5, %6) size %7 rotate %8%9 own cut %10 "
                                 "frame %11 label %12")
                      .arg(i + 1)
                      .arg(item.ordernum)
                      .arg(item.mediaInd + 1)
                      .arg(item.pcases)
                      .arg(LengthText(item.x), LengthText(item.y),
                           SizeText(item.EffectiveWidth(), item.EffectiveHeight()))
                      .arg(item.rotate)
                      .arg(item.mediaRotate ? QStringLiteral(" (artwork turned)") : QString())
                      .arg(item.ownCut ? QStringLiteral("on") : QStringLiteral("off"))
                      .arg(item.ownFrame ? item.ownFrameColor : QStringLiteral("off"))
                      .arg(labelOf(item).text));
    }
    return 0;
}

int New(CommandLine& args) {
    QString presetName, type, dateText, account, password;
    QStringList none;
    const bool json = args.TakeFlag(QStringLiteral("--json"));
    if (!args.TakeOption(QStringLiteral("--preset"), presetName) ||
        !args.TakeOption(QStringLiteral("--type"), type) ||
        !args.TakeOption(QStringLiteral("--date"), dateText) ||
        !args.TakeOption(QStringLiteral("--account"), account))
        return Fail(args.Error(), 2);
    QStringList missing;
    for (const auto& [option, value] :
         {std::pair{"--preset NAME", &presetName}, std::pair{"--type PAN", &type},
          std::pair{"--account A", &account}})
        if (value->isEmpty())
            missing << QLatin1String(option);
    if (!missing.isEmpty())
        return Fail(QStringLiteral("plate new needs --preset NAME, --type PAN and --account A; "
                                   "missing: %1")
                        .arg(missing.join(QStringLiteral(", "))),
                    2);
    // Asked for on the terminal last, once the rest of the line is known to be right.
    if (!args.TakePassword(password) || !args.Positionals(none, 0, 0))
        return Fail(args.Error(), 2);
    const QDate date =
        dateText.isEmpty() ? QDate::currentDate() : QDate::fromString(dateText, Qt::ISODate);
    if (!date.isValid())
        return Fail(QStringLiteral("--date wants YYYY-MM-DD, not \"%1\"").arg(dateText), 2);

    Installation shop;
    const Result<void> loaded = shop.Load(false);
    PrintWarnings(shop.notes);
    if (!loaded)
        return Fail(loaded.error());
    Result<PreparedPlate> plate = PrepareNewPlate(shop, {presetName, type, date});
    if (!plate)
        return Fail(plate.error());
    ShopSession session;
    if (const Result<void> login = session.Login(shop.preference, account, password); !login)
        return Fail(login.error());
    // A session starts here: drops of this operator cut short before are finished first.
    CliOperator op(CliOperator::Answer::None);
    ticketintake::RecoverInterruptedDrops(shop.Context(&op, nullptr), session.AccountName());
    const Result<QString> path = CreatePlate(shop, *session.Account(), plate.value());
    if (!path)
        return Fail(path.error());
    if (json)
        PrintJson({{QStringLiteral("plate"), QFileInfo(path.value()).completeBaseName()},
                   {QStringLiteral("path"), path.value()}});
    else
        PrintLine(path.value());
    return 0;
}

// Some orders placed, others not: the plate was saved with what fits.
constexpr int kPartlyPlaced = 3;

int Place(CommandLine& args) {
    QStringList at, words;
    const bool oneCopy = args.TakeFlag(QStringLiteral("--one-copy"));
    const bool yes = args.TakeFlag(QStringLiteral("--yes"));
    const bool no = args.TakeFlag(QStringLiteral("--no"));
    const bool json = args.TakeFlag(QStringLiteral("--json"));
    if (!args.TakeOption(QStringLiteral("--at"), at, 2) || !args.Positionals(words, 2, 100000))
        return Fail(args.Error(), 2);
    if (yes && no)
        return Fail(QStringLiteral("--yes and --no exclude each other"), 2);
    double x = 0, y = 0;
    if (!at.isEmpty()) {
        bool okX = false, okY = false;
        x = QLocale::c().toDouble(at.at(0), &okX);
        y = QLocale::c().toDouble(at.at(1), &okY);
        if (!okX || !okY)
            return Fail(QStringLiteral("--at wants two numbers in mm"), 2);
    }
    Installation shop;
    const Result<void> loaded = shop.Load(true);
    PrintWarnings(shop.notes);
    if (!loaded)
        return Fail(loaded.error());
    CliOperator op(yes  ? CliOperator::Answer::Yes
                   : no ? CliOperator::Answer::No
                        : CliOperator::Answer::None);
    CliProgress progress;
    CTesselDoc doc;
    doc.SetContext(shop.Context(&op, &progress));
    if (const Result<void> opened = doc.Open(words.takeFirst()); !opened)
        return Fail(opened.error());
    const CZelBound& area = doc.Geometry().usableArea;
    if (at.isEmpty()) {
        x = area.x;
        y = area.y;
    } else if (!doc.InsideUsableArea({x, y, 0, 0})) {
        // Checked before any ticket moves, so nothing is left behind.
        return Fail(
            QStringLiteral("the drop point (%1, %2) lies outside the usable area").arg(x).arg(y));
    }
    const Result<QStringList> tickets = ticketintake::TicketsIn(words);
    if (!tickets)
        return Fail(tickets.error());
    if (tickets->isEmpty())
        return Fail(QStringLiteral("no tickets to place"));

    const int before = doc.ItemCount();
    const Result<ticketintake::Outcome> outcome =
        ticketintake::TakeAndPlace(doc, tickets.value(), x, y, oneCopy);
    if (!outcome)
        return Fail(outcome.error());
    using ticketintake::Fate;
    const int placed = outcome->Count(Fate::Placed);
    QJsonArray orders;
    for (const ticketintake::OrderOutcome& order : outcome->orders) {
        const QString name = order.ordernum.isEmpty() ? order.ticket : order.ordernum;
        const QString folder = QFileInfo(order.ticket).absolutePath();
        static const char* const kFates[] = {"placed", "not taken", "returned", "not returned"};
        const QString fate = QLatin1String(kFates[static_cast<int>(order.fate)]);
        QJsonObject entry{{QStringLiteral("order"), order.ordernum},
                          {QStringLiteral("ticket"), order.ticket},
                          {QStringLiteral("fate"), fate},
                          {QStringLiteral("items"), order.items},
                          {QStringLiteral("reason"), order.reason}};
        if (order.fate == Fate::Returned || order.fate == Fate::Stranded)
            entry.insert(QStringLiteral("folder"), folder);
        orders.append(entry);
        if (json)
            continue;
        switch (order.fate) {
        case Fate::Placed:
            PrintLine(QStringLiteral("placed %1: %2 item(s)").arg(name).arg(order.items));
            break;
        case Fate::Refused:
            PrintLine(QStringLiteral("not taken %1: %2").arg(name, order.reason));
            break;
        case Fate::Returned:
            PrintLine(QStringLiteral("returned %1 to %2: %3").arg(name, folder, order.reason));
            break;
        case Fate::Stranded:
            PrintLine(
                QStringLiteral("NOT RETURNED %1, left in %2: %3").arg(name, folder, order.reason));
            break;
        }
    }
    if (op.AnsweredNo() && placed == 0)
        PrintNote(QStringLiteral("--no cancelled the whole drop at its question: no ticket moved"));
    if (outcome->Count(Fate::Returned) > 0)
        PrintNote(QStringLiteral("returned: not placed; the ticket was moved back to the job "
                                 "folder it came from and can be placed again"));
    if (!outcome->saveError.isEmpty())
        return Fail(outcome->saveError);
    if (json)
        PrintJson({{QStringLiteral("plate"), doc.Properties().jobCode},
                   {QStringLiteral("path"), doc.Path()},
                   {QStringLiteral("saved"), outcome->saved},
                   {QStringLiteral("orders"), orders},
                   {QStringLiteral("item_count"), doc.ItemCount()},
                   {QStringLiteral("items_placed"), doc.ItemCount() - before},
                   {QStringLiteral("order_count"), doc.JobContainer().Count()},
                   {QStringLiteral("unanswered_question"), op.Unanswered().isEmpty()
                                                               ? QJsonValue(QJsonValue::Null)
                                                               : QJsonValue(op.Unanswered())}});
    else
        PrintLine(
            QStringLiteral("%1 item(s) on the plate (%2 placed now), %3 order(s) on the plate%4")
                .arg(doc.ItemCount())
                .arg(doc.ItemCount() - before)
                .arg(doc.JobContainer().Count())
                .arg(outcome->saved ? QStringLiteral("; saved ") + doc.Path() : QString()));
    if (!op.Unanswered().isEmpty())
        return Fail(QStringLiteral("a question needs --yes or --no: %1").arg(op.Unanswered()));
    // 0: every order placed; 3: some placed, the rest where they were or
    // back in their folders; 1: nothing placed, or a ticket left stranded.
    if (outcome->Count(Fate::Stranded) > 0)
        return Fail(QStringLiteral("%1 ticket(s) could not be put back; see above")
                        .arg(outcome->Count(Fate::Stranded)));
    if (placed == 0)
        return Fail(QStringLiteral("no order was placed"));
    return placed == static_cast<int>(outcome->orders.size()) ? 0 : kPartlyPlaced;
}

int Register(CommandLine& args) {
    QString url;
    QStringList files;
    if (!args.TakeOption(QStringLiteral("--url"), url) || !args.Positionals(files, 1, 1))
        return Fail(args.Error(), 2);
    if (!url.isEmpty() && !RegistrationUrl::Parse(url))
        return Fail(QStringLiteral("--url wants an http URL such as http://host/plate/reg.php, "
                                   "not \"%1\"")
                        .arg(url),
                    2);
    Installation shop;
    const Result<void> loaded = shop.Load(false);
    PrintWarnings(shop.notes);
    if (!loaded)
        return Fail(loaded.error());
    if (url.isEmpty()) {
        shop.preference.GetPlateRegUrl(url);
        if (url.isEmpty())
            return Fail(QStringLiteral("no registration server: set PLATE_REG_URL in %1 or give "
                                       "--url URL")
                            .arg(shop.preference.Path()));
        if (!RegistrationUrl::Parse(url))
            return Fail(QStringLiteral("PLATE_REG_URL in %1 is \"%2\", not an http URL; mend it "
                                       "or give --url URL")
                            .arg(shop.preference.Path(), url));
    }
    CTesselDoc doc;
    if (const Result<void> read = doc.OpenToRead(files.at(0)); !read)
        return Fail(read.error());
    QString signature;
    shop.site.GetSignature(signature);
    const PlateRegistrationResult result = RegisterPlate(RegistrationOf(doc), signature, url);
    if (!result.registered) {
        if (!result.reason.isEmpty())
            PrintWarning(result.reason);
        return Fail(result.message);
    }
    const QByteArray status = result.head.left(result.head.indexOf('\n')).trimmed();
    PrintLine(QStringLiteral("registered %1: %2")
                  .arg(doc.Properties().jobCode, QString::fromLatin1(status)));
    return 0;
}

} // namespace

std::vector<Command> PlateCommands() {
    return {
        {"plate new",
         "--preset NAME --type PAN [--date YYYY-MM-DD] --account A [--password-file FILE] "
         "[--json]",
         "create a plate from a document preset and print its path", New},
        {"plate show", "PLATE.tzmp [--orders|--summary] [--json]",
         "print a plate: its settings, geometry and items (--orders: its orders instead; "
         "--summary: its summary file); the plate and its folders are left as they are",
         Show},
        {"plate place", "PLATE.tzmp FOLDER|TICKET... [--at X Y] [--one-copy] [--yes|--no] [--json]",
         "take orders onto the plate and place them, answering its questions by the flag "
         "(without one, the first question fails the command)",
         Place, true},
        {"plate register", "PLATE.tzmp [--url URL]", "post the plate to the registration server",
         Register},
    };
}
