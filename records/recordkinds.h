#pragma once

#include "markup/result.h"
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
    // The "DOCUMENT_TYPE" a file of this kind carries; it tells apart kinds
    // that share an extension.
    QString documentType;
    std::function<std::unique_ptr<CTzmpTree>()> createTree;
    // Kinds that share an extension: the extension.
    QString extension = {};
    // The file's extension: extension when set, else name.
    QString Extension() const { return extension.isEmpty() ? name : extension; }
};

const std::vector<RecordKind>& RecordKinds();
const RecordKind* FindRecordKind(const QString& name);
// The kind whose files carry this "DOCUMENT_TYPE"; nullptr when none does.
const RecordKind* RecordKindOfType(const QString& documentType);
// The "DOCUMENT_TYPE" a record file carries; empty when it has none or
// cannot be read.
QString DocumentTypeOf(const QString& path);
// What a file is, for a message that it is not the kind expected: the
// description of its kind ("job ticket"), "PDF file", or how its
// "DOCUMENT_TYPE" reads; empty when nothing tells.
QString WhatFileIs(const QString& path);

// The kind of a file: the one named (when not empty), else the one of its
// extension; where kinds share the extension, the one whose "DOCUMENT_TYPE"
// the file carries. Fails with the reason when there is none.
Result<const RecordKind*> RecordKindOfFile(const QString& path, const QString& named);
