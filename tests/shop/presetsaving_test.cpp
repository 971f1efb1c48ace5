#include "../records/recordfiles.h"
#include "engine/platecreation.h"
#include "records/programfolder.h"
#include "records/zeldocumentpreset.h"
#include "shop/presetsaving.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

class PresetSaving : public ::testing::Test {
protected:
    recordfiles::KoreanTempDir home;
    void SetUp() override {
        programfolder::SetHome(home.path());
        QDir().mkpath(programfolder::DocumentPresetsFolder());
    }
    void TearDown() override { programfolder::SetHome(QString()); }

    static int LineCount(const QString& path) {
        CZelDocumentPreset preset;
        EXPECT_TRUE(preset.Load(path));
        int count = 0;
        for (CTzmpItem* line = preset.FirstLine(); line;
             line = CTzmpTree::Typed(line->NextSibling()))
            ++count;
        return count;
    }
};

} // namespace

TEST_F(PresetSaving, ReplacingAPresetKeepsItsFreeLines) {
    // A preset with two free lines, as a plate's "apply to preset" leaves it.
    const QString path = CZelDocumentPreset::PathOf(QStringLiteral("국전 명함"));
    {
        CZelDocumentPreset preset;
        preset.BuildStructure();
        CTzmpItem* lines = preset.AddLines();
        preset.LineValue(preset.AddLine(lines), "LINE_START") = 5.0;
        preset.LineValue(preset.AddLine(lines), "LINE_START") = 7.0;
        ASSERT_TRUE(preset.Save(path));
    }
    ASSERT_EQ(LineCount(path), 2);

    PlateProperties p = platecreation::DefaultProperties();
    p.width = 640;
    const Result<QString> saved = presetsaving::SaveDocumentPreset(p, QStringLiteral("국전 명함"));
    ASSERT_TRUE(saved) << saved.error().toStdString();
    EXPECT_EQ(saved.value(), path);
    EXPECT_EQ(LineCount(path), 2);
    CZelDocumentPreset read;
    ASSERT_TRUE(read.Load(path));
    EXPECT_EQ(read.Width().toDouble(), 640);
    EXPECT_EQ(read.Name().toString(), QStringLiteral("국전 명함"));

    // A new name gets no lines.
    const Result<QString> fresh = presetsaving::SaveDocumentPreset(p, QStringLiteral("새 프리셋"));
    ASSERT_TRUE(fresh);
    EXPECT_EQ(LineCount(fresh.value()), 0);
}

TEST_F(PresetSaving, RefusesBadNamesAndPresetsItCannotReadWhole) {
    const PlateProperties p = platecreation::DefaultProperties();
    const Result<QString> bad = presetsaving::SaveDocumentPreset(p, QStringLiteral("a:b"));
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error(), QStringLiteral("\"a:b\"는(은) 잘못된 파일 이름입니다."));

    const QString path = CZelDocumentPreset::PathOf(QStringLiteral("broken"));
    const QByteArray torn =
        "<?xml version=\"1.0\"?>\r\n<TESSEL_DOCUMENT_MARKUPS>\r\n<DOCUMENT_TYPE>\"Imp";
    ASSERT_TRUE(recordfiles::Write(path, torn));
    EXPECT_FALSE(presetsaving::SaveDocumentPreset(p, QStringLiteral("broken")));
    EXPECT_EQ(recordfiles::Read(path), torn); // left as it was
}
