#include "recordfiles.h"
#include "records/jobfoldertree.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(JobFolderTree, LeavesSortedWithoutHiddenFoldersOrLinks) {
    recordfiles::KoreanTempDir shop;
    const QString jobs = shop.mkdir(QStringLiteral("jobs"));
    for (const char* folder : {"명함/일반", "명함/고급", "b-flyer", "A-sticker/round/small",
                               "A-sticker/square", ".hidden/inside", "empty"})
        QDir().mkpath(QDir(jobs).filePath(QString::fromUtf8(folder)));
    ASSERT_TRUE(recordfiles::Write(QDir(jobs).filePath(QStringLiteral("note.txt")), "x"));
    // A link back to an ancestor, and one to a leaf: neither is followed.
    ASSERT_TRUE(QFile::link(jobs, QDir(jobs).filePath(QStringLiteral("명함/loop"))));
    ASSERT_TRUE(QFile::link(QDir(jobs).filePath(QStringLiteral("empty")),
                            QDir(jobs).filePath(QStringLiteral("c-link"))));

    const jobfoldertree::Node root = jobfoldertree::Read(jobs);
    QStringList names;
    for (const auto& child : root.children)
        names << child.name;
    EXPECT_EQ(names, (QStringList{QStringLiteral("A-sticker"), QStringLiteral("b-flyer"),
                                  QStringLiteral("empty"), QStringLiteral("명함")}));

    QStringList leaves = jobfoldertree::LeafFolders(root);
    for (QString& leaf : leaves)
        leaf = QDir(jobs).relativeFilePath(leaf);
    EXPECT_EQ(leaves, (QStringList{QStringLiteral("A-sticker/round/small"),
                                   QStringLiteral("A-sticker/square"), QStringLiteral("b-flyer"),
                                   QStringLiteral("empty"), QStringLiteral("명함/고급"),
                                   QStringLiteral("명함/일반")}));

    // A cap on depth lists the deeper folders' parents as leaves.
    const QStringList capped = jobfoldertree::LeafFolders(jobfoldertree::Read(jobs, 2));
    EXPECT_TRUE(capped.contains(QDir(jobs).filePath(QStringLiteral("A-sticker/round"))));

    EXPECT_TRUE(jobfoldertree::Read(shop.filePath(QStringLiteral("missing"))).children.empty());
    EXPECT_TRUE(jobfoldertree::Read(QString()).children.empty());
}
