#include "jobfoldertree.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace jobfoldertree {
namespace {

void ReadChildren(Node& node, int depth, int maxDepth) {
    if (depth >= maxDepth)
        return;
    const QDir dir(node.path);
    // NoSymLinks: a link is never followed, whatever it points at.
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        if (entry.isHidden() || entry.isSymLink() || !entry.isReadable() || !entry.isExecutable())
            continue;
        Node child{entry.fileName(), entry.filePath(), {}};
        ReadChildren(child, depth + 1, maxDepth);
        node.children.push_back(std::move(child));
    }
    std::stable_sort(node.children.begin(), node.children.end(), [](const Node& a, const Node& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
}

void CollectLeaves(const Node& node, QStringList& leaves) {
    for (const Node& child : node.children) {
        if (child.IsLeaf())
            leaves << child.path;
        else
            CollectLeaves(child, leaves);
    }
}

} // namespace

Node Read(const QString& jobsDir, int maxDepth) {
    Node root;
    const QFileInfo info(jobsDir);
    if (jobsDir.isEmpty() || !info.isDir())
        return root;
    root.name = info.fileName();
    root.path = QDir::cleanPath(jobsDir);
    ReadChildren(root, 0, maxDepth);
    return root;
}

QStringList LeafFolders(const Node& root) {
    QStringList leaves;
    CollectLeaves(root, leaves);
    return leaves;
}

} // namespace jobfoldertree
