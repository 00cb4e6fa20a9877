#include "app/ColorBox.h"

#include "graph/canvas/CanvasColors.h"
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
    fChosen = CustomIndex;
    for (int i = CustomIndex + 1; i < count(); ++i) {
        if (itemData(i).toUInt() == color) {
            fChosen = i;
            break;
        }
    }
    if (fChosen == CustomIndex)
        SetCustomColor(color);
    setCurrentIndex(fChosen);
}

void TColorBox::ItemActivated(int index)
{
    if (index != CustomIndex) {
        fChosen = index;
        return;
    }
    QColorDialog dialog(ColorToQColor(itemData(fChosen).toUInt()), this);
    dialog.setObjectName("ColorDialog");
    if (Prompter().RunDialog(dialog) != QDialog::Accepted) {
        setCurrentIndex(fChosen);
        return;
    }
    SetCustomColor(QColorToColor(dialog.currentColor()));
    fChosen = CustomIndex;
}

void TColorBox::SetCustomColor(TColor color)
{
    setItemData(CustomIndex, QVariant::fromValue<uint>(color));
    setItemIcon(CustomIndex, Swatch(color));
}

} // namespace talivo
