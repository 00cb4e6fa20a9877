#include "graph/stream/GraphProperties.h"

#include "graph/canvas/CanvasTools.h"

#include <limits>

namespace talivo {

namespace {

constexpr const char *BrushStyleNames[] = {"bsSolid",    "bsClear",     "bsHorizontal",
                                           "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                           "bsCross",    "bsDiagCross"};
constexpr const char *PenModeNames[] = {
    "pmBlack",       "pmWhite",      "pmNop",         "pmNot",        "pmCopy",  "pmNotCopy",
    "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge",
    "pmMask",        "pmNotMask",    "pmXor",         "pmNotXor"};
constexpr const char *PenStyleNames[] = {"psSolid",       "psDash",       "psDot",
                                         "psDashDot",     "psDashDotDot", "psClear",
                                         "psInsideFrame", "psUserStyle",  "psAlternate"};
constexpr const char *FontPitchNames[] = {"fpDefault", "fpVariable", "fpFixed"};
constexpr const char *FontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr const char *FontQualityNames[] = {"fqDefault",         "fqDraft",       "fqProof",
                                            "fqNonAntialiased",  "fqAntialiased", "fqClearType",
                                            "fqClearTypeNatural"};

[[noreturn]] void RaiseValueError(std::string_view name)
{
    throw EGraphStreamError(N_("Invalid value for property %1"), {QString::fromLatin1(name)});
}

// Whether the C string is the name, read no further than the first difference: a lookup compares
// a name with most of a table's names, and measuring each of them first cost more than the rest.
bool IsName(std::string_view name, const char *text)
{
    for (const char c : name) {
        if (*text != c || c == '\0')
            return false;
        ++text;
    }
    return *text == '\0';
}

bool IsIntegerKind(TPropKind kind)
{
    switch (kind) {
    case TPropKind::String:
    case TPropKind::Ident:
    case TPropKind::IdentSet:
    case TPropKind::Binary:
    case TPropKind::Rect:
    case TPropKind::Object:
        return false;
    default:
        return true;
    }
}

// names each behind a length byte, none of them empty (an empty one would end a set early).
bool IsNameList(const QByteArray &names)
{
    qsizetype at = 0;
    while (at < names.size()) {
        const auto length = static_cast<uint8_t>(names[at]);
        if (length == 0)
            return false;
        at += 1 + length;
    }
    return at == names.size();
}

// The value as the property's setter may take it, or an error for a value outside its type.
// Unknown set members are dropped, as a reader skips names its type does not know.
TPropValue Checked(const TPropInfo &info, const TPropValue &value)
{
    if (IsIntegerKind(info.Kind)) {
        if (!std::holds_alternative<int64_t>(value))
            RaiseValueError(info.Name);
        const int64_t v = std::get<int64_t>(value);
        const auto inRange = [v](int64_t low, int64_t high) { return v >= low && v <= high; };
        constexpr int64_t minInt32 = std::numeric_limits<int32_t>::min();
        constexpr int64_t maxInt32 = std::numeric_limits<int32_t>::max();
        constexpr int64_t maxUInt32 = std::numeric_limits<uint32_t>::max();
        bool valid = true;
        switch (info.Kind) {
        case TPropKind::Integer:
            valid = inRange(minInt32, maxInt32);
            break;
        case TPropKind::Cardinal:
        case TPropKind::Color:
            // Written as the 32-bit pattern, so either reading of it is the same value.
            if (!inRange(minInt32, maxUInt32))
                RaiseValueError(info.Name);
            return int64_t{static_cast<uint32_t>(v)};
        case TPropKind::Charset:
            valid = inRange(0, 255);
            break;
        case TPropKind::Enum:
            valid = inRange(0, static_cast<int64_t>(info.Names.size()) - 1);
            break;
        case TPropKind::Bool:
            valid = inRange(0, 1);
            break;
        case TPropKind::Set:
            return int64_t{v & ((int64_t{1} << info.Names.size()) - 1)};
        default:
            break;
        }
        if (!valid)
            RaiseValueError(info.Name);
        return value;
    }
    const bool valid = [&] {
        switch (info.Kind) {
        case TPropKind::String:
            return std::holds_alternative<QString>(value);
        case TPropKind::Ident: {
            const QByteArray *name = std::get_if<QByteArray>(&value);
            return name && name->size() <= 255;
        }
        case TPropKind::IdentSet: {
            const QByteArray *names = std::get_if<QByteArray>(&value);
            return names && IsNameList(*names);
        }
        case TPropKind::Binary:
            return std::holds_alternative<QByteArray>(value);
        case TPropKind::Rect:
            return std::holds_alternative<TRect>(value);
        default:
            return false;
        }
    }();
    if (!valid)
        RaiseValueError(info.Name);
    return value;
}

bool NotStored(const void *)
{
    return false;
}

} // namespace

const TPropInfo *TPropTable::Find(std::string_view name) const
{
    for (const TPropTable *table = this; table; table = table->Base) {
        for (const TPropInfo &info : table->Published) {
            if (IsName(name, info.Name))
                return &info;
        }
    }
    for (const TPropTable *table = this; table; table = table->Base) {
        for (const TPropInfo &info : table->Defined) {
            if (IsName(name, info.Name))
                return &info;
        }
    }
    return nullptr;
}

std::vector<const TPropInfo *> TPropTable::All() const
{
    std::vector<const TPropTable *> chain;
    for (const TPropTable *table = this; table; table = table->Base)
        chain.insert(chain.begin(), table);
    std::vector<const TPropInfo *> result;
    for (const TPropTable *table : chain) {
        for (const TPropInfo &info : table->Published)
            result.push_back(&info);
    }
    for (const TPropTable *table : chain) {
        for (const TPropInfo &info : table->Defined)
            result.push_back(&info);
    }
    return result;
}

int64_t PropOrdinal(const TPropValue &value)
{
    if (const int64_t *result = std::get_if<int64_t>(&value))
        return *result;
    throw EGraphStreamError(N_("Invalid property value"));
}

void WriteProps(const TPropTable &table, const void *instance, const std::string &prefix,
                TPropEntries &entries)
{
    for (const TPropInfo *info : table.All()) {
        if (!info->Stored(instance))
            continue;
        if (info->Kind == TPropKind::Object) {
            // The accessor hands out the nested object for reading and writing alike; here it is
            // only read.
            const void *nested = info->GetObject(const_cast<void *>(instance));
            WriteProps(info->ObjectTable(), nested, prefix + info->Name + ".", entries);
            continue;
        }
        TPropValue value = info->Get(instance);
        if (!info->IsDefault(value))
            entries.push_back({prefix + info->Name, std::move(value)});
    }
}

void ReadProp(const TPropTable &table, void *instance, std::string_view path,
              const TPropValue &value)
{
    const size_t dot = path.find('.');
    const std::string_view name = path.substr(0, dot);
    const TPropInfo *info = table.Find(name);
    if (!info)
        throw EGraphStreamError(N_("Property %1 does not exist"), {QString::fromLatin1(name)});
    if (dot != std::string_view::npos) {
        if (info->Kind != TPropKind::Object)
            throw EGraphStreamError(N_("Property %1 holds no object"), {QString::fromLatin1(name)});
        ReadProp(info->ObjectTable(), info->GetObject(instance), path.substr(dot + 1), value);
        return;
    }
    if (info->Kind == TPropKind::Object || !info->Set)
        RaiseValueError(info->Name);
    info->Set(instance, Checked(*info, value));
}

TPropInfo ObjectProp(const char *name, void *(*getObject)(void *instance),
                     const TPropTable &(*objectTable)(), bool (*isStored)(const void *instance))
{
    TPropInfo info;
    info.Name = name;
    info.Kind = TPropKind::Object;
    info.GetObject = getObject;
    info.ObjectTable = objectTable;
    info.IsStored = isStored;
    return info;
}

const TPropTable &BrushPropTable()
{
    static const TPropTable table{
        nullptr,
        {
            Prop<&TBrush::Color, &TBrush::SetColor>("Color", TPropKind::Color, int64_t{clWhite}),
            Prop<&TBrush::Style, &TBrush::SetStyle>("Style", TPropKind::Enum, int64_t{bsSolid},
                                                    BrushStyleNames),
        },
        {}};
    return table;
}

const TPropTable &PenPropTable()
{
    static const TPropTable table{
        nullptr,
        {
            Prop<&TPen::Color, &TPen::SetColor>("Color", TPropKind::Color, int64_t{clBlack}),
            Prop<&TPen::Mode, &TPen::SetMode>("Mode", TPropKind::Enum, int64_t{pmCopy},
                                              PenModeNames),
            Prop<&TPen::Style, &TPen::SetStyle>("Style", TPropKind::Enum, int64_t{psSolid},
                                                PenStyleNames),
            Prop<&TPen::Width, &TPen::SetWidth>("Width", TPropKind::Integer, int64_t{1}),
        },
        {}};
    return table;
}

const TPropTable &FontPropTable()
{
    static const TPropTable table = [] {
        TPropInfo size = Prop<&TFont::Size, &TFont::SetSize>("Size", TPropKind::Integer);
        // The height carries the size; a size read from an older record still sets it.
        size.IsStored = NotStored;
        TPropInfo styleInfo;
        styleInfo.Name = "Style";
        styleInfo.Kind = TPropKind::Set;
        styleInfo.Names = FontStyleNames;
        styleInfo.Get = [](const void *instance) -> TPropValue {
            return int64_t{static_cast<const TFont *>(instance)->Style().ToBits()};
        };
        styleInfo.Set = [](void *instance, const TPropValue &value) {
            const auto bits = static_cast<uint8_t>(PropOrdinal(value) & 0x0F);
            static_cast<TFont *>(instance)->SetStyle(TFontStyles::FromBits(bits));
        };
        return TPropTable{
            nullptr,
            {
                Prop<&TFont::Charset, &TFont::SetCharset>("Charset", TPropKind::Charset),
                Prop<&TFont::Color, &TFont::SetColor>("Color", TPropKind::Color),
                Prop<&TFont::Height, &TFont::SetHeight>("Height", TPropKind::Integer),
                Prop<&TFont::Name, &TFont::SetName>("Name", TPropKind::String, QString()),
                Prop<&TFont::Orientation, &TFont::SetOrientation>("Orientation", TPropKind::Integer,
                                                                  int64_t{0}),
                Prop<&TFont::Pitch, &TFont::SetPitch>("Pitch", TPropKind::Enum, int64_t{fpDefault},
                                                      FontPitchNames),
                size,
                styleInfo,
                Prop<&TFont::Quality, &TFont::SetQuality>("Quality", TPropKind::Enum,
                                                          int64_t{fqDefault}, FontQualityNames),
            },
            {}};
    }();
    return table;
}

} // namespace talivo
