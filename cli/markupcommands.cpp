#include "markupcommands.h"

#include "markup/cp949.h"
#include "records/recordkinds.h"

namespace {

// Loads FILE as its record kind; reports a partial parse as a warning.
std::unique_ptr<CTzmpTree> LoadRecord(const QString& path, const QString& kindName,
                                      QString& error) {
    const Result<const RecordKind*> found = RecordKindOfFile(path, kindName);
    if (!found) {
        error = found.error();
        return nullptr;
    }
    const RecordKind* kind = found.value();
    if (!kindName.isEmpty()) {
        const QString type = DocumentTypeOf(path);
        if (!type.isEmpty() && type != kind->documentType) {
            const RecordKind* actual = RecordKindOfType(type);
            PrintWarning(
                QStringLiteral("%1: the file is %2, read as a %3 as --kind %4 asks")
                    .arg(path,
                         actual ? QStringLiteral("a %1 (%2)").arg(actual->description, actual->name)
                                : QStringLiteral("of DOCUMENT_TYPE \"%1\"").arg(type),
                         kind->description, kind->name));
        }
    }
    auto tree = kind->createTree();
    const int result = tree->LoadFile(path);
    if (result < 0) {
        error = tree->LastFileError();
        return nullptr;
    }
    if (result == 0) {
        error = QStringLiteral("%1: no element in the file").arg(path);
        return nullptr;
    }
    if (!tree->LastParseReport().complete)
        PrintWarning(QStringLiteral("%1: %2").arg(path, tree->LastParseReport().reason));
    return tree;
}

void DumpItem(const CTzmpTree& tree, const CMTItem* item, int depth) {
    const auto* typed = static_cast<const CTzmpItem*>(item);
    QString line = QString(3 * depth, QLatin1Char(' ')) + cp949::ToUnicode(item->Name());
    if (const MarkupKey* key = typed->Key()) {
        line += QStringLiteral(" (%1)").arg(QLatin1String(KeyTypeLetter(key->type)));
        if (!typed->Value().isEmpty())
            line += QStringLiteral(" = ") + typed->Value().toString();
    }
    PrintLine(line);
    for (const CMTItem* child = item->FirstChild(); child; child = child->NextSibling())
        DumpItem(tree, child, depth + 1);
}

int Dump(CommandLine& args) {
    QString kind;
    QStringList files;
    if (!args.TakeOption(QStringLiteral("--kind"), kind) || !args.Positionals(files, 1, 1))
        return Fail(args.Error(), 2);
    QString error;
    const auto tree = LoadRecord(files.at(0), kind, error);
    if (!tree)
        return Fail(error);
    for (const CMTItem* item = tree->FirstChild(nullptr); item; item = item->NextSibling())
        DumpItem(*tree, item, 0);
    return 0;
}

int Resave(CommandLine& args) {
    QString kind;
    QStringList files;
    if (!args.TakeOption(QStringLiteral("--kind"), kind) || !args.Positionals(files, 2, 2))
        return Fail(args.Error(), 2);
    QString error;
    const auto tree = LoadRecord(files.at(0), kind, error);
    if (!tree)
        return Fail(error);
    if (const CMTItem* first = tree->FirstChild(nullptr);
        first && !static_cast<const CTzmpItem*>(first)->WritesValues())
        PrintWarning(QStringLiteral("%1: this kind is only read by the program; the copy keeps the "
                                    "elements without their values")
                         .arg(files.at(0)));
    const qint64 written = tree->SaveFile(files.at(1));
    if (written < 0)
        return Fail(tree->LastFileError());
    PrintLine(QStringLiteral("%1: %2 elements, %3 bytes")
                  .arg(files.at(1))
                  .arg(tree->ItemCount())
                  .arg(written));
    return 0;
}

} // namespace

std::vector<Command> MarkupCommands() {
    return {
        {"markup dump", "FILE [--kind KIND]",
         "print the element tree with each key's type and value", Dump},
        {"markup resave", "IN OUT [--kind KIND]",
         "load a record file with its record class and save it again", Resave},
    };
}
