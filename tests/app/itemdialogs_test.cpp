#include "appfixture.h"

#include "engine/tesseldoc.h"
#include "engine/textboxpicture.h"
#include "records/zelaccount.h"
#include "shop/newplate.h"
#include "shop/ticketintake.h"
#include "view/colorcombo.h"
#include "view/editlinedlg.h"
#include "view/edittext.h"
#include "view/fontchoice.h"
#include "view/itemcommands.h"
#include "view/numberedit.h"
#include "view/zeldocpropertydlg.h"
#include "view/zelduplicatedlg.h"
#include "view/zelitemarrangedlg.h"
#include "view/zelitempropertydlg.h"
#include "view/zelowncropdlg.h"

#include <QComboBox>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

namespace {

PlateProperties SmallPlate() {
    PlateProperties p;
    p.size = QStringLiteral("시험");
    p.width = 20;
    p.height = 20;
    p.paperSideSetting = 1;
    p.paperType = QStringLiteral("아트지");
    return p;
}

// Types into a field as the operator does, leaving it afterwards.
void TypeInto(QWidget* in, const char* name, const QString& text) {
    auto* edit = in->findChild<QLineEdit*>(QString::fromLatin1(name));
    ASSERT_NE(edit, nullptr) << name;
    edit->setText(text);
    emit edit->textEdited(text);
    emit edit->editingFinished();
}

bool Enabled(QWidget* in, const char* name) {
    auto* button = in->findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return button && button->isEnabled();
}

void SelectRow(QWidget* in, const char* table, int row) {
    in->findChild<QTableView*>(QString::fromLatin1(table))->selectRow(row);
}

} // namespace

TEST_F(AppTest, PlateDialogChecksTheLayoutInOrderAndKeepsTypedValues) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> typed;
        QString message; // empty: accepted
    };
    const Case cases[] = {
        {{{"marginLeft", "10"}, {"marginRight", "10"}},
         QStringLiteral("판형의 여백이 전체 폭 보다 큽니다.")},
        {{{"marginLeft", "10"}, {"marginRight", "9.9"}}, QString()},
        {{{"marginTop", "15"}, {"marginBottom", "5"}},
         QStringLiteral("판형의 여백이 전체 높이 보다 큽니다.")},
        // The margins come first, then the grid, then the cut margins.
        {{{"marginTop", "-1"}, {"gridWidth", "-5"}},
         QStringLiteral("판형의 여백이 잘못되었습니다.")},
        {{{"gridHeight", "-0.5"}, {"cutMarginLeft", "-1"}},
         QStringLiteral("판형의 그리드 간격이 잘못되었습니다.")},
        {{{"cutMarginRight", "-1"}}, QStringLiteral("판형의 재단선 여백이 잘못되었습니다.")},
        // Text without a number is refused and the shown value stays.
        {{{"marginLeft", "x"}, {"marginRight", "nan"}, {"gridWidth", "inf"}}, QString()},
    };
    for (const Case& c : cases) {
        CZelDocPropertyDlg dialog(SmallPlate(), {QStringLiteral("아트지")}, {}, op);
        for (const auto& [field, text] : c.typed)
            TypeInto(&dialog, field, QString::fromUtf8(text));
        op.messages.clear();
        dialog.accept();
        const QString typed = QString::fromUtf8(c.typed.front().second);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(op.messages.isEmpty()) << typed.toStdString();
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << typed.toStdString();
        } else {
            EXPECT_EQ(op.messages, QStringList{c.message}) << typed.toStdString();
            EXPECT_NE(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(Find<CNumberEdit>(&dialog, c.typed.front().first)->text(), typed);
        }
    }
    CZelDocPropertyDlg refused(SmallPlate(), {}, {}, op);
    TypeInto(&refused, "marginLeft", QStringLiteral("x"));
    EXPECT_EQ(Find<CNumberEdit>(&refused, "marginLeft")->text(), QStringLiteral("0"));
    EXPECT_EQ(refused.Properties(), SmallPlate());
}

TEST_F(AppTest, PlateDialogWritesAfterWorkBackOnlyWhenItsListWasEdited) {
    struct Case {
        const char* stored;
        const char* shown; // the rows, joined by ","
        bool removeLast;   // the operator removes the last applied row
        const char* after;
    };
    const Case cases[] = {
        {"A;;B;", "A,B", false, "A;;B;"},
        {"A;B", "A,B", false, "A;B"},
        {"A;;B;", "A,B", true, "A;"},
        {"A;B", "A,B", true, "A;"},
        {"", "", false, ""},
    };
    for (const Case& c : cases) {
        PlateProperties plate = SmallPlate();
        plate.afterWork = QString::fromUtf8(c.stored);
        CZelDocPropertyDlg dialog(plate, {}, {QStringLiteral("A"), QStringLiteral("C")}, op);
        auto* applied = Find<QListWidget>(&dialog, "afterWorkApplied");
        QStringList shown;
        for (int i = 0; i < applied->count(); ++i)
            shown << applied->item(i)->text();
        EXPECT_EQ(shown.join(QLatin1Char(',')), QString::fromUtf8(c.shown)) << c.stored;
        if (c.removeLast) {
            applied->setCurrentRow(applied->count() - 1);
            Click(&dialog, "afterWorkRemove");
        }
        TypeInto(&dialog, "marginLeft", QStringLiteral("2"));
        dialog.accept();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Properties().afterWork, QString::fromUtf8(c.after)) << c.stored;
        EXPECT_EQ(dialog.Properties().margin[PlateProperties::Edge::Left], 2.0);
    }

    // Adding a step already applied changes nothing; another is appended.
    PlateProperties plate = SmallPlate();
    plate.afterWork = QStringLiteral("A;");
    CZelDocPropertyDlg dialog(plate, {}, {QStringLiteral("A"), QStringLiteral("C")}, op);
    auto* list = Find<QListWidget>(&dialog, "afterWorkList");
    list->setCurrentRow(0);
    Click(&dialog, "afterWorkAdd");
    EXPECT_EQ(Find<QListWidget>(&dialog, "afterWorkApplied")->count(), 1);
    list->setCurrentRow(1);
    Click(&dialog, "afterWorkAdd");
    EXPECT_EQ(dialog.Properties().afterWork, QStringLiteral("A;C;"));
}

TEST_F(AppTest, PlateDialogOffersTheTurnMethodOnlyOnDoubleSidedPlates) {
    for (int sides : {0, 1, 2}) {
        PlateProperties plate = SmallPlate();
        plate.paperSideSetting = sides;
        CZelDocPropertyDlg dialog(plate, {}, {}, op);
        EXPECT_EQ(Find<QComboBox>(&dialog, "turnMethod")->isEnabled(), sides == 1) << sides;
    }
    // A paper type the shop no longer lists stays the plate's.
    PlateProperties plate = SmallPlate();
    plate.paperType = QStringLiteral("옛 종이");
    CZelDocPropertyDlg dialog(plate, {QStringLiteral("아트지")}, {}, op);
    EXPECT_EQ(dialog.Properties().paperType, QStringLiteral("옛 종이"));
}

TEST_F(AppTest, SmallItemDialogsRefuseValuesOutsideTheirLimits) {
    const QString countMessage = QStringLiteral("자리수는 1 에서 20 사이의 값 이어야합니다.");
    struct CountCase {
        const char* typed;
        int count; // 0: refused
    };
    for (const CountCase& c : {CountCase{"0", 0}, CountCase{"21", 0}, CountCase{"x", 0},
                               CountCase{"", 0}, CountCase{"20", 20}, CountCase{"1", 1}}) {
        CZelDuplicateDlg dialog(1, 3, op);
        EXPECT_EQ(dialog.Arrangement(), 3);
        Find<QSpinBox>(&dialog, "count")
            ->findChild<QLineEdit*>()
            ->setText(QString::fromUtf8(c.typed));
        op.messages.clear();
        dialog.accept();
        if (c.count == 0) {
            EXPECT_EQ(op.messages, QStringList{countMessage}) << c.typed;
            EXPECT_NE(dialog.result(), QDialog::Accepted) << c.typed;
        } else {
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.typed;
            EXPECT_EQ(dialog.Count(), c.count);
        }
    }

    struct GapCase {
        const char* typed;
        QString message;
        double gap;
    };
    const GapCase gaps[] = {
        {"-30", QString(), -30},
        {"30", QString(), 30},
        {"-30.5", QStringLiteral("항목 간격이 너무 작습니다."), 0},
        {"30.01", QStringLiteral("항목 간격이 너무 큽니다."), 0},
        {"x", QString(), 0},
        {"nan", QString(), 0},
    };
    for (const GapCase& c : gaps) {
        CZelItemArrangeDlg dialog(CZelItemArrangeDlg::Horizontal, -30, 30, op);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("항목 수평 정렬"));
        EXPECT_EQ(dialog.Alignment(), CZelItemArrangeDlg::kNoAlignment);
        TypeInto(&dialog, "gap", QString::fromUtf8(c.typed));
        op.messages.clear();
        dialog.accept();
        if (c.message.isEmpty()) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.typed;
            EXPECT_EQ(dialog.Gap(), c.gap) << c.typed;
        } else {
            EXPECT_EQ(op.messages, QStringList{c.message}) << c.typed;
            EXPECT_NE(dialog.result(), QDialog::Accepted) << c.typed;
        }
    }
    CZelItemArrangeDlg vertical(CZelItemArrangeDlg::Vertical, -30, 30, op);
    EXPECT_EQ(Find<QAbstractButton>(&vertical, "alignStart")->text(), QStringLiteral("좌측 기준"));

    struct CropCase {
        const char* field;
        const char* typed;
        bool allOff;
        QString message;
    };
    const CropCase crops[] = {
        {"marginLeft", "23", false, QString()},
        {"marginLeft", "23.01", false,
         QStringLiteral("재단선 좌/우측 여백은 23.000000 mm 보다 클 수 없습니다.")},
        {"marginRight", "24", false,
         QStringLiteral("재단선 좌/우측 여백은 23.000000 mm 보다 클 수 없습니다.")},
        {"marginTop", "13.5", false,
         QStringLiteral("재단선 상/하단 여백은 13.000000 mm 보다 클 수 없습니다.")},
        {"marginBottom", "-1", false, QStringLiteral("재단선 여백은 0 mm 보다 작을 수 없습니다.")},
        {"marginBottom", "-1", true, QString()},
    };
    for (const CropCase& c : crops) {
        CZelOwnCropDlg dialog(CTesselDoc::OwnCutSettings{{2, 2, 2, 2}, {1, 1, 1, 1, 1, 1, 1, 1}},
                              op);
        if (c.allOff)
            for (int i = 1; i <= 8; ++i)
                Find<QAbstractButton>(
                    &dialog,
                    QStringLiteral("crop%1").arg(i, 2, 10, QLatin1Char('0')).toLatin1().constData())
                    ->setChecked(false);
        TypeInto(&dialog, c.field, QString::fromUtf8(c.typed));
        op.messages.clear();
        dialog.accept();
        if (c.message.isEmpty()) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.field << c.typed;
        } else {
            EXPECT_EQ(op.messages, QStringList{c.message}) << c.field << c.typed;
            EXPECT_NE(dialog.result(), QDialog::Accepted);
        }
    }
    CZelOwnCropDlg dialog(CTesselDoc::OwnCutSettings{{1, 2, 3, 4}, {1, 0, 1, 0, 1, 0, 1, 0}}, op);
    EXPECT_EQ(dialog.Settings().margins, (std::array<double, 4>{1, 2, 3, 4}));
    EXPECT_EQ(dialog.Settings().marks, (std::array<int, 8>{1, 0, 1, 0, 1, 0, 1, 0}));
}

TEST_F(AppTest, ItemDetailsListTheOrderAsPlaced) {
    CZelItem item;
    item.ordernum = QStringLiteral("A-1");
    item.width = 90;
    item.height = 50;
    item.rotate = 90;
    item.cx = 92;
    item.cy = 52;
    item.x = 10.5;
    item.y = 20;
    item.pcases = 3;
    item.mediaInd = 3;
    item.numSide = 1;
    item.pdfPage = 2;
    struct Case {
        double quantity;
        const char* shown;
    };
    for (const Case& c : {Case{2.0, "2"}, Case{2.5, "2.5R"}}) {
        item.quantity = c.quantity;
        const CZelItemPropertyDlg::Rows rows = CZelItemPropertyDlg::RowsOf(item);
        ASSERT_EQ(rows.size(), 30u);
        auto value = [&rows](const char16_t* title) {
            for (const auto& [t, v] : rows)
                if (t == QString::fromUtf16(title))
                    return v;
            return QStringLiteral("(none)");
        };
        EXPECT_EQ(value(u"수량"), QString::fromUtf8(c.shown));
        EXPECT_EQ(value(u"위치"), QStringLiteral("10.5 mm, 20 mm"));
        EXPECT_EQ(value(u"크기"), QStringLiteral("50 mm * 90 mm"));
        EXPECT_EQ(value(u"그림 크기"), QStringLiteral("52.00 mm * 92.00 mm"));
        EXPECT_EQ(value(u"건수"), QStringLiteral("2/3(B)"));
    }
}

TEST_F(AppTest, LineDialogTestsEachEntryAndEditsACopy) {
    const std::vector<FreeLine> stored{{1, 0, 100, 5, 0.5, QStringLiteral(" [ Black ]")}};
    CEditLineDlg dialog(stored, 200, 100, &shop.colors);
    auto* direction = Find<QComboBox>(&dialog, "direction");
    struct Case {
        int dir;
        const char *start, *end, *offset, *weight;
        bool valid;
    };
    const Case cases[] = {
        {1, "0", "200", "0", "0.25", true},  {1, "0", "201", "0", "0.25", false},
        {1, "0", "200", "0", "0", false},    {1, "50", "50", "0", "0.25", false},
        {1, "0", "200", "100", "1", false},  {0, "0", "100", "199.9", "1", true},
        {0, "0", "200", "10", "1", false},   {1, "x", "200", "0", "0.25", false},
        {1, "0", "nan", "0", "0.25", false},
    };
    for (const Case& c : cases) {
        direction->setCurrentIndex(c.dir);
        emit direction->activated(c.dir);
        // Validity follows the keystrokes, before a field is left.
        auto keyIn = [&dialog](const char* name, const char* text) {
            auto* edit = Find<QLineEdit>(&dialog, name);
            edit->setText(QString::fromUtf8(text));
            emit edit->textEdited(edit->text());
        };
        keyIn("start", c.start);
        keyIn("end", c.end);
        keyIn("offset", c.offset);
        keyIn("weight", c.weight);
        EXPECT_EQ(Enabled(&dialog, "add"), c.valid) << c.start << " " << c.end << " " << c.weight;
        EXPECT_FALSE(Enabled(&dialog, "apply"));
    }
    // Leaving a field with no number in it brings its value back.
    TypeInto(&dialog, "end", QStringLiteral("150"));
    TypeInto(&dialog, "end", QStringLiteral("nan"));
    EXPECT_EQ(Find<QLineEdit>(&dialog, "end")->text(), QStringLiteral("150"));
    // Add, then change the stored line, then delete the added one.
    TypeInto(&dialog, "offset", QStringLiteral("0"));
    TypeInto(&dialog, "weight", QStringLiteral("0.25"));
    TypeInto(&dialog, "start", QStringLiteral("0"));
    TypeInto(&dialog, "end", QStringLiteral("100"));
    direction->setCurrentIndex(0);
    emit direction->activated(0);
    Click(&dialog, "add");
    ASSERT_EQ(dialog.Lines().size(), 2u);
    SelectRow(&dialog, "lines", 0);
    EXPECT_EQ(Find<QLineEdit>(&dialog, "offset")->text(), QStringLiteral("5"));
    EXPECT_EQ(direction->currentIndex(), 1);
    TypeInto(&dialog, "offset", QStringLiteral("7"));
    ASSERT_TRUE(Enabled(&dialog, "apply"));
    Click(&dialog, "apply");
    SelectRow(&dialog, "lines", 1);
    Click(&dialog, "delete");
    ASSERT_EQ(dialog.Lines().size(), 1u);
    EXPECT_EQ(dialog.Lines()[0].offset, 7.0);
    EXPECT_EQ(dialog.Lines()[0].dir, 1);
    EXPECT_EQ(dialog.Lines()[0].colorName, QStringLiteral(" [ Black ]"));
}

// A plate of the demo shop, with two orders of cards on it when asked.
class ItemCommandsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        shop.LoadColors();
        NewCardPlate(account, path, QDate(2026, 3, 12));
        doc.SetContext(shop.Context(&op, nullptr));
        ASSERT_TRUE(doc.Open(path));
    }
    void PlaceCards() {
        PlaceTwoCardOrders(doc);
        placed = true;
    }
    void TearDown() override {
        if (placed)
            ReturnOrders(doc);
        account->Logout();
    }

    std::unique_ptr<CZelAccount> account;
    QString path;
    CTesselDoc doc;
    bool placed = false;
};

TEST_F(ItemCommandsTest, TextBoxDialogMakesFilesUnderFreshNamesAndCancelKeepsThePlate) {
    const double width = doc.Properties().width, height = doc.Properties().height;
    auto fill = [](QWidget* dialog, double x, double y, double w, double h, const char* text) {
        TypeInto(dialog, "x", QString::number(x));
        TypeInto(dialog, "y", QString::number(y));
        TypeInto(dialog, "width", QString::number(w));
        TypeInto(dialog, "height", QString::number(h));
        Find<QPlainTextEdit>(dialog, "text")->setPlainText(QString::fromUtf8(text));
    };
    // One box on the plate to begin with.
    OnModal("editTextDialog", [&](QWidget* dialog) {
        EXPECT_EQ(Find<CColorCombo>(dialog, "frameColor")->ColorName(),
                  QStringLiteral(" [ Black ]"));
        EXPECT_EQ(Find<CColorCombo>(dialog, "contentColor")->ColorName(),
                  QStringLiteral(" [ White ]"));
        fill(dialog, width - 40, 10, 40, 10, "판 메모");
        EXPECT_TRUE(Enabled(dialog, "add")); // touching the right edge
        fill(dialog, width - 39, 10, 40, 10, "판 메모");
        EXPECT_FALSE(Enabled(dialog, "add"));
        TypeInto(dialog, "x", QStringLiteral("x"));
        EXPECT_EQ(Find<QLineEdit>(dialog, "x")->text(), QString::number(width - 39));
        fill(dialog, 10, height - 10, 40, 10, "판 메모");
        ASSERT_TRUE(Enabled(dialog, "add"));
        Click(dialog, "add");
        // The same values again are a duplicate.
        EXPECT_FALSE(Enabled(dialog, "add"));
        SelectRow(dialog, "boxes", 0);
        EXPECT_FALSE(Enabled(dialog, "apply"));
        Click(dialog, "ok");
    });
    ASSERT_TRUE(itemcommands::EditTextBoxes(nullptr, doc, op))
        << op.messages.join(QLatin1Char(' ')).toStdString();
    ASSERT_EQ(doc.TextBoxes().size(), 1u);
    EXPECT_TRUE(doc.IsModified());
    const TextBox first = doc.TextBoxes().front();
    const QString firstPicture = CTextBoxPicture::PicturePath(doc.WorkFolder(), first);
    const QString firstPdf = CTextBoxPicture::PdfPath(doc.WorkFolder(), first);
    EXPECT_TRUE(QFileInfo::exists(firstPicture));
    EXPECT_TRUE(QFileInfo::exists(firstPdf));
    doc.SetModified(false);

    // Apply, then Cancel: the plate and its files stay as they were.
    QString appliedName;
    OnModal("editTextDialog", [&](QWidget* dialog) {
        SelectRow(dialog, "boxes", 0);
        Find<QPlainTextEdit>(dialog, "text")->setPlainText(QStringLiteral("바뀐 메모"));
        ASSERT_TRUE(Enabled(dialog, "apply"));
        Click(dialog, "apply");
        appliedName = static_cast<CEditText*>(dialog)->Boxes().front().name;
        Click(dialog, "cancel");
    });
    EXPECT_FALSE(itemcommands::EditTextBoxes(nullptr, doc, op));
    EXPECT_EQ(doc.TextBoxes().front(), first);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(QFileInfo::exists(firstPicture));
    EXPECT_TRUE(QFileInfo::exists(firstPdf));
    ASSERT_FALSE(appliedName.isEmpty());
    EXPECT_NE(appliedName, first.name);
    TextBox applied;
    applied.name = appliedName;
    EXPECT_FALSE(QFileInfo::exists(CTextBoxPicture::PicturePath(doc.WorkFolder(), applied)));

    // Apply, then OK: the box takes its new name and files.
    OnModal("editTextDialog", [&](QWidget* dialog) {
        SelectRow(dialog, "boxes", 0);
        Find<QPlainTextEdit>(dialog, "text")->setPlainText(QStringLiteral("바뀐 메모"));
        Click(dialog, "apply");
        Click(dialog, "ok");
    });
    EXPECT_TRUE(itemcommands::EditTextBoxes(nullptr, doc, op));
    ASSERT_EQ(doc.TextBoxes().size(), 1u);
    EXPECT_EQ(doc.TextBoxes().front().text, QStringLiteral("바뀐 메모"));
    EXPECT_NE(doc.TextBoxes().front().name, first.name);
    EXPECT_TRUE(
        QFileInfo::exists(CTextBoxPicture::PdfPath(doc.WorkFolder(), doc.TextBoxes().front())));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ItemCommandsTest, LinesChangeThePlateOnlyOnOk) {
    auto addLine = [](QWidget* dialog) {
        TypeInto(dialog, "start", QStringLiteral("0"));
        TypeInto(dialog, "end", QStringLiteral("100"));
        TypeInto(dialog, "offset", QStringLiteral("3"));
        Click(dialog, "add");
    };
    OnModal("editLineDialog", [&](QWidget* dialog) {
        addLine(dialog);
        dialog->close(); // Escape or the close box
    });
    EXPECT_FALSE(itemcommands::EditLines(nullptr, doc));
    const size_t before = doc.Lines().size();
    EXPECT_FALSE(doc.IsModified());
    OnModal("editLineDialog", [&](QWidget* dialog) {
        addLine(dialog);
        Click(dialog, "ok");
    });
    EXPECT_TRUE(itemcommands::EditLines(nullptr, doc));
    EXPECT_EQ(doc.Lines().size(), before + 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ItemCommandsTest, FramesAndOwnCutLinesAskOnlyWhenSwitchingOn) {
    PlaceCards();
    doc.SelectAll();
    // Cancel in the colour picker changes nothing.
    OnModal("colorSelectDialog", [](QWidget* dialog) { Click(dialog, "cancel"); });
    EXPECT_FALSE(itemcommands::ToggleFrames(nullptr, doc));
    EXPECT_FALSE(doc.AllSelectedHaveFrame());
    OnModal("colorSelectDialog", [](QWidget* dialog) {
        EXPECT_EQ(Find<QListWidget>(dialog, "colorList")->currentItem()->text(),
                  QStringLiteral(" [ Black ]"));
        Click(dialog, "ok");
    });
    EXPECT_TRUE(itemcommands::ToggleFrames(nullptr, doc));
    EXPECT_TRUE(doc.AllSelectedHaveFrame());
    EXPECT_EQ(doc.Selection().front()->ownFrameColor, QStringLiteral(" [ Black ]"));
    // Every item framed: off without a dialog.
    EXPECT_TRUE(itemcommands::ToggleFrames(nullptr, doc));
    EXPECT_FALSE(doc.AllSelectedHaveFrame());

    OnModal("ownCropDialog", [](QWidget* dialog) {
        TypeInto(dialog, "marginLeft", QStringLiteral("23.01"));
        Click(dialog, "ok"); // refused; the dialog stays
        TypeInto(dialog, "marginLeft", QStringLiteral("3"));
        Click(dialog, "ok");
    });
    EXPECT_TRUE(itemcommands::ToggleOwnCut(nullptr, doc, op));
    EXPECT_EQ(op.messages.size(), 1);
    EXPECT_TRUE(doc.AllSelectedHaveOwnCut());
    EXPECT_EQ(doc.Selection().front()->crop[0], 3.0);
    EXPECT_TRUE(itemcommands::ToggleOwnCut(nullptr, doc, op));
    EXPECT_FALSE(doc.AllSelectedHaveOwnCut());

    // One item with its order: the details, read only.
    doc.DeselectAll();
    doc.SelectItem(doc.ItemAt(0));
    doc.SetModified(false);
    OnModal("itemPropertyDialog", [](QWidget* dialog) { Click(dialog, "ok"); });
    EXPECT_FALSE(itemcommands::ShowProperties(nullptr, doc, itemcommands::ListsOf(shop), op));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ItemCommandsTest, PlateDetailsChangeTheLayoutOnOk) {
    const double left = doc.Properties().margin[PlateProperties::Edge::Left];
    OnModal("docPropertyDialog", [&](QWidget* dialog) {
        TypeInto(dialog, "marginLeft", QString::number(left + 5));
        Click(dialog, "ok");
    });
    EXPECT_TRUE(itemcommands::ShowProperties(nullptr, doc, itemcommands::ListsOf(shop), op));
    EXPECT_EQ(doc.Properties().margin[PlateProperties::Edge::Left], left + 5);
    EXPECT_EQ(doc.Geometry().usableArea.x, left + 5);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(AppTest, FontChoiceKeepsTheFieldsTheFontDialogDoesNotShow) {
    LogFont stored;
    stored.lfHeight = -16; // 12 points at 96 dpi
    stored.lfEscapement = 900;
    stored.lfOrientation = 900;
    stored.lfQuality = 5;
    stored.lfPitchAndFamily = 34;
    stored.lfFaceName = QStringLiteral("Not Installed Face");
    EXPECT_EQ(fontchoice::PointSize(stored), 12);
    EXPECT_TRUE(fontchoice::Faces(stored.lfFaceName).contains(stored.lfFaceName));
    for (const QString& face : fontchoice::Faces())
        EXPECT_LE(face.size(), LogFont::kFaceNameCapacity) << face.toStdString();

    QFont chosen(QStringLiteral("NanumGothic"));
    chosen.setPointSize(20);
    chosen.setBold(true);
    chosen.setItalic(true);
    const LogFont font = fontchoice::FromQFont(chosen, stored);
    EXPECT_EQ(font.lfFaceName, QStringLiteral("NanumGothic"));
    EXPECT_EQ(font.lfHeight, -27);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfEscapement, 900);
    EXPECT_EQ(font.lfOrientation, 900);
    EXPECT_EQ(font.lfQuality, 5);
    EXPECT_EQ(font.lfPitchAndFamily, 34);
    EXPECT_EQ(font.lfCharSet, 129); // a Korean face

    QFont tooLong(QStringLiteral("A Face Name Longer Than Thirty One Characters"));
    tooLong.setPointSize(12);
    EXPECT_EQ(fontchoice::FromQFont(tooLong, stored).lfFaceName, stored.lfFaceName);
}
