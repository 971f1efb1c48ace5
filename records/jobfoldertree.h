#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The product classification tree: the folders under JOBS_DIR, whose leaf
// folders each hold the job tickets of one product class.
namespace jobfoldertree {

struct Node {
    QString name; // the folder's name
    QString path;
    std::vector<Node> children; // sorted by name, case-insensitively
    bool IsLeaf() const { return children.empty(); }
};

// No shop nests product classes deeper; a deeper tree is cut here.
inline constexpr int kMaxDepth = 16;

// The folders under jobsDir (the root node is jobsDir itself). Hidden and
// unreadable folders are left out, and symbolic links are not followed (a
// link to an ancestor would recurse for ever); below maxDepth levels a
// folder is listed as a leaf. An unavailable jobsDir gives an empty tree.
Node Read(const QString& jobsDir, int maxDepth = kMaxDepth);

// The leaf folders (job containers), depth first in tree order; not the
// root itself.
QStringList LeafFolders(const Node& root);

} // namespace jobfoldertree
