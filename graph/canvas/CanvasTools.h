#pragma once

#include "graph/canvas/CanvasColors.h"
#include "graph/canvas/Set.h"

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>

namespace talivo {

// The enumerations below are streamed by name in this order; do not reorder them.
enum TBrushStyle : uint8_t {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross,
};

enum TPenMode : uint8_t {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor,
};

enum TPenStyle : uint8_t {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame,
    psUserStyle,
    psAlternate,
};

enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

enum TFontQuality : uint8_t {
    fqDefault,
    fqDraft,
    fqProof,
    fqNonAntialiased,
    fqAntialiased,
    fqClearType,
    fqClearTypeNatural,
};

using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset MAC_CHARSET = 77;
constexpr TFontCharset SHIFTJIS_CHARSET = 128;
constexpr TFontCharset HANGEUL_CHARSET = 129;
constexpr TFontCharset JOHAB_CHARSET = 130;
constexpr TFontCharset GB2312_CHARSET = 134;
constexpr TFontCharset CHINESEBIG5_CHARSET = 136;
constexpr TFontCharset GREEK_CHARSET = 161;
constexpr TFontCharset TURKISH_CHARSET = 162;
constexpr TFontCharset HEBREW_CHARSET = 177;
constexpr TFontCharset ARABIC_CHARSET = 178;
constexpr TFontCharset BALTIC_CHARSET = 186;
constexpr TFontCharset RUSSIAN_CHARSET = 204;
constexpr TFontCharset THAI_CHARSET = 222;
constexpr TFontCharset EASTEUROPE_CHARSET = 238;
constexpr TFontCharset OEM_CHARSET = 255;

using TFontStyles = TSet<TFontStyle, uint8_t>;

// Brush, pen and font report every change through OnChange, which their owner (a graph object)
// uses to repaint. They are not copyable, so that a copy never inherits the owner's handler: use
// Assign.
class TBrush {
public:
    TBrush() = default;
    TBrush(const TBrush &) = delete;
    TBrush &operator=(const TBrush &) = delete;

    TColor Color() const { return fColor; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return fStyle; }
    void SetStyle(TBrushStyle value);

    // Copies every value and reports one change, also when nothing differs.
    void Assign(const TBrush &source);
    bool operator==(const TBrush &other) const;

    // No brush for bsClear.
    QBrush ToQBrush() const;

    std::function<void()> OnChange;

private:
    void Changed();

    TColor fColor = clWhite;
    TBrushStyle fStyle = bsSolid;
};

class TPen {
public:
    TPen() = default;
    TPen(const TPen &) = delete;
    TPen &operator=(const TPen &) = delete;

    TColor Color() const { return fColor; }
    void SetColor(TColor value);
    TPenMode Mode() const { return fMode; }
    void SetMode(TPenMode value);
    TPenStyle Style() const { return fStyle; }
    void SetStyle(TPenStyle value);
    int32_t Width() const { return fWidth; }
    void SetWidth(int32_t value);

    void Assign(const TPen &source);
    bool operator==(const TPen &other) const;

    // The pen for a mapping that scales lengths by scale. Width 0 (or less) is the thinnest line,
    // one device pixel whatever the scale; otherwise the width scales, at least one pixel. As with
    // the system's pens, patterned styles apply only to pens of width 0 or 1 and wider ones draw
    // solid. psClear gives no pen; psUserStyle has no pattern here and draws solid. The mode is
    // the canvas's business and is not reflected.
    QPen ToQPen(double scale = 1.0) const;

    std::function<void()> OnChange;

private:
    void Changed();

    TColor fColor = clBlack;
    TPenMode fMode = pmCopy;
    TPenStyle fStyle = psSolid;
    int32_t fWidth = 1;
};

class TFont {
public:
    static constexpr int32_t PixelsPerInch = 96;

    TFont() = default;
    TFont(const TFont &) = delete;
    TFont &operator=(const TFont &) = delete;

    const QString &Name() const { return fName; }
    void SetName(const QString &value);
    // Negative: the character height in pixels; positive: the cell height (character height plus
    // internal leading); 0: the default height.
    int32_t Height() const { return fHeight; }
    void SetHeight(int32_t value);
    // In points; derived from Height at PixelsPerInch, and setting it sets Height.
    int32_t Size() const;
    void SetSize(int32_t value);
    TColor Color() const { return fColor; }
    void SetColor(TColor value);
    TFontStyles Style() const { return fStyle; }
    void SetStyle(TFontStyles value);
    TFontCharset Charset() const { return fCharset; }
    void SetCharset(TFontCharset value);
    TFontPitch Pitch() const { return fPitch; }
    void SetPitch(TFontPitch value);
    // Text angle in tenths of a degree, counter-clockwise on the screen.
    int32_t Orientation() const { return fOrientation; }
    void SetOrientation(int32_t value);
    TFontQuality Quality() const { return fQuality; }
    void SetQuality(TFontQuality value);

    void Assign(const TFont &source);
    bool operator==(const TFont &other) const;

    // The font for a mapping that scales lengths by scale, always sized in pixels so that its
    // metrics do not depend on the device. A font that is not installed keeps its name here and
    // is replaced by Qt's fallback. The character set is kept for the file only: Qt chooses
    // glyphs by Unicode. Orientation and Color are applied by the canvas.
    QFont ToQFont(double scale = 1.0) const;

    std::function<void()> OnChange;

private:
    void Changed();

    QString fName = QStringLiteral("Tahoma");
    int32_t fHeight = -11;
    TColor fColor = clWindowText;
    TFontStyles fStyle;
    TFontCharset fCharset = DEFAULT_CHARSET;
    TFontPitch fPitch = fpDefault;
    int32_t fOrientation = 0;
    TFontQuality fQuality = fqDefault;
};

} // namespace talivo
