#include "app/ColorBox.h"

#include "graph/CanvasColors.h"
#include "platform/Platform.h"

#include <QColorDialog>
#include <QPixmap>

namespace talivo {

namespace {

struct TNamedColor {
    TColor Color;
    const char *Name;
};

constexpr TNamedColor kListedColors[] = {
    {clBlack, "Black"},
    {clMaroon, "Maroon"},
    {clGreen, "Green"},
    {clOlive, "Olive"},
    {clNavy, "Navy"},
    {clPurple, "Purple"},
    {clTeal, "Teal"},
    {clGray, "Gray"},
    {clSilver, "Silver"},
    {clRed, "Red"},
    {clLime, "Lime"},
    {clYellow, "Yellow"},
    {clBlue, "Blue"},
    {clFuchsia, "Fuchsia"},
    {clAqua, "Aqua"},
    {clWhite, "White"},
    {clMoneyGreen, "Money Green"},
    {clSkyBlue, "Sky Blue"},
    {clCream, "Cream"},
    {clMedGray, "Medium Gray"},
};

QIcon Swatch(TColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(ColorToQColor(color));
    return QIcon(pixmap);
}

} // namespace

TColorBox::TColorBox(QWidget *parent) : QComboBox(parent)
{
    addItem(Swatch(clBlack), "Custom...", QVariant::fromValue<uint>(clBlack));
    for (const TNamedColor &entry : kListedColors)
        addItem(Swatch(entry.Color), entry.Name, QVariant::fromValue<uint>(entry.Color));
    connect(this, &QComboBox::activated, this, &TColorBox::ItemActivated);
}

TColor TColorBox::Selected() const
{
    return currentData().toUInt();
}

void TColorBox::SetSelected(TColor color)
{
    for (int i = CustomIndex + 1; i < count(); ++i) {
        if (itemData(i).toUInt() == color) {
            setCurrentIndex(i);
            return;
        }
    }
    SetCustomColor(color);
    setCurrentIndex(CustomIndex);
}

void TColorBox::ItemActivated(int index)
{
    if (index != CustomIndex)
        return;
    QColorDialog dialog(ColorToQColor(Selected()), this);
    dialog.setObjectName("ColorDialog");
    if (Prompter().RunDialog(dialog) == QDialog::Accepted)
        SetCustomColor(QColorToColor(dialog.currentColor()));
}

void TColorBox::SetCustomColor(TColor color)
{
    setItemData(CustomIndex, QVariant::fromValue<uint>(color));
    setItemIcon(CustomIndex, Swatch(color));
}

} // namespace talivo
