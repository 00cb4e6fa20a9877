#include "graph/canvas/CanvasTools.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace talivo {

namespace {

// Beyond this a pen or glyph would only cost time and memory; a hostile file may ask for more.
constexpr double kMaxDeviceLength = 16384.0;
constexpr int32_t kDefaultFontHeight = -11;

// a * b / c rounded half away from zero, in 64 bits, as the system's MulDiv does.
int32_t MulDiv(int64_t a, int64_t b, int64_t c)
{
    const int64_t product = a * b;
    const int64_t half = std::llabs(c) / 2;
    const int64_t rounded = (product < 0 ? product - half : product + half) / c;
    return static_cast<int32_t>(std::clamp<int64_t>(rounded, INT32_MIN, INT32_MAX));
}

int DevicePixels(double length)
{
    return std::max(1, static_cast<int>(std::lrint(std::min(length, kMaxDeviceLength))));
}

template <typename T> bool Update(T &field, const T &value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

void TBrush::Changed()
{
    if (OnChange)
        OnChange();
}

void TBrush::SetColor(TColor value)
{
    if (Update(fColor, value))
        Changed();
}

void TBrush::SetStyle(TBrushStyle value)
{
    if (Update(fStyle, value))
        Changed();
}

void TBrush::Assign(const TBrush &source)
{
    fColor = source.fColor;
    fStyle = source.fStyle;
    Changed();
}

bool TBrush::operator==(const TBrush &other) const
{
    return fColor == other.fColor && fStyle == other.fStyle;
}

QBrush TBrush::ToQBrush() const
{
    static constexpr Qt::BrushStyle kStyles[] = {
        Qt::SolidPattern, Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,
        Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern,
    };
    if (fStyle == bsClear)
        return QBrush(Qt::NoBrush);
    return QBrush(ColorToQColor(fColor), kStyles[fStyle]);
}

void TPen::Changed()
{
    if (OnChange)
        OnChange();
}

void TPen::SetColor(TColor value)
{
    if (Update(fColor, value))
        Changed();
}

void TPen::SetMode(TPenMode value)
{
    if (Update(fMode, value))
        Changed();
}

void TPen::SetStyle(TPenStyle value)
{
    if (Update(fStyle, value))
        Changed();
}

void TPen::SetWidth(int32_t value)
{
    if (Update(fWidth, value))
        Changed();
}

void TPen::Assign(const TPen &source)
{
    fColor = source.fColor;
    fMode = source.fMode;
    fStyle = source.fStyle;
    fWidth = source.fWidth;
    Changed();
}

bool TPen::operator==(const TPen &other) const
{
    return fColor == other.fColor && fMode == other.fMode && fStyle == other.fStyle &&
           fWidth == other.fWidth;
}

QPen TPen::ToQPen(double scale) const
{
    if (fStyle == psClear)
        return QPen(Qt::NoPen);
    const int width = fWidth <= 0 ? 0 : DevicePixels(fWidth * std::abs(scale));
    QPen pen(ColorToQColor(fColor), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (fWidth > 1)
        return pen;
    switch (fStyle) {
    case psDash:
        pen.setStyle(Qt::DashLine);
        break;
    case psDot:
        pen.setStyle(Qt::DotLine);
        break;
    case psDashDot:
        pen.setStyle(Qt::DashDotLine);
        break;
    case psDashDotDot:
        pen.setStyle(Qt::DashDotDotLine);
        break;
    case psAlternate:
        pen.setDashPattern({1.0, 1.0});
        break;
    default:
        break;
    }
    return pen;
}

void TFont::Changed()
{
    if (OnChange)
        OnChange();
}

void TFont::SetName(const QString &value)
{
    if (Update(fName, value))
        Changed();
}

void TFont::SetHeight(int32_t value)
{
    if (Update(fHeight, value))
        Changed();
}

int32_t TFont::Size() const
{
    return -MulDiv(fHeight, 72, PixelsPerInch);
}

void TFont::SetSize(int32_t value)
{
    SetHeight(-MulDiv(value, PixelsPerInch, 72));
}

void TFont::SetColor(TColor value)
{
    if (Update(fColor, value))
        Changed();
}

void TFont::SetStyle(TFontStyles value)
{
    if (Update(fStyle, value))
        Changed();
}

void TFont::SetCharset(TFontCharset value)
{
    if (Update(fCharset, value))
        Changed();
}

void TFont::SetPitch(TFontPitch value)
{
    if (Update(fPitch, value))
        Changed();
}

void TFont::SetOrientation(int32_t value)
{
    if (Update(fOrientation, value))
        Changed();
}

void TFont::SetQuality(TFontQuality value)
{
    if (Update(fQuality, value))
        Changed();
}

void TFont::Assign(const TFont &source)
{
    fName = source.fName;
    fHeight = source.fHeight;
    fColor = source.fColor;
    fStyle = source.fStyle;
    fCharset = source.fCharset;
    fPitch = source.fPitch;
    fOrientation = source.fOrientation;
    fQuality = source.fQuality;
    Changed();
}

bool TFont::operator==(const TFont &other) const
{
    return fName == other.fName && fHeight == other.fHeight && fColor == other.fColor &&
           fStyle == other.fStyle && fCharset == other.fCharset && fPitch == other.fPitch &&
           fOrientation == other.fOrientation && fQuality == other.fQuality;
}

QFont TFont::ToQFont(double scale) const
{
    QFont font;
    if (!fName.isEmpty())
        font.setFamily(fName);
    font.setBold(fStyle.Contains(fsBold));
    font.setItalic(fStyle.Contains(fsItalic));
    font.setUnderline(fStyle.Contains(fsUnderline));
    font.setStrikeOut(fStyle.Contains(fsStrikeOut));
    if (fPitch == fpFixed) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
    }
    switch (fQuality) {
    case fqNonAntialiased:
        font.setStyleStrategy(QFont::NoAntialias);
        break;
    case fqAntialiased:
    case fqClearType:
    case fqClearTypeNatural:
        font.setStyleStrategy(QFont::PreferAntialias);
        break;
    case fqProof:
        font.setStyleStrategy(QFont::PreferQuality);
        break;
    default:
        break;
    }

    const int64_t height = fHeight == 0 ? kDefaultFontHeight : fHeight;
    const double target = static_cast<double>(std::llabs(height)) * std::abs(scale);
    if (height < 0) {
        font.setPixelSize(DevicePixels(target));
        return font;
    }
    // A cell height includes the internal leading, which only the font knows: size the font so
    // that ascent plus descent comes out at the requested height.
    const int probe = DevicePixels(target);
    font.setPixelSize(probe);
    const double cell = QFontMetricsF(font).height();
    if (cell > 0)
        font.setPixelSize(DevicePixels(target * probe / cell));
    return font;
}

} // namespace talivo
