#include "settings/VersionBlock.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace talivo {

namespace {

constexpr std::u16string_view kRootKey = u"VS_VERSION_INFO";
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr size_t kFixedInfoSize = 52;
constexpr uint16_t kBinary = 0;
constexpr uint16_t kText = 1;

// The string table's name: language then code page, eight hexadecimal digits.
std::u16string TableName(uint16_t language, uint16_t codePage, bool upperCase)
{
    const char *digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    const uint32_t value = (uint32_t(language) << 16) | codePage;
    std::u16string name(8, u'0');
    for (int i = 0; i < 8; ++i)
        name[7 - i] = char16_t(digits[(value >> (4 * i)) & 0xF]);
    return name;
}

class TBlockWriter {
public:
    // Starts a node: length (filled in by End), value length, type, key, padding.
    size_t Begin(size_t valueLength, uint16_t type, std::u16string_view key)
    {
        Align();
        const size_t at = fBytes.size();
        Word(0);
        Word(Checked(valueLength));
        Word(type);
        Text(key);
        Align();
        return at;
    }
    void End(size_t at)
    {
        const uint16_t length = Checked(fBytes.size() - at);
        fBytes[at] = uint8_t(length);
        fBytes[at + 1] = uint8_t(length >> 8);
    }
    void Word(uint16_t value)
    {
        fBytes.push_back(uint8_t(value));
        fBytes.push_back(uint8_t(value >> 8));
    }
    void DWord(uint32_t value)
    {
        Word(uint16_t(value));
        Word(uint16_t(value >> 16));
    }
    void Text(std::u16string_view text)
    {
        for (char16_t c : text)
            Word(c);
        Word(0);
    }
    void Align()
    {
        while (fBytes.size() % 4 != 0)
            fBytes.push_back(0);
    }
    std::vector<uint8_t> Take() { return std::move(fBytes); }

private:
    static uint16_t Checked(size_t value)
    {
        if (value > 0xFFFF)
            throw std::length_error("Version block too large");
        return uint16_t(value);
    }

    std::vector<uint8_t> fBytes;
};

struct TNode {
    size_t End = 0;
    size_t Key = 0;
    size_t KeyLength = 0; // in characters, without the terminating zero
    uint16_t ValueLength = 0;
    size_t Value = 0;
    size_t ValueBytes = 0;
    size_t Children = 0;
};

// Reads one block found in data. Offsets are absolute; alignment counts from the block's start.
class TBlockReader {
public:
    TBlockReader(const uint8_t *data, size_t size, size_t base)
        : fData(data), fSize(size), fBase(base)
    {}

    uint16_t Word(size_t at) const { return uint16_t(fData[at] | (fData[at + 1] << 8)); }
    uint32_t DWord(size_t at) const { return Word(at) | (uint32_t(Word(at + 2)) << 16); }

    // The node at 'at', which must lie wholly before limit.
    bool Node(size_t at, size_t limit, TNode &node) const
    {
        if (at > limit || limit - at < 6)
            return false;
        const size_t length = Word(at);
        if (length < 6 || length > limit - at)
            return false;
        node.End = at + length;
        node.ValueLength = Word(at + 2);
        const uint16_t type = Word(at + 4);
        node.Key = at + 6;
        size_t zero = node.Key;
        while (zero + 2 <= node.End && Word(zero) != 0)
            zero += 2;
        if (zero + 2 > node.End)
            return false;
        node.KeyLength = (zero - node.Key) / 2;
        node.Value = std::min(Align(zero + 2), node.End);
        const size_t room = node.End - node.Value;
        node.ValueBytes = type == kText ? size_t(node.ValueLength) * 2 : node.ValueLength;
        if (node.ValueBytes > room) {
            // Some producers count a text value in bytes rather than characters.
            if (type != kText)
                return false;
            node.ValueBytes = room;
        }
        node.Children = std::min(Align(node.Value + node.ValueBytes), node.End);
        return true;
    }

    bool KeyIs(const TNode &node, std::u16string_view name) const
    {
        if (node.KeyLength != name.size())
            return false;
        for (size_t i = 0; i < name.size(); ++i) {
            if (Lower(Word(node.Key + 2 * i)) != Lower(name[i]))
                return false;
        }
        return true;
    }

    // The first child of parent whose key is name; names match without regard to case, as the
    // system's version queries do.
    bool Child(const TNode &parent, std::u16string_view name, TNode &child) const
    {
        size_t at = parent.Children;
        while (at < parent.End) {
            if (!Node(at, parent.End, child))
                return false;
            if (KeyIs(child, name))
                return true;
            at = Align(child.End);
        }
        return false;
    }

    std::u16string Text(const TNode &node) const
    {
        std::u16string text;
        for (size_t at = node.Value; at + 2 <= node.Value + node.ValueBytes; at += 2) {
            const char16_t c = Word(at);
            if (c == 0)
                break;
            text.push_back(c);
        }
        return text;
    }

    bool IsRoot(TNode &root) const
    {
        if (!Node(fBase, fSize, root) || !KeyIs(root, kRootKey))
            return false;
        if (root.ValueLength == 0)
            return true;
        return root.ValueBytes >= kFixedInfoSize && DWord(root.Value) == kFixedInfoSignature;
    }

private:
    size_t Align(size_t at) const { return fBase + ((at - fBase + 3) & ~size_t(3)); }
    static char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

    const uint8_t *fData;
    size_t fSize;
    size_t fBase;
};

std::u16string StringOfBlock(const TBlockReader &reader, const TNode &root, std::u16string_view key)
{
    TNode varFileInfo, translation;
    if (!reader.Child(root, u"VarFileInfo", varFileInfo) ||
        !reader.Child(varFileInfo, u"Translation", translation) || translation.ValueBytes < 4)
        return {};
    const uint16_t language = reader.Word(translation.Value);
    const uint16_t codePage = reader.Word(translation.Value + 2);
    TNode stringFileInfo, table, value;
    if (!reader.Child(root, u"StringFileInfo", stringFileInfo) ||
        !reader.Child(stringFileInfo, TableName(language, codePage, false), table) ||
        !reader.Child(table, key, value) || value.ValueLength == 0)
        return {};
    return reader.Text(value);
}

} // namespace

std::vector<uint8_t> BuildVersionBlock(const TVersionBlockContent &content)
{
    TBlockWriter writer;
    const size_t root = writer.Begin(kFixedInfoSize, kBinary, kRootKey);
    const auto &file = content.FileVersion;
    const auto &product = content.ProductVersion;
    writer.DWord(kFixedInfoSignature);
    writer.DWord(0x00010000); // structure version
    writer.DWord((uint32_t(file[0]) << 16) | file[1]);
    writer.DWord((uint32_t(file[2]) << 16) | file[3]);
    writer.DWord((uint32_t(product[0]) << 16) | product[1]);
    writer.DWord((uint32_t(product[2]) << 16) | product[3]);
    writer.DWord(0x3F);       // file flags mask
    writer.DWord(0);          // file flags
    writer.DWord(0x00040004); // VOS_NT_WINDOWS32
    writer.DWord(1);          // VFT_APP
    writer.DWord(0);          // file subtype
    writer.DWord(0);          // file date, high and low half
    writer.DWord(0);

    const size_t stringFileInfo = writer.Begin(0, kText, u"StringFileInfo");
    const size_t table =
        writer.Begin(0, kText, TableName(content.Language, content.CodePage, true));
    for (const TVersionString &entry : content.Strings) {
        const size_t string = writer.Begin(entry.Value.size() + 1, kText, entry.Key);
        writer.Text(entry.Value);
        writer.End(string);
    }
    writer.End(table);
    writer.End(stringFileInfo);

    if (content.HasTranslation) {
        const size_t varFileInfo = writer.Begin(0, kText, u"VarFileInfo");
        const size_t translation = writer.Begin(4, kBinary, u"Translation");
        writer.Word(content.Language);
        writer.Word(content.CodePage);
        writer.End(translation);
        writer.End(varFileInfo);
    }
    writer.End(root);
    return writer.Take();
}

std::u16string FindVersionString(const uint8_t *data, size_t size, std::u16string_view key)
{
    if (data == nullptr)
        return {};
    // The root key with its terminating zero, as little-endian UTF-16.
    std::vector<uint8_t> pattern;
    for (char16_t c : kRootKey) {
        pattern.push_back(uint8_t(c));
        pattern.push_back(uint8_t(c >> 8));
    }
    pattern.insert(pattern.end(), {0, 0});
    const std::boyer_moore_horspool_searcher searcher(pattern.begin(), pattern.end());
    const uint8_t *const end = data + size;
    for (const uint8_t *hit = std::search(data, end, searcher); hit != end;
         hit = std::search(hit + 1, end, searcher)) {
        const size_t keyAt = size_t(hit - data);
        if (keyAt < 6)
            continue;
        const TBlockReader reader(data, size, keyAt - 6);
        TNode root;
        if (reader.IsRoot(root))
            return StringOfBlock(reader, root, key);
    }
    return {};
}

} // namespace talivo
