#include "testtree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Nested(int depth) {
    QByteArray text;
    for (int i = 0; i < depth; ++i)
        text += "<E>";
    for (int i = 0; i < depth; ++i)
        text += "</E>";
    return text;
}

} // namespace

TEST(MarkupReader, SyntaxRules) {
    struct Case {
        const char* name;
        QByteArray input;
        std::string tree;
        bool complete;
    } cases[] = {
        {"prolog, CR LF and indentation",
         "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<A>\r\n   <T>\"x\"</T>\r\n</A>\r\n",
         "A(T=x)", true},
        {"bare line feeds", "<A>\n<I>5</I>\n</A>\n", "A(I=5)", true},
        {"nothing between the tags", "<A><T></T></A>", "A(T)", true},
        {"two quotes only", "<A><T>\"\"</T></A>", "A(T)", true},
        {"blanks inside quotes stay", "<A><T>  \" a b \"  </T></A>", "A(T= a b )", true},
        {"escapes", "<A><T>\"$$2f$$3c$$3e\"</T></A>", "A(T=/<>)", true},
        {"repeated undoing", "<A><T>\"$$$$3c3c\"</T></A>", "A(T=$$<3c)", true},
        {"no entities", "<A><T>\"&lt;\"</T></A>", "A(T=&lt;)", true},
        {"integer stops at a letter", "<I>12abc</I>", "I=12", true},
        {"double stops at a comma", "<D>1,5</D>", "D=1", true},
        {"quoted integer", "<I>\"-42\"</I>", "I=-42", true},
        {"unknown keys drop their value", "<U>\"x\"</U>", "U", true},
        {"closing tag names a prefix", "<ABC><T>\"x\"</T></AB>", "ABC(T=x)", true},
        {"empty closing tag closes anything", "<ABC></>", "ABC", true},
        {"several top-level elements", "<A></A><B></B>", "A,B", true},
        {"spaces in a tag are part of the name", "<A B></A B>", "A B", true},
        {"text outside elements is ignored", "junk<A></A>junk", "A", true},
        {"last text run wins", "<T>\"a\"<X></X>\"b\"</T>", "T=b(X)", true},
        {"control bytes and DEL are trimmed", "<T>\x01\x7f\"x\"\t\x7f</T>", "T=x", true},
        {"Korean text", "<T>\"\xB8\xED\xC7\xD4\"</T>", "T=명함", true},
        {"mismatched closing tag drops the element", "<A><B></C></A>", "A", false},
        {"longer closing name does not match", "<AB></ABC>", "", false},
        {"stray closing tag", "</A><B></B>", "", false},
        {"comment swallows the rest", "<A><!-- c --><T>\"x\"</T></A><B></B>", "A", false},
        {"unterminated tag", "<A><T", "A", false},
        {"trailing text without a tag", "<A><T>\"x\"", "A(T)", false},
        {"prolog only", "<?xml version=\"1.0\"?>\r\n", "", true},
        {"prolog without its end", "<?xml <A></A>", "", false},
        {"empty input", "", "", true},
    };
    for (const Case& c : cases) {
        TestTree tree;
        const int count = tree.Parse(c.input.constData(), c.input.size());
        EXPECT_EQ(Describe(tree), c.tree) << c.name;
        EXPECT_EQ(count, tree.ItemCount()) << c.name;
        EXPECT_EQ(tree.IsLoaded(), count > 0) << c.name;
        EXPECT_EQ(tree.LastParseReport().complete, c.complete)
            << c.name << ": " << tree.LastParseReport().reason.toStdString();
    }
}

TEST(MarkupReader, NestingLimit) {
    TestTree tree;
    const QByteArray deepest = Nested(CMarkupTree::kMaxDepth);
    EXPECT_EQ(tree.Parse(deepest.constData(), deepest.size()), 1024);
    EXPECT_TRUE(tree.LastParseReport().complete);

    for (int depth : {1025, 2000}) {
        const QByteArray tooDeep = Nested(depth);
        EXPECT_EQ(tree.Parse(tooDeep.constData(), tooDeep.size()), 1024) << depth;
        EXPECT_FALSE(tree.LastParseReport().complete);
        EXPECT_TRUE(tree.LastParseReport().reason.contains(QLatin1String("1024")));
    }
    // A deep tree is still written and freed without trouble.
    EXPECT_GT(tree.Serialize().size(), 1024 * 6);
}

TEST(MarkupReader, LoadFileResults) {
    QTemporaryDir dir;
    TestTree tree;
    const QByteArray good = "<A><T>\"x\"</T></A>";
    tree.Parse(good.constData(), good.size());

    // What cannot be read leaves the tree as it was.
    EXPECT_EQ(tree.LoadFile(dir.filePath(QStringLiteral("missing.tzdp"))), -1);
    EXPECT_FALSE(tree.LastFileError().isEmpty());
    EXPECT_EQ(tree.LoadFile(dir.path()), -1);
    EXPECT_TRUE(tree.LastFileError().contains(QLatin1String("folder")));
    EXPECT_EQ(Describe(tree), "A(T=x)");

    // An empty file has been read: the tree is emptied, the loaded flag stays.
    const QString empty = dir.filePath(QStringLiteral("empty.tzdp"));
    WriteAll(empty, {});
    EXPECT_EQ(tree.LoadFile(empty), 0);
    EXPECT_EQ(tree.ItemCount(), 0);
    EXPECT_TRUE(tree.IsLoaded());

    TestTree fresh;
    EXPECT_EQ(fresh.LoadFile(empty), 0);
    EXPECT_FALSE(fresh.IsLoaded());
}

TEST(MarkupWriter, GoldenFileIsWrittenAndReadBackByteForByte) {
    TestTree tree;
    CTzmpItem* root = tree.GetOrAddChild(nullptr, CTzmpTree::kRootName);
    tree.Value(root, "DOCUMENT_TYPE") = QStringLiteral("Test Record");
    tree.Value(root, "VERSION") = QStringLiteral("1.0");
    tree.Value(root, "NAME") = QStringLiteral("명함 <90/50> \"A\" 'b'");
    CTzmpItem* group = tree.GetOrAddChild(root, "GROUP");
    tree.Value(group, "I") = std::int32_t(-42);
    tree.Value(group, "D") = 297.0;
    tree.Value(group, "Q") = 1000.0;
    tree.Value(group, "T") = QString();                   // empty text: nothing between the tags
    tree.Value(group, "U") = QStringLiteral("not a key"); // unknown: not written
    tree.GetOrAddChild(group, "EMPTY");
    CTzmpItem* inner = tree.GetOrAddChild(group, "INNER");
    tree.Value(inner, "D") = 2.0 / 3.0;
    tree.Value(inner, "I") = 2.5; // an integer key writes its value as an integer
    tree.Value(inner, "T") = QStringLiteral(" 공백 ");

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("golden.tzdp"));
    const QByteArray golden = ReadAll(QStringLiteral(TESSEL_TEST_DATA "/markup/golden.tzdp"));
    ASSERT_FALSE(golden.isEmpty());
    EXPECT_EQ(tree.SaveFile(path), golden.size());
    EXPECT_EQ(ReadAll(path), golden);

    TestTree reread;
    EXPECT_EQ(reread.LoadFile(path), 15);
    EXPECT_EQ(
        Describe(reread),
        "TESSEL_DOCUMENT_MARKUPS(DOCUMENT_TYPE=Test Record,VERSION=1.0,NAME=명함 <90/50> \"A\" 'b',"
        "GROUP(I=-42,D=297,Q=1000,T,U,EMPTY,INNER(D=0.667,I=2,T= 공백 )))");
    EXPECT_EQ(reread.Serialize(), golden);
}

TEST(MarkupWriter, SaveFailuresLeaveTheTargetAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.tzdp"));
    TestTree empty;
    EXPECT_EQ(empty.SaveFile(path), -1);
    EXPECT_FALSE(QFile::exists(path));

    TestTree tree;
    tree.Value(tree.GetOrAddChild(nullptr, "A"), "T") = QStringLiteral("first");
    ASSERT_GT(tree.SaveFile(path), 0);
    const QByteArray before = ReadAll(path);

    // A target that cannot be written: the old file stays whole, no temporary is left.
    EXPECT_EQ(tree.SaveFile(dir.filePath(QStringLiteral("no-such-folder/record.tzdp"))), -1);
    EXPECT_EQ(tree.SaveFile(dir.path()), -1);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("record.tzdp")});
}

TEST(MarkupTree, LinkingRemovalAndLookup) {
    TestTree tree;
    CTzmpItem* root = tree.GetOrAddChild(nullptr, "R");
    CTzmpItem* b = tree.GetOrAddChild(root, "B");
    CTzmpItem* a = tree.CreateItem("A");
    tree.InsertItem(a, root, CMarkupTree::Position::First);
    CTzmpItem* c = tree.CreateItem("C");
    tree.InsertItem(c, root, CMarkupTree::Position::After, a);
    tree.InsertItem(tree.CreateItem("B"), root, CMarkupTree::Position::Last);
    EXPECT_EQ(Describe(tree), "R(A,C,B,B)");
    EXPECT_EQ(tree.ItemCount(), 5);
    EXPECT_EQ(tree.ChildAt(root, 2), b);
    EXPECT_EQ(tree.ChildAt(root, 4), nullptr);
    EXPECT_EQ(tree.ChildAt(root, -1), nullptr);
    EXPECT_EQ(tree.FindChild(root, "B"), b);
    EXPECT_EQ(tree.GetOrAddChild(root, "C"), c);
    EXPECT_TRUE(tree.HasChild(nullptr, "R"));

    tree.GetOrAddChild(tree.GetOrAddChild(a, "X"), "Y");
    tree.RemoveItem(a);
    EXPECT_EQ(Describe(tree), "R(C,B,B)");
    EXPECT_EQ(tree.ItemCount(), 4);
    tree.RemoveItem(tree.ChildAt(root, 2));
    tree.InsertItem(tree.CreateItem("D"), root, CMarkupTree::Position::Last);
    EXPECT_EQ(Describe(tree), "R(C,B,D)");

    // Value: found or created as the last child; an empty value takes the default.
    EXPECT_EQ(tree.Value(root, "T", QStringLiteral("def")).toString(), QStringLiteral("def"));
    EXPECT_EQ(tree.Value(root, "T", QStringLiteral("other")).toString(), QStringLiteral("def"));
    EXPECT_EQ(Describe(tree), "R(C,B,D,T=def)");

    tree.Clear();
    EXPECT_EQ(tree.ItemCount(), 0);
    EXPECT_EQ(tree.FirstChild(nullptr), nullptr);
    EXPECT_EQ(tree.GetRoot(), nullptr);
}

TEST(MarkupTree, EmptyValuesTakeTheDefaultAfterAReload) {
    TestTree tree;
    CTzmpItem* root = tree.GetOrAddChild(nullptr, CTzmpTree::kRootName);
    tree.Value(root, "T") = QString();
    const QByteArray bytes = tree.Serialize();
    EXPECT_TRUE(bytes.contains("<T></T>"));
    TestTree reread;
    reread.Parse(bytes.constData(), bytes.size());
    EXPECT_EQ(reread.Value(reread.GetRoot(), "T", QStringLiteral("def")).toString(),
              QStringLiteral("def"));
    // A missing key read with a default is added, and written by the next save.
    reread.Value(reread.GetRoot(), "I", std::int32_t(7));
    EXPECT_TRUE(reread.Serialize().contains("   <I>7</I>\r\n"));
}
