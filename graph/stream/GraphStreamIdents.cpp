#include "graph/stream/GraphStreamIdents.h"

#include <cctype>

namespace talivo {

namespace {

template <typename T> struct TIdentEntry {
    T Value;
    std::string_view Name;
};

// The order matters: when two names share a value the first one is written.
constexpr TIdentEntry<TColor> ColorIdents[] = {
    {0x00000000, "clBlack"},
    {0x00000080, "clMaroon"},
    {0x00008000, "clGreen"},
    {0x00008080, "clOlive"},
    {0x00800000, "clNavy"},
    {0x00800080, "clPurple"},
    {0x00808000, "clTeal"},
    {0x00808080, "clGray"},
    {0x00C0C0C0, "clSilver"},
    {0x000000FF, "clRed"},
    {0x0000FF00, "clLime"},
    {0x0000FFFF, "clYellow"},
    {0x00FF0000, "clBlue"},
    {0x00FF00FF, "clFuchsia"},
    {0x00FFFF00, "clAqua"},
    {0x00FFFFFF, "clWhite"},
    {0x00C0DCC0, "clMoneyGreen"},
    {0x00F0CAA6, "clSkyBlue"},
    {0x00F0FBFF, "clCream"},
    {0x00A4A0A0, "clMedGray"},
    {0xFF00000A, "clActiveBorder"},
    {0xFF000002, "clActiveCaption"},
    {0xFF00000C, "clAppWorkSpace"},
    {0xFF000001, "clBackground"},
    {0xFF00000F, "clBtnFace"},
    {0xFF000014, "clBtnHighlight"},
    {0xFF000010, "clBtnShadow"},
    {0xFF000012, "clBtnText"},
    {0xFF000009, "clCaptionText"},
    {0x20000000, "clDefault"},
    {0xFF00001B, "clGradientActiveCaption"},
    {0xFF00001C, "clGradientInactiveCaption"},
    {0xFF000011, "clGrayText"},
    {0xFF00000D, "clHighlight"},
    {0xFF00000E, "clHighlightText"},
    {0xFF00001A, "clHotLight"},
    {0xFF00000B, "clInactiveBorder"},
    {0xFF000003, "clInactiveCaption"},
    {0xFF000013, "clInactiveCaptionText"},
    {0xFF000018, "clInfoBk"},
    {0xFF000017, "clInfoText"},
    {0xFF000004, "clMenu"},
    {0xFF00001E, "clMenuBar"},
    {0xFF00001D, "clMenuHighlight"},
    {0xFF000007, "clMenuText"},
    {0x1FFFFFFF, "clNone"},
    {0xFF000000, "clScrollBar"},
    {0xFF000015, "cl3DDkShadow"},
    {0xFF000016, "cl3DLight"},
    {0xFF000005, "clWindow"},
    {0xFF000006, "clWindowFrame"},
    {0xFF000008, "clWindowText"},
};

constexpr TIdentEntry<TFontCharset> CharsetIdents[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"},
    {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
    {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"},
    {GB2312_CHARSET, "GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, "GREEK_CHARSET"},
    {TURKISH_CHARSET, "TURKISH_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"},
    {ARABIC_CHARSET, "ARABIC_CHARSET"},
    {BALTIC_CHARSET, "BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    {THAI_CHARSET, "THAI_CHARSET"},
    {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"},
};

static_assert(std::size(ColorIdents) == 52);
static_assert(std::size(CharsetIdents) == 18);

template <typename T, size_t N> std::string_view NameOf(const TIdentEntry<T> (&table)[N], T value)
{
    for (const auto &entry : table) {
        if (entry.Value == value)
            return entry.Name;
    }
    return {};
}

template <typename T, size_t N>
std::optional<T> ValueOf(const TIdentEntry<T> (&table)[N], std::string_view ident)
{
    for (const auto &entry : table) {
        if (SameIdent(entry.Name, ident))
            return entry.Value;
    }
    return std::nullopt;
}

} // namespace

bool SameIdent(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string_view ColorToIdent(TColor color)
{
    return NameOf(ColorIdents, color);
}

std::optional<TColor> IdentToColor(std::string_view ident)
{
    return ValueOf(ColorIdents, ident);
}

std::string_view CharsetToIdent(TFontCharset charset)
{
    return NameOf(CharsetIdents, charset);
}

std::optional<TFontCharset> IdentToCharset(std::string_view ident)
{
    return ValueOf(CharsetIdents, ident);
}

} // namespace talivo
