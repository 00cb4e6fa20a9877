#pragma once

#include "graph/canvas/Types.h"

#include <QComboBox>

namespace talivo {

// A colour drop-down: first a custom entry that opens the colour dialog, then the sixteen
// standard colours and the four extended ones, each shown with its swatch.
class TColorBox : public QComboBox {
    Q_OBJECT
public:
    explicit TColorBox(QWidget *parent = nullptr);

    TColor Selected() const;
    // A colour the list lacks becomes the custom entry's colour and is selected there.
    void SetSelected(TColor color);

    static constexpr int CustomIndex = 0;

private:
    void ItemActivated(int index);
    void SetCustomColor(TColor color);

    // The entry chosen last. Activating the custom entry makes it current before the colour
    // dialog opens; the dialog starts at this entry's colour, and Cancel returns to it.
    int fChosen = CustomIndex;
};

} // namespace talivo
