#include "graph/canvas/CanvasColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <iterator>

namespace talivo {

namespace {

struct SystemColorRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Indexed by the Windows system colour index (the low byte of a system colour). Index 25 has no
// system colour; it and anything past the table draw black, as the system does for unknown ones.
constexpr SystemColorRole kSystemColorRoles[] = {
    {QPalette::Active, QPalette::Button},            // scroll bar
    {QPalette::Active, QPalette::Dark},              // desktop background
    {QPalette::Active, QPalette::Highlight},         // active caption
    {QPalette::Inactive, QPalette::Mid},             // inactive caption
    {QPalette::Active, QPalette::Window},            // menu
    {QPalette::Active, QPalette::Base},              // window
    {QPalette::Active, QPalette::Shadow},            // window frame
    {QPalette::Active, QPalette::WindowText},        // menu text
    {QPalette::Active, QPalette::Text},              // window text
    {QPalette::Active, QPalette::HighlightedText},   // caption text
    {QPalette::Active, QPalette::Button},            // active border
    {QPalette::Inactive, QPalette::Button},          // inactive border
    {QPalette::Active, QPalette::Mid},               // application work space
    {QPalette::Active, QPalette::Highlight},         // highlight
    {QPalette::Active, QPalette::HighlightedText},   // highlight text
    {QPalette::Active, QPalette::Button},            // button face
    {QPalette::Active, QPalette::Dark},              // button shadow
    {QPalette::Disabled, QPalette::Text},            // grey text
    {QPalette::Active, QPalette::ButtonText},        // button text
    {QPalette::Inactive, QPalette::HighlightedText}, // inactive caption text
    {QPalette::Active, QPalette::Light},             // button highlight
    {QPalette::Active, QPalette::Shadow},            // 3D dark shadow
    {QPalette::Active, QPalette::Midlight},          // 3D light
    {QPalette::Active, QPalette::ToolTipText},       // info text
    {QPalette::Active, QPalette::ToolTipBase},       // info background
    {QPalette::Active, QPalette::NColorRoles},       // (none)
    {QPalette::Active, QPalette::Link},              // hot light
    {QPalette::Active, QPalette::Highlight},         // gradient active caption
    {QPalette::Inactive, QPalette::Highlight},       // gradient inactive caption
    {QPalette::Active, QPalette::Highlight},         // menu highlight
    {QPalette::Active, QPalette::Window},            // menu bar
};

QColor SystemColor(uint32_t index)
{
    if (index >= std::size(kSystemColorRoles) ||
        kSystemColorRoles[index].role == QPalette::NColorRoles)
        return QColor(Qt::black);
    const SystemColorRole &entry = kSystemColorRoles[index];
    return QGuiApplication::palette().color(entry.group, entry.role);
}

} // namespace

QColor ColorToQColor(TColor color)
{
    if (IsSystemColor(color))
        return SystemColor(color & 0xFF);
    if (color == clNone)
        return QColor(Qt::transparent);
    if (color == clDefault)
        return ColorToQColor(clWindow);
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor ColorToRGB(TColor color)
{
    if (IsSystemColor(color) || color == clDefault)
        return QColorToColor(ColorToQColor(color));
    return color & 0x00FFFFFF;
}

TColor QColorToColor(const QColor &color)
{
    const QRgb rgb = color.rgb();
    return static_cast<TColor>(qRed(rgb)) | static_cast<TColor>(qGreen(rgb)) << 8 |
           static_cast<TColor>(qBlue(rgb)) << 16;
}

} // namespace talivo
