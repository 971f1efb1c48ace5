#include "markuptree.h"

#include "durablefile.h"

#include <QFile>
#include <QFileInfo>

#include <new>

namespace {

const char kProlog[] = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n";

bool IsTrimmedByte(unsigned char byte) {
    return byte <= 0x20 || byte == 0x7F;
}

QString Quoted(const char* bytes, qsizetype length) {
    // Names are code page bytes, but a report only needs to show them; cap
    // the length so a runaway tag does not flood the message.
    return QString::fromLatin1(bytes, qMin<qsizetype>(length, 64));
}

} // namespace

CMarkupTree::~CMarkupTree() {
    for (CMTItem* item : m_owned)
        delete item;
}

int CMarkupTree::LoadFile(const QString& path) {
    m_fileError.clear();
    const QFileInfo info(path);
    if (info.isDir()) {
        m_fileError = QStringLiteral("%1: is a folder, not a file").arg(path);
        return -1;
    }
    if (!info.exists()) {
        m_fileError = QStringLiteral("%1: no such file").arg(path);
        return -1;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_fileError = QStringLiteral("%1: %2").arg(path, file.errorString());
        return -1;
    }
    QByteArray data;
    try {
        data = file.readAll();
    } catch (const std::bad_alloc&) {
        m_fileError = QStringLiteral("%1: not enough memory to read the file").arg(path);
        return -1;
    }
    if (file.error() != QFileDevice::NoError) {
        m_fileError = QStringLiteral("%1: %2").arg(path, file.errorString());
        return -1;
    }
    return Parse(data.constData(), data.size());
}

int CMarkupTree::Parse(const char* data, qsizetype length) {
    Clear();
    m_report = {};
    Tokenize(data, length);
    m_stack = {};
    if (m_report.complete && ParsePosition() < BufferLength()) {
        // The walk ran out of input inside a tag or in trailing text.
        const bool inTag = data[ParsePosition()] == '<';
        if (inTag) {
            m_report.complete = false;
            m_report.offset = ParsePosition();
            m_report.reason = QStringLiteral("unterminated tag at offset %1").arg(ParsePosition());
        }
    }
    if (!m_report.complete)
        m_report.reason +=
            QStringLiteral("; reading stopped there after %1 element(s)").arg(m_count);
    if (m_count > 0)
        m_loaded = true;
    return m_count;
}

void CMarkupTree::StopParse(const QString& reason) {
    m_report.complete = false;
    m_report.offset = TokenOffset();
    m_report.reason = QStringLiteral("%1 at offset %2").arg(reason).arg(TokenOffset());
}

int CMarkupTree::OnParseEvent(int kind) {
    if (!CMarkups::OnParseEvent(kind))
        return 0;
    switch (kind) {
    case kStart:
        m_stack.clear();
        return 1;
    case kEnd:
        if (!m_stack.empty() && m_report.complete) {
            const QByteArray& open = m_stack.back()->Name();
            m_report.complete = false;
            m_report.offset = TokenOffset();
            m_report.reason = QStringLiteral("the input ends before <%1> is closed at offset %2")
                                  .arg(Quoted(open.constData(), open.size()))
                                  .arg(TokenOffset());
        }
        m_stack.clear();
        return 1;
    case kTag: {
        const char* tag = TokenStart();
        const qsizetype length = TokenLength();
        if (length >= 2 && tag[1] == '/') {
            if (m_stack.empty()) {
                StopParse(QStringLiteral("closing tag </%1> with no open element")
                              .arg(Quoted(tag + 2, length - 3)));
                return 0;
            }
            CMTItem* open = m_stack.back();
            m_stack.pop_back();
            const QByteArrayView closing(tag + 2, length - 3);
            if (!open->Name().startsWith(closing)) {
                StopParse(
                    QStringLiteral(
                        "closing tag </%1> does not match the open element <%2>, which is dropped")
                        .arg(Quoted(closing.data(), closing.size()),
                             Quoted(open->Name().constData(), open->Name().size())));
                RemoveItem(open);
                return 0;
            }
            return 1;
        }
        CMTItem* item = CreateItemFromTag(tag, length);
        if (!item)
            return 1;
        if (static_cast<int>(m_stack.size()) >= kMaxDepth) {
            delete item;
            StopParse(QStringLiteral("elements nested deeper than %1").arg(kMaxDepth));
            return 0;
        }
        CMTItem* parent = m_stack.empty() ? nullptr : m_stack.back();
        m_stack.push_back(item);
        InsertItem(item, parent, Position::Last);
        return 1;
    }
    case kText: {
        if (m_stack.empty())
            return 1;
        const char* begin = TokenStart();
        const char* end = begin + TokenLength();
        while (begin < end && IsTrimmedByte(static_cast<unsigned char>(*begin)))
            ++begin;
        while (end > begin && IsTrimmedByte(static_cast<unsigned char>(end[-1])))
            --end;
        if (begin < end)
            m_stack.back()->ReadValue(begin, end - begin);
        return 1;
    }
    }
    return 1;
}

CMTItem* CMarkupTree::CreateItemFromTag(const char* tag, qsizetype length) {
    if (length <= 0)
        return nullptr;
    return CreateItem(QByteArrayView(tag + 1, qMax<qsizetype>(length - 2, 0)));
}

CMTItem* CMarkupTree::CreateItem(QByteArrayView name) {
    return new CMTItem(name);
}

int CMarkupTree::OnStorageInit() {
    OnStorageClear();
    return 0;
}

void CMarkupTree::OnStorageClear() {
    for (CMTItem* item : m_owned)
        delete item;
    m_owned.clear();
    m_count = 0;
    m_firstTop = m_lastTop = nullptr;
    m_stack.clear();
}

void CMarkupTree::OnAttach(CMTItem* item) {
    item->m_ownedIndex = static_cast<qsizetype>(m_owned.size());
    m_owned.push_back(item);
}

void CMarkupTree::OnDetach(CMTItem* item) {
    // Swap with the last entry so that removing many items stays linear.
    const qsizetype index = item->m_ownedIndex;
    if (index >= 0 && index < static_cast<qsizetype>(m_owned.size()) && m_owned[index] == item) {
        CMTItem* last = m_owned.back();
        m_owned[index] = last;
        last->m_ownedIndex = index;
        m_owned.pop_back();
    }
    delete item;
}

void CMarkupTree::InsertItem(CMTItem* item, CMTItem* parent, Position position, CMTItem* after) {
    OnAttach(item);
    item->m_parent = parent;
    CMTItem*& first = parent ? parent->m_firstChild : m_firstTop;
    CMTItem*& last = parent ? parent->m_lastChild : m_lastTop;
    if (position == Position::After && after) {
        item->m_prev = after;
        item->m_next = after->m_next;
        if (after->m_next)
            after->m_next->m_prev = item;
        else
            last = item;
        after->m_next = item;
    } else if (position == Position::First) {
        item->m_next = first;
        if (first)
            first->m_prev = item;
        else
            last = item;
        first = item;
    } else {
        item->m_prev = last;
        if (last)
            last->m_next = item;
        else
            first = item;
        last = item;
    }
    ++m_count;
}

void CMarkupTree::Unlink(CMTItem* item) {
    CMTItem*& first = item->m_parent ? item->m_parent->m_firstChild : m_firstTop;
    CMTItem*& last = item->m_parent ? item->m_parent->m_lastChild : m_lastTop;
    if (item->m_prev)
        item->m_prev->m_next = item->m_next;
    else
        first = item->m_next;
    if (item->m_next)
        item->m_next->m_prev = item->m_prev;
    else
        last = item->m_prev;
    item->m_parent = item->m_prev = item->m_next = nullptr;
    --m_count;
}

void CMarkupTree::RemoveItem(CMTItem* item) {
    if (!item)
        return;
    // Depth first without recursion: the deepest first descendant goes first.
    CMTItem* node = item;
    for (;;) {
        while (node->m_firstChild)
            node = node->m_firstChild;
        CMTItem* parent = node->m_parent;
        const bool done = node == item;
        Unlink(node);
        OnDetach(node);
        if (done)
            break;
        node = parent;
    }
}

void CMarkupTree::Clear() {
    OnStorageClear();
}

CMTItem* CMarkupTree::FirstChild(const CMTItem* parent) const {
    return parent ? parent->m_firstChild : m_firstTop;
}

CMTItem* CMarkupTree::ChildAt(const CMTItem* parent, int index) const {
    if (index < 0)
        return nullptr;
    CMTItem* child = FirstChild(parent);
    while (child && index-- > 0)
        child = child->m_next;
    return child;
}

CMTItem* CMarkupTree::FindChild(const CMTItem* parent, QByteArrayView name) const {
    for (CMTItem* child = FirstChild(parent); child; child = child->m_next) {
        if (child->m_name == name)
            return child;
    }
    return nullptr;
}

QByteArray CMarkupTree::Serialize() const {
    QByteArray out(kProlog);
    out.reserve(64 * (m_count + 1));
    auto indent = [&out](int depth) { out.append(3 * depth, ' '); };
    // Walk in tree order without recursion; depth follows the links.
    const CMTItem* node = m_firstTop;
    int depth = 0;
    while (node) {
        indent(depth);
        out.append('<').append(node->m_name).append('>');
        node->WriteValue(out);
        if (node->m_firstChild) {
            out.append("\r\n");
            node = node->m_firstChild;
            ++depth;
            continue;
        }
        out.append("</").append(node->m_name).append(">\r\n");
        while (node && !node->m_next) {
            node = node->m_parent;
            if (!node)
                break;
            --depth;
            indent(depth);
            out.append("</").append(node->m_name).append(">\r\n");
        }
        if (node)
            node = node->m_next;
    }
    return out;
}

qint64 CMarkupTree::SaveFile(const QString& path) const {
    m_fileError.clear();
    if (!m_firstTop) {
        m_fileError = QStringLiteral("%1: nothing to save, the tree is empty").arg(path);
        return -1;
    }
    const QByteArray bytes = Serialize();
    if (const Result<void> written = durablefile::Write(path, bytes); !written) {
        m_fileError = written.error();
        return -1;
    }
    return bytes.size();
}
