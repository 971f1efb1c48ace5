#include "zellabel.h"

#include "engine/screenmapping.h"
#include "records/fontrecord.h"
#include "records/labelpresettree.h"

bool CZelLabel::IsValidSize(double width, double height) {
    return width >= kMinimumSize && height >= kMinimumSize && width <= kMaximumSize &&
           height <= kMaximumSize;
}

bool CZelLabel::SetSize(double width, double height) {
    if (!IsValidSize(width, height))
        return false;
    m_width = width;
    m_height = height;
    if (!objects.empty())
        modified = true;
    return true;
}

int CZelLabel::PixelWidth(int dpi) const {
    return screenmapping::MmToPixels(m_width, dpi, 1.0);
}
int CZelLabel::PixelHeight(int dpi) const {
    return screenmapping::MmToPixels(m_height, dpi, 1.0);
}

Result<void> CZelLabel::Load(const QString& path) {
    CLabelPresetTree tree;
    if (tree.LoadFile(path) <= 0)
        return Failure(tree.LastFileError().isEmpty()
                           ? QStringLiteral("%1: no label in the file").arg(path)
                           : tree.LastFileError());
    CTzmpItem* root = tree.GetRoot();
    CMTItem* label = root ? tree.FindChild(root, "LABLE") : nullptr;
    if (!label)
        return Failure(QStringLiteral("%1: no \"LABLE\" element").arg(path));
    const double width = tree.FindChild(label, "WIDE") ? tree.Value(label, "WIDE").toDouble() : 0.0;
    const double height =
        tree.FindChild(label, "HIGH") ? tree.Value(label, "HIGH").toDouble() : 0.0;
    if (!IsValidSize(width, height))
        return Failure(
            QStringLiteral("%1: the label size (WIDE, HIGH) is missing or not between 5 and "
                           "1000 mm")
                .arg(path));
    m_width = width;
    m_height = height;
    objects.clear();
    for (CMTItem* item = tree.FindChild(label, "ITEM"); item; item = item->NextSibling()) {
        if (item->Name() != "ITEM")
            continue;
        auto object = std::make_unique<CZelLabObject>();
        object->tag = tree.Value(item, "JTAG").toString();
        object->text = tree.Value(item, "TEXT").toString();
        object->frame = tree.Value(item, "FRAME").toInt();
        object->invert = tree.Value(item, "INVERT").toInt();
        object->halign = tree.Value(item, "HALIGN").toInt();
        object->valign = tree.Value(item, "VALIGN").toInt();
        object->x = tree.Value(item, "X").toDouble();
        object->y = tree.Value(item, "Y").toDouble();
        object->w = tree.Value(item, "W").toDouble();
        object->h = tree.Value(item, "H").toDouble();
        if (CMTItem* font = tree.FindChild(item, "Font"))
            fontrecord::Read(tree, font, "", object->font);
        objects.push_back(std::move(object));
    }
    selectedIndex = -1;
    modified = false;
    return {};
}

Result<void> CZelLabel::Save(const QString& path) {
    if (!IsValidSize(m_width, m_height))
        return Failure(QStringLiteral("a label is saved only between 5 and 1000 mm on each side"));
    CLabelPresetTree tree;
    CTzmpItem* root = tree.SetHeader(QString::fromLatin1(CLabelPresetTree::kDocumentType));
    CTzmpItem* label = tree.GetOrAddChild(root, "LABLE");
    tree.Value(label, "WIDE") = m_width;
    tree.Value(label, "HIGH") = m_height;
    for (const auto& object : objects) {
        CTzmpItem* item = tree.CreateItem("ITEM");
        tree.InsertItem(item, label, CMarkupTree::Position::Last);
        tree.Value(item, "JTAG") = object->tag;
        // An empty text is left out altogether.
        if (!object->text.isEmpty())
            tree.Value(item, "TEXT") = object->text;
        tree.Value(item, "FRAME") = object->frame;
        tree.Value(item, "INVERT") = object->invert;
        tree.Value(item, "HALIGN") = object->halign;
        tree.Value(item, "VALIGN") = object->valign;
        tree.Value(item, "X") = object->x;
        tree.Value(item, "Y") = object->y;
        tree.Value(item, "W") = object->w;
        tree.Value(item, "H") = object->h;
        fontrecord::Write(tree, tree.GetOrAddChild(item, "Font"), "", object->font);
    }
    if (tree.SaveFile(path) < 0)
        return Failure(tree.LastFileError());
    modified = false;
    return {};
}
