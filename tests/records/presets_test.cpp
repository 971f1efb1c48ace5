#include "recordfiles.h"

#include "records/zelcolorpresets.h"
#include "records/zelpreference.h"
#include "records/zelpressmarkpresets.h"

#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

using namespace recordfiles;

namespace {

QString ColorPreset(const QString& name, int c, int m, int y, int k) {
    return QStringLiteral("   <COLOR_PRESET>\r\n") +
           Elements({{"COLOR_NAME", Q(name)},
                     {"COLOR_SPEC", QStringLiteral("0")},
                     {"C", QString::number(c)},
                     {"M", QString::number(m)},
                     {"Y", QString::number(y)},
                     {"K", QString::number(k)},
                     {"R", QStringLiteral("1")},
                     {"G", QStringLiteral("2")},
                     {"B", QStringLiteral("3")}},
                    2) +
           QStringLiteral("   </COLOR_PRESET>\r\n");
}

QStringList Names(const CZelColorPresets& table) {
    QStringList names;
    for (int i = 0; i < table.Count(); ++i)
        names << table.Color(i)->name;
    return names;
}

} // namespace

TEST(ColorPresets, BuiltInColoursInOrder) {
    CZelColorPresets table;
    EXPECT_EQ(
        Names(table),
        QStringList({QStringLiteral(" [ Black ]"), QStringLiteral(" [ Registration ]"),
                     QStringLiteral(" [ White ]"), QStringLiteral(" [C=0 M=0 Y=100 K=0]"),
                     QStringLiteral(" [C=0 M=100 Y=0 K=0]"), QStringLiteral(" [C=100 M=0 Y=0 K=0]"),
                     QStringLiteral(" [C=100 M=90 Y=10 K=0]"),
                     QStringLiteral(" [C=15 M=100 Y=100 K=0]"),
                     QStringLiteral(" [C=75 M=5 Y=100 K=0]")}));
    ASSERT_NE(table.White(), nullptr);
    EXPECT_EQ(table.White()->r, 255);
    EXPECT_EQ(table.Black()->k, 100);
    EXPECT_EQ(table.Red()->c, 15);
    EXPECT_EQ(table.Black()->separationName, QStringLiteral("+zelCmYkReg Black+"));
    EXPECT_EQ(table.FindColor(QStringLiteral(" [C=100 M=0 Y=0 K=0]"))->separationName,
              QStringLiteral("+zelCmYkReg C=100 M=0 Y=0 K=0+"));
    EXPECT_EQ(table.FindColor(QStringLiteral(" [ black ]")), nullptr);
}

TEST(ColorPresets, FindsEveryColourWhateverTheCaseOrder) {
    CZelColorPresets table;
    // Names that differ only in case, and names whose case-sensitive order
    // differs from the table's ("a" sorts after "Z" by code, before it here).
    const QStringList added = {QStringLiteral("Zebra"),   QStringLiteral("apple"),
                               QStringLiteral("Apple"),   QStringLiteral("APPLE"),
                               QStringLiteral("별색 금"), QStringLiteral("banana"),
                               QStringLiteral("Mango"),   QStringLiteral("[b]")};
    for (const QString& name : added)
        table.AddColor(name, 1, 2, 3, 4, 5, 6, 7, 0);
    for (int i = 1; i < table.Count(); ++i)
        EXPECT_LE(
            QString::compare(table.Color(i - 1)->name, table.Color(i)->name, Qt::CaseInsensitive),
            0);
    for (const QString& name : added) {
        const CZelColorItem* found = table.FindColor(name);
        ASSERT_NE(found, nullptr) << name.toStdString();
        EXPECT_EQ(found->name, name);
    }
    EXPECT_EQ(table.FindColor(QStringLiteral("aPPle")), nullptr);
    // Equal names keep the order they were added in.
    const int first = static_cast<int>(Names(table).indexOf(QStringLiteral("apple")));
    EXPECT_EQ(table.Color(first + 1)->name, QStringLiteral("Apple"));
    EXPECT_EQ(table.Color(first + 2)->name, QStringLiteral("APPLE"));
}

TEST(ColorPresets, LoadsAndSavesTheShopsColours) {
    KoreanTempDir dir;
    const QString path = dir.filePath(QStringLiteral("ZelColorPresets.tzst"));
    Write(path, Record("Tessel Color Presets",
                       ColorPreset(QStringLiteral(" 별색 금 "), 0, 20, 60, 20) +
                           ColorPreset(QStringLiteral(" [ Black ]"), 0, 0, 0, 90)));
    {
        CZelColorPresets table;
        ASSERT_TRUE(table.Load(dir.path()));
        EXPECT_EQ(table.Count(), 11); // the saved " [ Black ]" stands beside the built-in one
        const CZelColorItem* gold = table.FindColor(QStringLiteral(" 별색 금 "));
        ASSERT_NE(gold, nullptr);
        EXPECT_EQ(gold->y, 60);
        EXPECT_EQ(gold->b, 3);
        EXPECT_EQ(gold->builtIn, 0);
        table.AddColor(QStringLiteral("새 색"), 200, 0, 0, 0, 300, 0, 0,
                       0); // clamped to 100 and 255
        EXPECT_EQ(table.FindColor(QStringLiteral("새 색"))->c, 100);
    } // saved at exit
    CZelColorPresets again;
    ASSERT_TRUE(again.Load(dir.path()));
    EXPECT_EQ(again.Count(), 12);
    EXPECT_EQ(again.FindColor(QStringLiteral("새 색"))->r, 255);

    // Without a file and without a change nothing is written; a colour
    // added makes the file.
    KoreanTempDir empty;
    const QString made = empty.filePath(QStringLiteral("ZelColorPresets.tzst"));
    {
        CZelColorPresets table;
        EXPECT_FALSE(table.Load(empty.path()));
    }
    EXPECT_FALSE(QFileInfo::exists(made));
    {
        CZelColorPresets table;
        table.Load(empty.path());
        table.AddColor(QStringLiteral("금"), 0, 20, 60, 20, 0, 0, 0, 0);
    }
    EXPECT_TRUE(Read(made).contains("COLOR_PRESET"));
}

// A read-only run leaves the shop's colours as they are on disk, even when
// the file is not laid out as the program would write it.
TEST(ColorPresets, AnUnchangedTableWritesNothing) {
    KoreanTempDir dir;
    const QString path = dir.filePath(QStringLiteral("ZelColorPresets.tzst"));
    const QByteArray bytes =
        Record("Tessel Color Presets", ColorPreset(QStringLiteral("금"), 0, 20, 60, 20))
            .replace("\r\n", "\n");
    Write(path, bytes);
    {
        CZelColorPresets table;
        ASSERT_TRUE(table.Load(dir.path()));
        EXPECT_NE(table.FindColor(QStringLiteral("금")), nullptr);
    }
    EXPECT_EQ(Read(path), bytes);
}

TEST(ColorPresets, KeepsAFileThatCannotBeRead) {
    KoreanTempDir dir;
    const QString path = dir.filePath(QStringLiteral("ZelColorPresets.tzst"));
    const QByteArray whole =
        Record("Tessel Color Presets", ColorPreset(QStringLiteral("금"), 0, 20, 60, 20) +
                                           ColorPreset(QStringLiteral("은"), 0, 0, 0, 40));
    const QByteArray cut =
        whole.left(whole.indexOf("</COLOR_PRESET>") + 40); // cut inside the second colour
    const QByteArray files[] = {"", "<OTHER></OTHER>", cut};
    for (const QByteArray& bytes : files) {
        Write(path, bytes);
        {
            CZelColorPresets table;
            table.Load(dir.path());
        }
        EXPECT_EQ(Read(path), bytes);
    }
    // A folder in the file's place cannot be read either; nothing is written.
    KoreanTempDir other;
    QDir().mkpath(other.filePath(QStringLiteral("ZelColorPresets.tzst")));
    {
        CZelColorPresets table;
        EXPECT_FALSE(table.Load(other.path()));
    }
    EXPECT_TRUE(QFileInfo(other.filePath(QStringLiteral("ZelColorPresets.tzst"))).isDir());
}

TEST(PressMarkPresets, MarksWithTheirPreviews) {
    KoreanTempDir dir;
    CZelPreference preference;
    preference.SetFolder(CZelPreference::Folder::Preset, dir.mkdir(QStringLiteral("프리셋")));
    const QString folder = dir.filePath(QStringLiteral("프리셋/ColorBars/"));
    QDir().mkpath(folder + QStringLiteral("미리보기"));
    QImage picture(40, 12, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder + QStringLiteral("미리보기/바.png")));
    Write(folder + QStringLiteral("깨짐.png"), "not a picture");
    auto mark = [](const char* name, const char* media, const char* preview) {
        return QStringLiteral("   <PRESS_MARK>\r\n") +
               Elements({{"MARK_NAME", Q(QString::fromUtf8(name))},
                         {"MEDIA_FILE", Q(QString::fromUtf8(media))},
                         {"PREVIEW_FILE", Q(QString::fromUtf8(preview))},
                         {"MEDIA_WIDE", QStringLiteral("200.500")},
                         {"MEDIA_HIGH", QStringLiteral("5.000")}},
                        2) +
               QStringLiteral("   </PRESS_MARK>\r\n");
    };
    Write(folder + QStringLiteral("ZelColorBarPresets.tzst"),
          Record("Tessel Press Mark Presets", mark("컬러바", "바.pdf", "미리보기\\바.png") +
                                                  mark("없는 미리보기", "x.pdf", "없음.png") +
                                                  mark("깨진 미리보기", "y.pdf", "깨짐.png")));
    CZelPressMarkPresets table;
    ASSERT_TRUE(table.LoadColorBars(preference)) << table.LastError().toStdString();
    ASSERT_EQ(table.Count(), 2); // the mark without a preview file is left out
    int index = -1;
    const CZelPressMarkItem* bar = table.FindPressMark(QStringLiteral("컬러바"), &index);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(bar->mediaPath, folder + QStringLiteral("바.pdf"));
    EXPECT_EQ(bar->previewSize, QSize(40, 12));
    EXPECT_EQ(bar->width, 200.5);
    const CZelPressMarkItem* broken = table.FindPressMark(QStringLiteral("깨진 미리보기"), &index);
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(index, 1);
    EXPECT_TRUE(broken->previewSize.isEmpty());
    EXPECT_EQ(table.FindPressMark(QStringLiteral("없는 미리보기")), nullptr);
    EXPECT_EQ(table.Name(1), QStringLiteral("깨진 미리보기"));

    CZelPressMarkPresets marks;
    EXPECT_FALSE(marks.LoadRegistrationMarks(preference)); // no file yet
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("프리셋/RegistrationMarks"))).isDir());
    EXPECT_EQ(marks.Count(), 0);
}
