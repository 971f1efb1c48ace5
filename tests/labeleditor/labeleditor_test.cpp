#include "labeleditorfixture.h"
#include "tests/succeeded.h"

#include "labeleditor/labeldlg.h"
#include "labeleditor/labeleditwnd.h"
#include "labeleditor/labelfonts.h"

#include "records/filenames.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {

// A canvas point of a label point in mm (96 dpi offscreen).
QPoint At(double x, double y) {
    return QPoint(qRound(x * 96 / 25.4), qRound(y * 96 / 25.4));
}

void Mouse(QWidget* widget, QEvent::Type type, const QPoint& at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Drag(QWidget* canvas, const QPoint& from, const QPoint& to) {
    Mouse(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(canvas, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    Mouse(canvas, QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(canvas, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// The operator picks an entry of a combo.
void Choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

} // namespace

class LabelDialogTest : public LabelEditorTest {
public:
    // The editor on the stored label "명함" (90 x 50 mm, a text at 10, 10, 30 x 10).
    void Open() {
        MakeLabel(QStringLiteral("명함"), 90, 50,
                  labelfonts::EntryFont(QStringLiteral("NanumGothic")));
        dialog = std::make_unique<CZelLabelDlg>(PresetDir(), op);
        dialog->show();
        canvas = dialog->Canvas();
        ASSERT_TRUE(dialog->ShowStoredLabel(QStringLiteral("명함")));
    }
    void SelectObject() {
        Mouse(canvas, QEvent::MouseButtonPress, At(20, 15), Qt::LeftButton);
        Mouse(canvas, QEvent::MouseButtonRelease, At(20, 15), Qt::NoButton);
        ASSERT_NE(canvas->Selected(), nullptr);
    }
    CZelLabObject& Object() { return *dialog->Label().objects.at(0); }
    QString Text(const char* field) { return Find<QLineEdit>(dialog.get(), field)->text(); }
    void Enter(const char* field, const QString& text) {
        QLineEdit* edit = Find<QLineEdit>(dialog.get(), field);
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    // Types into the save dialog and presses OK, once per name.
    static void SaveAs(const QStringList& names) {
        OnModal("labelSaveDialog", [names](QWidget* dialog) {
            for (const QString& name : names) {
                dialog->findChild<QComboBox*>(QStringLiteral("labelName"))->setEditText(name);
                dialog->findChild<QPushButton*>(QStringLiteral("ok"))->click();
            }
            if (dialog->isVisible())
                dialog->findChild<QPushButton*>(QStringLiteral("cancel"))->click();
        });
    }

    std::unique_ptr<CZelLabelDlg> dialog;
    CZelLabEditWnd* canvas = nullptr;
};

TEST_F(LabelDialogTest, OpensOnANewLabelWithTheStoredNamesAndFields) {
    MakeLabel(QStringLiteral("나중"), 60, 40);
    MakeLabel(QStringLiteral("가장 먼저"), 60, 40);
    CZelLabelDlg editor(PresetDir(), op);
    EXPECT_EQ(Entries(Find<QComboBox>(&editor, "labelName")),
              QStringList({QStringLiteral("가장 먼저"), QStringLiteral("나중"),
                           QStringLiteral("[새 레이블]")}));
    EXPECT_EQ(Find<QComboBox>(&editor, "labelName")->currentIndex(), 2);
    EXPECT_FALSE(Find<QPushButton>(&editor, "delete")->isEnabled());
    EXPECT_EQ(Find<QTableView>(&editor, "fieldList")->model()->rowCount(), 3);
    EXPECT_EQ(Find<QLineEdit>(&editor, "widthEdit")->text(), QStringLiteral("90 mm"));
    EXPECT_EQ(Find<QLineEdit>(&editor, "heightEdit")->text(), QStringLiteral("50 mm"));
    EXPECT_EQ(Find<QLineEdit>(&editor, "xEdit")->text(), QStringLiteral("0 mm"));
    for (const QString& face : labelfonts::InstalledFaces())
        EXPECT_TRUE(!face.contains(QLatin1Char('@')) && face.size() <= 31) << face.toStdString();
    EXPECT_FALSE(editor.Label().modified);
}

// Every kind of edit marks the label; closing then asks, Cancel keeps the
// editor open with the edit, No closes it.
TEST_F(LabelDialogTest, EveryEditAsksBeforeClosing) {
    struct Case {
        const char* edit;
        bool onNewLabel;
        std::function<void(LabelDialogTest&)> act;
    };
    const std::vector<Case> cases{
        {"field dropped", false,
         [](LabelDialogTest& t) {
             auto* fields = t.Find<QTableView>(t.dialog.get(), "fieldList");
             std::unique_ptr<QMimeData> data(
                 fields->model()->mimeData({fields->model()->index(2, 0)}));
             QDragEnterEvent enter(At(50, 30), Qt::CopyAction, data.get(), Qt::LeftButton,
                                   Qt::NoModifier);
             QApplication::sendEvent(t.canvas, &enter);
             ASSERT_TRUE(enter.isAccepted());
             QDropEvent drop(QPointF(At(50, 30)), Qt::CopyAction, data.get(), Qt::LeftButton,
                             Qt::NoModifier);
             QApplication::sendEvent(t.canvas, &drop);
             ASSERT_EQ(t.dialog->Label().objects.size(), 2u);
             EXPECT_EQ(t.dialog->Label().objects[1]->tag, QStringLiteral("MF_TextBox"));
             EXPECT_EQ(t.dialog->Label().selectedIndex, 1);
         }},
        {"moved", false, [](LabelDialogTest& t) { Drag(t.canvas, At(20, 15), At(25, 15)); }},
        {"resized", false, [](LabelDialogTest& t) { Drag(t.canvas, At(40, 20), At(45, 25)); }},
        {"title by double-click", false,
         [](LabelDialogTest& t) {
             OnModal("labelItemTextDialog", [](QWidget* text) {
                 text->findChild<QLineEdit*>(QStringLiteral("title"))
                     ->setText(QStringLiteral("이름"));
                 text->findChild<QPushButton*>(QStringLiteral("ok"))->click();
             });
             Mouse(t.canvas, QEvent::MouseButtonDblClick, At(20, 15), Qt::LeftButton);
             EXPECT_EQ(t.Object().text, QStringLiteral("이름"));
         }},
        {"deleted", false,
         [](LabelDialogTest& t) {
             t.canvas->setFocus();
             QTest::keyClick(t.canvas, Qt::Key_Delete);
             EXPECT_TRUE(t.dialog->Label().objects.empty());
         }},
        {"X typed", false, [](LabelDialogTest& t) { t.Enter("xEdit", QStringLiteral("20")); }},
        {"frame", false, [](LabelDialogTest& t) { Click(t.dialog.get(), "frameCheck"); }},
        {"invert", false, [](LabelDialogTest& t) { Click(t.dialog.get(), "invertCheck"); }},
        {"horizontal alignment", false,
         [](LabelDialogTest& t) {
             Choose(t.Find<QComboBox>(t.dialog.get(), "horizontalAlign"), 2);
         }},
        {"vertical alignment", false,
         [](LabelDialogTest& t) { Choose(t.Find<QComboBox>(t.dialog.get(), "verticalAlign"), 2); }},
        {"rotation", false,
         [](LabelDialogTest& t) {
             Choose(t.Find<QComboBox>(t.dialog.get(), "rotation"), 1);
             EXPECT_EQ(t.Object().font.lfEscapement, 900);
         }},
        {"face", false,
         [](LabelDialogTest& t) {
             auto* faces = t.Find<QComboBox>(t.dialog.get(), "fontFace");
             ASSERT_GE(faces->count(), 2);
             Choose(faces, faces->currentIndex() == 0 ? 1 : 0);
         }},
        {"size", false,
         [](LabelDialogTest& t) {
             auto* size = t.Find<QComboBox>(t.dialog.get(), "fontSize");
             size->setEditText(QStringLiteral("24"));
             QTest::keyClick(size->lineEdit(), Qt::Key_Return);
             EXPECT_EQ(t.Object().font.lfHeight, -32);
         }},
        {"label size without objects", true,
         [](LabelDialogTest& t) { t.Enter("widthEdit", QStringLiteral("60 mm")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edit);
        Open();
        if (c.onNewLabel) {
            Choose(Find<QComboBox>(dialog.get(), "labelName"), 1);
        } else {
            SelectObject();
        }
        EXPECT_FALSE(dialog->Label().modified) << "choosing is no edit";
        c.act(*this);
        EXPECT_TRUE(dialog->Label().modified);
        op.threeWay = {-1};
        Click(dialog.get(), "close");
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialog->Label().modified);
        op.threeWay = {0};
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(op.questions.size(), 2);
        op.questions.clear();
        QFile::remove(labelset::LabelPath(PresetDir(), QStringLiteral("명함")));
    }
}

TEST_F(LabelDialogTest, MovesAndResizesStayInsideTheLabel) {
    Open();
    SelectObject();
    // Dragged past the bottom-right corner: it stops at the edge.
    Drag(canvas, At(20, 15), At(200, 200));
    EXPECT_DOUBLE_EQ(Object().x, 60);
    EXPECT_DOUBLE_EQ(Object().y, 40);
    EXPECT_EQ(Text("xEdit"), QStringLiteral("60 mm"));
    // The bottom-right handle pulled past the top-left: 1 mm remains.
    Drag(canvas, At(90, 50) - QPoint(1, 1), At(0, 0));
    EXPECT_DOUBLE_EQ(Object().x, 60);
    EXPECT_DOUBLE_EQ(Object().w, 1);
    EXPECT_DOUBLE_EQ(Object().h, 1);
    EXPECT_EQ(Text("widthEdit"), QStringLiteral("1 mm"));
    // The top-left handle dragged off the label: the far edges stay.
    Enter("xEdit", QStringLiteral("30"));
    Enter("yEdit", QStringLiteral("20"));
    Enter("widthEdit", QStringLiteral("10"));
    Enter("heightEdit", QStringLiteral("10"));
    Drag(canvas, canvas->HandleRect(Object(), 0).center(), At(-20, -20));
    EXPECT_DOUBLE_EQ(Object().x, 0);
    EXPECT_DOUBLE_EQ(Object().y, 0);
    EXPECT_NEAR(Object().w, 40, 1e-9);
    EXPECT_NEAR(Object().h, 30, 1e-9);
    // The cursor tells what a press would do.
    Mouse(canvas, QEvent::MouseMove, canvas->HandleRect(Object(), 4).center(), Qt::NoButton);
    EXPECT_EQ(canvas->cursor().shape(), Qt::SizeHorCursor);
    Mouse(canvas, QEvent::MouseMove, At(20, 15), Qt::NoButton);
    EXPECT_EQ(canvas->cursor().shape(), Qt::SizeAllCursor);
    Mouse(canvas, QEvent::MouseMove, At(80, 45), Qt::NoButton);
    EXPECT_EQ(canvas->cursor().shape(), Qt::ArrowCursor);
    // A press on nothing clears the selection.
    Mouse(canvas, QEvent::MouseButtonPress, At(80, 45), Qt::LeftButton);
    EXPECT_EQ(canvas->Selected(), nullptr);
    EXPECT_EQ(Text("widthEdit"), QStringLiteral("90 mm"));
}

TEST_F(LabelDialogTest, TypedPositionsAndSizesAreReadAndKeptInRange) {
    Open();
    SelectObject();
    const struct {
        const char* field;
        const char* typed;
        double x, y, w, h;
    } cases[] = {
        {"xEdit", "12.5 mm", 12.5, 10, 30, 10}, {"xEdit", "x", 12.5, 10, 30, 10},
        {"yEdit", "nan", 12.5, 10, 30, 10},     {"widthEdit", "0", 12.5, 10, 1, 10},
        {"widthEdit", "200", 0, 10, 90, 10},    {"yEdit", "45", 0, 40, 90, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Enter(c.field, QString::fromLatin1(c.typed));
        EXPECT_DOUBLE_EQ(Object().x, c.x);
        EXPECT_DOUBLE_EQ(Object().y, c.y);
        EXPECT_DOUBLE_EQ(Object().w, c.w);
        EXPECT_DOUBLE_EQ(Object().h, c.h);
        EXPECT_EQ(Text("xEdit"), QStringLiteral("%1 mm").arg(c.x));
    }
}

// With nothing selected W and H are the label's size: 5 mm at least.
TEST_F(LabelDialogTest, LabelSizeRefusedBelowFiveMillimetres) {
    CZelLabelDlg editor(PresetDir(), op);
    const struct {
        const char* width;
        const char* height;
        double wantWidth, wantHeight;
        bool told;
    } cases[] = {
        {"4.9 mm", "50", 90, 50, true}, {"90", "4.9", 90, 50, true},
        {"5", "5", 5, 5, false},        {"x", "nan", 5, 5, false},
        {"1000.5", "40", 5, 5, true},   {"1000 mm", "40", 1000, 40, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        op.messages.clear();
        Find<QLineEdit>(&editor, "widthEdit")->setText(QString::fromLatin1(c.width));
        Find<QLineEdit>(&editor, "heightEdit")->setText(QString::fromLatin1(c.height));
        QTest::keyClick(Find<QLineEdit>(&editor, "heightEdit"), Qt::Key_Return);
        EXPECT_DOUBLE_EQ(editor.Label().Width(), c.wantWidth);
        EXPECT_DOUBLE_EQ(editor.Label().Height(), c.wantHeight);
        EXPECT_EQ(op.messages.size(), c.told ? 1 : 0);
        EXPECT_EQ(Find<QLineEdit>(&editor, "widthEdit")->text(),
                  QStringLiteral("%1 mm").arg(c.wantWidth));
        EXPECT_EQ(Find<QLineEdit>(&editor, "xEdit")->text(), QStringLiteral("0 mm"));
    }
}

TEST_F(LabelDialogTest, DeleteActsOnlyWhenTheCanvasHasFocus) {
    Open();
    SelectObject();
    QLineEdit* x = Find<QLineEdit>(dialog.get(), "xEdit");
    x->setFocus();
    x->setCursorPosition(0);
    QTest::keyClick(x, Qt::Key_Delete);
    EXPECT_EQ(dialog->Label().objects.size(), 1u);
    EXPECT_EQ(x->text(), QStringLiteral("0 mm"));
    canvas->setFocus();
    QTest::keyClick(canvas, Qt::Key_Delete);
    EXPECT_TRUE(dialog->Label().objects.empty());
    EXPECT_EQ(Text("xEdit"), QStringLiteral("0 mm"));
}

// A new face keeps the object's size, turn, weight and style.
TEST_F(LabelDialogTest, FaceAndSizeRules) {
    LogFont font = labelfonts::EntryFont(QStringLiteral("NanumGothic"));
    font.lfHeight = -19;
    font.lfEscapement = font.lfOrientation = 2700;
    font.lfWeight = 700;
    font.lfItalic = 1;
    font.lfUnderline = 1;
    MakeLabel(QStringLiteral("명함"), 90, 50, font);
    CZelLabelDlg editor(PresetDir(), op);
    editor.show();
    ASSERT_TRUE(editor.ShowStoredLabel(QStringLiteral("명함")));
    editor.Canvas()->Select(0);
    auto* size = Find<QComboBox>(&editor, "fontSize");
    EXPECT_EQ(size->currentText(), QStringLiteral("14"));
    EXPECT_EQ(Find<QComboBox>(&editor, "rotation")->currentIndex(), 3);

    auto* faces = Find<QComboBox>(&editor, "fontFace");
    const int other = faces->findText(QStringLiteral("NanumGothic")) == 0 ? 1 : 0;
    Choose(faces, other);
    const LogFont& changed = editor.Label().objects[0]->font;
    EXPECT_EQ(changed.lfFaceName, faces->itemText(other));
    EXPECT_EQ(changed.lfHeight, -19);
    EXPECT_EQ(changed.lfEscapement, 2700);
    EXPECT_EQ(changed.lfWeight, 700);
    EXPECT_EQ(changed.lfItalic, 1);
    EXPECT_EQ(changed.lfUnderline, 1);

    for (const char* refused : {"6", "73", "x", "10.5"}) {
        SCOPED_TRACE(refused);
        size->setEditText(QString::fromLatin1(refused));
        QTest::keyClick(size->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(editor.Label().objects[0]->font.lfHeight, -19);
        EXPECT_EQ(size->currentText(), QStringLiteral("14"));
    }
    size->setEditText(QStringLiteral("7"));
    QTest::keyClick(size->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(editor.Label().objects[0]->font.lfHeight, -9);
}

// A face this workstation lacks stays in the list and on the object.
TEST_F(LabelDialogTest, AMissingFaceStaysListed) {
    LogFont font = labelfonts::EntryFont(QStringLiteral("NanumGothic"));
    font.lfFaceName = QStringLiteral("휴먼명조 없는 글꼴");
    MakeLabel(QStringLiteral("명함"), 90, 50, font);
    CZelLabelDlg editor(PresetDir(), op);
    ASSERT_TRUE(editor.ShowStoredLabel(QStringLiteral("명함")));
    editor.Canvas()->Select(0);
    EXPECT_EQ(Find<QComboBox>(&editor, "fontFace")->currentText(), font.lfFaceName);
    EXPECT_FALSE(editor.Label().modified);
}

TEST_F(LabelDialogTest, SaveRefusesInvalidNamesAndAsksBeforeReplacing) {
    MakeLabel(QStringLiteral("있는 것"), 60, 40);
    CZelLabelDlg editor(PresetDir(), op);
    QSignalSpy changed(&editor, &CZelLabelDlg::labelChanged);
    editor.show();
    Find<QLineEdit>(&editor, "widthEdit")->setText(QStringLiteral("70"));
    QTest::keyClick(Find<QLineEdit>(&editor, "widthEdit"), Qt::Key_Return);

    const QStringList invalid{QStringLiteral("[새 레이블]"), QStringLiteral(".숨김"),
                              QStringLiteral("가:나"),       QString(),
                              QStringLiteral("끝 "),         QStringLiteral("CON"),
                              QStringLiteral("탭\t"),        QStringLiteral("a|b")};
    // "No" to replacing returns to the name; "Yes" to the next name saves.
    op.answers = {false};
    SaveAs(invalid + QStringList{QStringLiteral("있는 것"), QStringLiteral("새 명함")});
    Click(&editor, "save");
    QStringList told;
    for (const QString& name : invalid)
        told << filenames::InvalidNameMessage(name);
    EXPECT_EQ(op.messages, told);
    EXPECT_EQ(op.questions, QStringList{QStringLiteral(
                                "\"있는 것\"은(는) 이미 있습니다.\n기존 파일을 바꾸시겠습니까?")});
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("새 명함"));
    EXPECT_FALSE(editor.Label().modified);
    EXPECT_EQ(Entries(Find<QComboBox>(&editor, "labelName")),
              QStringList({QStringLiteral("새 명함"), QStringLiteral("있는 것"),
                           QStringLiteral("[새 레이블]")}));
    EXPECT_EQ(Find<QComboBox>(&editor, "labelName")->currentText(), QStringLiteral("새 명함"));
    EXPECT_TRUE(Find<QPushButton>(&editor, "delete")->isEnabled());
    double width = 0, height = 0;
    ASSERT_TRUE(labelset::ReadLabelSize(labelset::LabelPath(PresetDir(), QStringLiteral("새 명함")),
                                        width, height));
    EXPECT_EQ(width, 70);

    // Replacing with "Yes": the stored label is written again.
    op.questions.clear();
    op.answers = {true};
    SaveAs({QStringLiteral("있는 것")});
    Click(&editor, "save");
    ASSERT_TRUE(labelset::ReadLabelSize(labelset::LabelPath(PresetDir(), QStringLiteral("있는 것")),
                                        width, height));
    EXPECT_EQ(width, 70);
    EXPECT_EQ(changed.size(), 2);
}

// Another label: Cancel, and Yes with the save called off, stay; No loads it.
TEST_F(LabelDialogTest, ChoosingAnotherLabelSettlesTheChangesFirst) {
    Open();
    MakeLabel(QStringLiteral("다른 것"), 60, 40);
    auto* names = Find<QComboBox>(dialog.get(), "labelName");
    SelectObject();
    Click(dialog.get(), "frameCheck");
    op.threeWay = {-1};
    Choose(names, names->count() - 1);
    EXPECT_EQ(names->currentText(), QStringLiteral("명함"));
    EXPECT_TRUE(dialog->Label().modified);

    op.threeWay = {1};
    SaveAs({}); // called off
    Choose(names, names->count() - 1);
    EXPECT_EQ(names->currentText(), QStringLiteral("명함"));
    EXPECT_EQ(dialog->Label().objects.size(), 1u);

    op.threeWay = {0};
    Choose(names, names->count() - 1);
    EXPECT_EQ(names->currentText(), QStringLiteral("[새 레이블]"));
    EXPECT_TRUE(dialog->Label().objects.empty());
    EXPECT_FALSE(Find<QPushButton>(dialog.get(), "delete")->isEnabled());
    // The edit was not saved.
    CZelLabel stored;
    ASSERT_TRUE(Succeeded(stored.Load(labelset::LabelPath(PresetDir(), QStringLiteral("명함")))));
    EXPECT_EQ(stored.objects.at(0)->frame, 0);
}

// Closing a stored label with "Yes" saves it under its own name.
TEST_F(LabelDialogTest, YesOnClosingSavesUnderItsName) {
    Open();
    SelectObject();
    Click(dialog.get(), "invertCheck");
    op.threeWay = {1};
    op.answers = {true}; // replace the stored file
    OnModal("labelSaveDialog", [](QWidget* save) {
        EXPECT_EQ(save->findChild<QComboBox*>(QStringLiteral("labelName"))->currentText(),
                  QStringLiteral("명함"));
        save->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    });
    Click(dialog.get(), "close");
    EXPECT_FALSE(dialog->isVisible());
    CZelLabel stored;
    ASSERT_TRUE(Succeeded(stored.Load(labelset::LabelPath(PresetDir(), QStringLiteral("명함")))));
    EXPECT_EQ(stored.objects.at(0)->invert, 1);
}

TEST_F(LabelDialogTest, DeleteRemovesTheFileAndShowsANewLabel) {
    Open();
    QSignalSpy changed(dialog.get(), &CZelLabelDlg::labelChanged);
    op.answers = {false};
    Click(dialog.get(), "delete");
    EXPECT_TRUE(QFile::exists(labelset::LabelPath(PresetDir(), QStringLiteral("명함"))));
    op.answers = {true};
    Click(dialog.get(), "delete");
    EXPECT_EQ(op.questions.last(), QStringLiteral("레이블 \"명함\"을(를) 삭제하시겠습니까?"));
    EXPECT_FALSE(QFile::exists(labelset::LabelPath(PresetDir(), QStringLiteral("명함"))));
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(Entries(Find<QComboBox>(dialog.get(), "labelName")),
              QStringList{QStringLiteral("[새 레이블]")});
    EXPECT_TRUE(dialog->Label().name.isEmpty());
    EXPECT_FALSE(Find<QPushButton>(dialog.get(), "delete")->isEnabled());
}

TEST_F(LabelDialogTest, ALabelThatDoesNotLoadSaysWhyAndFallsBackToANewOne) {
    MakeLabel(QStringLiteral("깨진 것"), 60, 40);
    QFile broken(labelset::LabelPath(PresetDir(), QStringLiteral("깨진 것")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("<TESSEL_DOCUMENT_MARKUPS><LABLE><WIDE>\"4\"</WIDE>");
    broken.close();
    CZelLabelDlg editor(PresetDir(), op);
    EXPECT_FALSE(editor.ShowStoredLabel(QStringLiteral("깨진 것")));
    ASSERT_EQ(op.messages.size(), 1);
    EXPECT_TRUE(
        op.messages[0].startsWith(QStringLiteral("레이블 \"깨진 것\"을(를) 열 수 없습니다.")));
    EXPECT_EQ(Find<QComboBox>(&editor, "labelName")->currentText(), QStringLiteral("[새 레이블]"));
    EXPECT_EQ(editor.Label().Width(), 90);
}
