#include "labels/labelset.h"
#include "tests/succeeded.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void SaveLabel(const QString& presetDir, const QString& name, double w, double h) {
    CZelLabel label;
    ASSERT_TRUE(label.SetSize(w, h));
    ASSERT_TRUE(Succeeded(label.Save(labelset::LabelPath(presetDir, name))));
}

} // namespace

TEST(Labels, FileRoundTripWithEveryKey) {
    QTemporaryDir dir;
    CZelLabel label;
    EXPECT_FALSE(label.SetSize(4.9, 30));
    EXPECT_FALSE(label.SetSize(30, 4.9));
    EXPECT_TRUE(label.SetSize(5, 5));
    EXPECT_TRUE(label.SetSize(50, 30));
    for (const char* tag : {"Ordernum", "MF_FrameBox"}) {
        auto object = std::make_unique<CZelLabObject>();
        object->tag = QString::fromLatin1(tag);
        object->text = QString::fromLatin1(tag) == QLatin1String("Ordernum")
                           ? QStringLiteral("주문 <번호>")
                           : QString();
        object->x = 1.5;
        object->y = 2.25;
        object->w = 20;
        object->h = 8.125;
        object->frame = 1;
        object->invert = 1;
        object->halign = 2;
        object->valign = 1;
        object->font.lfHeight = -13;
        object->font.lfEscapement = 900;
        object->font.lfCharSet = 129;
        object->font.lfFaceName = QStringLiteral("굴림");
        label.objects.push_back(std::move(object));
    }
    const QString path = labelset::LabelPath(dir.path(), QStringLiteral("명함 라벨"));
    ASSERT_TRUE(Succeeded(label.Save(path)));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("<DOCUMENT_TYPE>\"Tessel Label Preset\"</DOCUMENT_TYPE>"));
    EXPECT_TRUE(bytes.contains(
        "\r\n   <LABLE>\r\n      <WIDE>50.000</WIDE>\r\n      <HIGH>30.000</HIGH>\r\n"));
    EXPECT_EQ(bytes.count("<TEXT>"), 1); // an empty text is not written

    CZelLabel loaded;
    ASSERT_TRUE(Succeeded(loaded.Load(path)));
    EXPECT_EQ(loaded.Width(), 50);
    EXPECT_EQ(loaded.Height(), 30);
    ASSERT_EQ(loaded.objects.size(), 2u);
    const CZelLabObject& first = *loaded.objects[0];
    EXPECT_EQ(first.tag, QStringLiteral("Ordernum"));
    EXPECT_EQ(first.text, QStringLiteral("주문 <번호>"));
    EXPECT_EQ(first.x, 1.5);
    EXPECT_EQ(first.y, 2.25);
    EXPECT_EQ(first.h, 8.125);
    EXPECT_EQ(first.halign, 2);
    EXPECT_EQ(first.valign, 1);
    EXPECT_EQ(first.font, label.objects[0]->font);
    EXPECT_TRUE(loaded.objects[1]->IsFrameBox());
    EXPECT_TRUE(loaded.objects[1]->text.isEmpty());
    EXPECT_FALSE(loaded.modified);
}

TEST(Labels, SetOrderAndAutomaticChoice) {
    QTemporaryDir dir;
    const QString presets = dir.filePath(QStringLiteral("공유 프리셋"));
    SaveLabel(presets, QStringLiteral("small"), 85, 45);
    SaveLabel(presets, QStringLiteral("card"), 90, 50);
    SaveLabel(presets, QStringLiteral("tiny"), 20, 10);
    WriteAll(labelset::LabelPath(presets, QStringLiteral("broken")), "<?xml?>");
    QDir(labelset::LabelFolder(presets)).mkdir(QStringLiteral("folder.tzlp"));

    std::vector<std::unique_ptr<CZelLabel>> labels;
    EXPECT_EQ(labelset::LoadAll(presets, labels), 3);
    EXPECT_EQ(labels[0]->name, QStringLiteral("card"));
    EXPECT_EQ(labels[1]->name, QStringLiteral("small"));
    EXPECT_EQ(labels[2]->name, QStringLiteral("tiny"));

    struct {
        double w, h;
        const char* label;
    } cases[] = {
        {90, 50, "card"}, {88, 50, "small"}, {80, 40, "tiny"}, {19, 50, ""}, {200, 200, "card"}};
    for (const auto& c : cases)
        EXPECT_EQ(labelset::PickLabel(presets, c.w, c.h), QString::fromLatin1(c.label))
            << c.w << "x" << c.h;

    double w = 0, h = 0;
    EXPECT_TRUE(
        labelset::ReadLabelSize(labelset::LabelPath(presets, QStringLiteral("small")), w, h));
    EXPECT_EQ(w, 85);
    EXPECT_EQ(h, 45);

    // Without a preset folder there are no labels.
    EXPECT_EQ(labelset::LoadAll(QString(), labels), 0);
    EXPECT_TRUE(labelset::PickLabel(QString(), 90, 50).isEmpty());
}

TEST(Labels, SizesOutsideFiveToAThousandMillimetresAreUnreadable) {
    QTemporaryDir dir;
    const QString presets = dir.path();
    SaveLabel(presets, QStringLiteral("ok"), 90, 50);
    const QString header = QStringLiteral(
        "<TESSEL_DOCUMENT_MARKUPS><DOCUMENT_TYPE>\"Tessel Label Preset\"</DOCUMENT_TYPE>"
        "<VERSION>\"1.0\"</VERSION><LABLE>%1</LABLE></TESSEL_DOCUMENT_MARKUPS>");
    struct Case {
        const char* name;
        const char* size;
    };
    const Case cases[] = {
        {"nosize", ""},
        {"nohigh", "<WIDE>50.000</WIDE>"},
        {"small", "<WIDE>4.900</WIDE><HIGH>30.000</HIGH>"},
        {"huge", "<WIDE>50.000</WIDE><HIGH>1000.500</HIGH>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = labelset::LabelPath(presets, QString::fromLatin1(c.name));
        WriteAll(path, header.arg(QString::fromLatin1(c.size)).toUtf8());
        CZelLabel label;
        const Result<void> read = label.Load(path);
        EXPECT_FALSE(read.ok());
        EXPECT_FALSE(read.error().isEmpty());
        EXPECT_EQ(label.Width(), CZelLabel::kDefaultWidth); // left as it was
        double w = 0, h = 0;
        EXPECT_FALSE(labelset::ReadLabelSize(path, w, h));
    }
    // Only the readable label takes part in the choice.
    std::vector<std::unique_ptr<CZelLabel>> labels;
    EXPECT_EQ(labelset::LoadAll(presets, labels), 1);

    // A new label starts at a size it may be saved with; the limits hold on saving.
    CZelLabel fresh;
    EXPECT_EQ(fresh.Width(), 90.0);
    EXPECT_EQ(fresh.Height(), 50.0);
    EXPECT_TRUE(fresh.Save(dir.filePath(QStringLiteral("fresh.tzlp"))));
    EXPECT_FALSE(fresh.SetSize(1000.5, 50));
    EXPECT_TRUE(fresh.SetSize(1000, 5));
}

TEST(Labels, NamesALabelMayBeSavedUnder) {
    for (const char* name : {"명함 라벨", "card-90x50"})
        EXPECT_TRUE(labelset::IsValidLabelName(QString::fromUtf8(name))) << name;
    for (const char* name : {"[새 레이블]", ".card", "a:b", "CON", "PRN.label", "tab\t", ""})
        EXPECT_FALSE(labelset::IsValidLabelName(QString::fromUtf8(name))) << name;
}

TEST(Labels, NamesFromFilesNeverLeaveTheLabelFolder) {
    QTemporaryDir dir;
    for (const QString& name :
         {QStringLiteral("../x"), QStringLiteral("a/b"), QStringLiteral("a\\b"),
          QStringLiteral("C:x"), QStringLiteral(".."), QString()})
        EXPECT_TRUE(labelset::LabelPath(dir.path(), name).isEmpty()) << name.toStdString();

    const QString folder = labelset::LabelFolder(dir.path());
    EXPECT_TRUE(labelset::MemberPicturePath(dir.path(), QStringLiteral("kim")).isEmpty());
    WriteAll(QDir(folder).filePath(QStringLiteral("Default_UID.jpg")), "jpg");
    EXPECT_TRUE(labelset::MemberPicturePath(dir.path(), QStringLiteral("kim"))
                    .endsWith(QLatin1String("Default_UID.jpg")));
    WriteAll(QDir(folder).filePath(QStringLiteral("kim.jpg")), "jpg");
    EXPECT_TRUE(labelset::MemberPicturePath(dir.path(), QStringLiteral("kim"))
                    .endsWith(QLatin1String("/kim.jpg")));
    WriteAll(dir.filePath(QStringLiteral("secret.jpg")), "jpg");
    EXPECT_TRUE(labelset::MemberPicturePath(dir.path(), QStringLiteral("../secret"))
                    .endsWith(QLatin1String("Default_UID.jpg")));
}

TEST(Labels, Definitions) {
    QTemporaryDir dir;
    WriteAll(labelset::DefinitionsPath(dir.path()),
             "<TESSEL_DOCUMENT_MARKUPS><DOCUMENT_TYPE>\"Tessel Label Definations\"</DOCUMENT_TYPE>"
             "<LABEL_DEFINATIONS><Ordernum>\"\xC1\xD6\xB9\xAE\xB9\xF8\xC8\xA3\"</"
             "Ordernum><MF_FrameBox>\"Frame\"</MF_FrameBox>"
             "</LABEL_DEFINATIONS></TESSEL_DOCUMENT_MARKUPS>");
    const Result<std::vector<std::pair<QString, QString>>> read =
        labelset::LoadDefinitions(dir.path());
    ASSERT_TRUE(Succeeded(read));
    const std::vector<std::pair<QString, QString>>& definitions = read.value();
    ASSERT_EQ(definitions.size(), 2u);
    EXPECT_EQ(definitions[0],
              std::make_pair(QStringLiteral("Ordernum"), QStringLiteral("주문번호")));
    EXPECT_EQ(definitions[1].first, QStringLiteral("MF_FrameBox"));
    EXPECT_FALSE(labelset::LoadDefinitions(dir.filePath(QStringLiteral("none"))).ok());
}
