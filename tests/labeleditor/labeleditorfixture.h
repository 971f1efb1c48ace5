#pragma once

#include "app/appfixture.h"
#include "tests/succeeded.h"

#include "demo/recordwritertree.h"
#include "labels/labelset.h"
#include "labels/zellabel.h"
#include "records/labelpresettree.h"

#include <QComboBox>

// Questions with a third answer, scripted as 1 Yes, 0 No, -1 Cancel.
struct EditorOperator : RecordingOperator {
    QList<int> threeWay;
    int AskWithCancel(const QString& question) override {
        questions << question;
        if (threeWay.isEmpty()) {
            ADD_FAILURE() << "unexpected question: " << question.toStdString();
            return -1;
        }
        return threeWay.takeFirst();
    }
};

// A preset folder of its own per test: the field kinds and the labels it makes.
class LabelEditorTest : public AppTest {
public:
    // The label windows need no shop: only the application.
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "labeleditor_tests";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QApplication(argc, argv);
    }
    static void TearDownTestSuite() {}

protected:
    void SetUp() override {
        ASSERT_TRUE(presets.isValid());
        auto definitions = CRecordWriterTree::For<CLabelDefTree>();
        CTzmpItem* root = definitions->SetHeader(QStringLiteral("Tessel Label Definations"));
        CTzmpItem* list = definitions->Append(root, "LABEL_DEFINATIONS");
        definitions->Append(list, "Uname", QStringLiteral("고객명"));
        definitions->Append(list, "MF_OrderNum", QStringLiteral("[BAR0709170003]"));
        definitions->Append(list, "MF_TextBox", QStringLiteral("텍스트"));
        ASSERT_GE(definitions->SaveFile(labelset::DefinitionsPath(PresetDir())), 0);
    }

    QString PresetDir() const { return presets.path(); }

    // A stored label with one text object of the given font.
    void MakeLabel(const QString& name, double width, double height, const LogFont& font = {}) {
        CZelLabel label;
        ASSERT_TRUE(label.SetSize(width, height));
        auto object = std::make_unique<CZelLabObject>();
        object->tag = QStringLiteral("Uname");
        object->text = QStringLiteral("고객명");
        object->x = 10;
        object->y = 10;
        object->w = 30;
        object->h = 10;
        object->font = font;
        label.objects.push_back(std::move(object));
        ASSERT_TRUE(Succeeded(label.Save(labelset::LabelPath(PresetDir(), name))));
    }

    static QStringList Entries(QComboBox* combo) {
        QStringList entries;
        for (int i = 0; i < combo->count(); ++i)
            entries << combo->itemText(i);
        return entries;
    }

    EditorOperator op;
    QTemporaryDir presets;
};
