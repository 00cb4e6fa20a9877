#pragma once

#include "graph/canvas/CanvasColors.h"
#include "graph/canvas/Types.h"

#include <QMetaObject>

#include <cstdint>

class QScrollBar;

namespace talivo {

class TGraphControl;

enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };
// Appearance of the platform's scroll bar.
enum TScrollBarStyle : uint8_t { ssRegular, ssFlat, ssHotTrack };
// What the user asked a scroll bar to do. scPosition is the thumb released at a position,
// scTrack the thumb being dragged.
enum TScrollCode : uint8_t {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll,
};

// One scroll bar of a TGraphControl. Position and range are kept here, in client pixels; the
// QScrollBar of the control's scroll area only shows them and reports what the user does with it,
// which comes back through ScrollMessage. The Qt bar's maximum is the largest position (CalcRange)
// and its page step the visible extent, so the document length it shows equals Range.
class TGraphScrollBar {
public:
    TGraphScrollBar(TGraphControl *owner, TScrollBarKind kind);
    ~TGraphScrollBar();
    TGraphScrollBar(const TGraphScrollBar &) = delete;
    TGraphScrollBar &operator=(const TGraphScrollBar &) = delete;

    // Copies the settings, not the owner or the kind.
    void Assign(const TGraphScrollBar &source);

    TGraphControl *Owner() const { return fOwner; }
    TScrollBarKind Kind() const { return fKind; }

    int32_t Position() const { return fPosition; }
    // Clamped to [0, CalcRange]; the content scrolls along.
    void SetPosition(int32_t value);
    // The position while the bar shows, else 0.
    int32_t ScrollPos() const { return IsScrollBarVisible() ? fPosition : 0; }
    // The extent of the scrollable area in client pixels.
    int32_t Range() const { return fRange; }
    // The largest position.
    int32_t CalcRange() const { return fCalcRange; }

    uint16_t Increment() const { return fIncrement; }
    void SetIncrement(uint16_t value);
    uint16_t PageIncrement() const { return fPageIncrement; }
    // Extra extent in graph units.
    uint16_t Margin() const { return fMargin; }
    void SetMargin(uint16_t value);
    bool Visible() const { return fVisible; }
    void SetVisible(bool value);
    bool Tracking() const { return fTracking; }
    void SetTracking(bool value);
    bool Smooth() const { return fSmooth; }
    void SetSmooth(bool value);
    int32_t Delay() const { return fDelay; }
    void SetDelay(int32_t value);
    int32_t LineDiv() const { return fLineDiv; }
    void SetLineDiv(int32_t value);
    int32_t PageDiv() const { return fPageDiv; }
    void SetPageDiv(int32_t value);

    int32_t ButtonSize() const { return fButtonSize; }
    void SetButtonSize(int32_t value);
    TColor Color() const { return fColor; }
    void SetColor(TColor value);
    bool ParentColor() const { return fParentColor; }
    void SetParentColor(bool value);
    int32_t Size() const { return fSize; }
    void SetSize(int32_t value);
    TScrollBarStyle Style() const { return fStyle; }
    void SetStyle(TScrollBarStyle value);
    int32_t ThumbSize() const { return fThumbSize; }
    void SetThumbSize(int32_t value);

    // The range from the graph's extent, the margin and the zoom.
    void CalcAutoRange();
    // Visible on and the bar shown by the control.
    bool IsScrollBarVisible() const;
    // The client extent along this bar, adjusted for the other bar unless noAdjust: with
    // assumeOther as if the other bar were shown, else as if it were hidden.
    int32_t ControlSize(bool noAdjust, bool assumeOther) const;
    bool NeedsScrollBarVisible() const { return ControlSize(false, false) < fRange; }
    void ScrollMessage(TScrollCode code, int32_t thumbPos = 0);
    void Update(bool noAdjust, bool assumeOther);
    void ChangeBiDiPosition();

private:
    QScrollBar *Bar() const;
    void SetRange(int32_t value);
    // Moves the position by delta pixels (negative towards 0); false when it did not move.
    bool StepBy(int64_t delta);
    void SmoothStep(int32_t step, int32_t count, int32_t remainder, int32_t sign);
    void AppearanceChanged();
    void ApplyAppearance();
    void SetBarValue(int32_t value);
    void BarActionTriggered(int action);
    void BarValueChanged(int value);

    TGraphControl *fOwner;
    uint16_t fIncrement = 8;
    uint16_t fPageIncrement = 80;
    int32_t fPosition = 0;
    int32_t fRange = 0;
    int32_t fCalcRange = 0;
    TScrollBarKind fKind;
    uint16_t fMargin = 0;
    bool fVisible = true;
    bool fTracking = false;
    bool fSmooth = false;
    int32_t fDelay = 10;
    int32_t fButtonSize = 0;
    TColor fColor = clBtnHighlight;
    bool fParentColor = true;
    int32_t fSize = 0;
    TScrollBarStyle fStyle = ssRegular;
    int32_t fThumbSize = 0;
    int32_t fPageDiv = 12;
    int32_t fLineDiv = 4;
    bool fUpdateNeeded = true;
    // Set while this object changes the Qt bar, whose own signals must then be ignored.
    bool fSyncing = false;
    QMetaObject::Connection fActionConnection;
    QMetaObject::Connection fValueConnection;
};

} // namespace talivo
