#pragma once

#include "markup/tzmptree.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// Every kind of record file, named by its extension, with the tree class that
// reads it: what generic tools (dump, re-save) need to treat a file as its
// own record class would.
struct RecordKind {
    QString name;        // the extension, e.g. "tzdp"
    QString description; // e.g. "document preset"
    std::function<std::unique_ptr<CTzmpTree>()> createTree;
    // Kinds that share an extension: the extension, and the "DOCUMENT_TYPE"
    // that tells them apart.
    QString extension = {};
    QString documentType = {};
    // The file's extension: extension when set, else name.
    QString Extension() const { return extension.isEmpty() ? name : extension; }
};

const std::vector<RecordKind>& RecordKinds();
const RecordKind* FindRecordKind(const QString& name);

// The kind of a file: the one named (when not empty), else the one of its
// extension; where kinds share the extension, the one whose "DOCUMENT_TYPE"
// the file carries. nullptr with a reason when there is none.
const RecordKind* RecordKindOfFile(const QString& path, const QString& named, QString* error);
