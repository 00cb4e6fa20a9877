#include "graph/control/GraphScrollBar.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/control/GraphControl.h"

#include <QElapsedTimer>
#include <QPalette>
#include <QScrollBar>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <limits>

namespace talivo {

namespace {} // namespace

TGraphScrollBar::TGraphScrollBar(TGraphControl *AOwner, TScrollBarKind AKind)
    : fOwner(AOwner), fKind(AKind)
{
    QScrollBar *B = Bar();
    if (fKind == sbHorizontal) {
        fOwner->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        fOwner->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    B->setRange(0, 0);
    B->setTracking(fTracking);
    B->setSingleStep(fIncrement);
    fActionConnection = QObject::connect(B, &QAbstractSlider::actionTriggered, fOwner,
                                         [this](int Action) { BarActionTriggered(Action); });
    fValueConnection = QObject::connect(B, &QAbstractSlider::valueChanged, fOwner,
                                        [this](int Value) { BarValueChanged(Value); });
}

TGraphScrollBar::~TGraphScrollBar()
{
    QObject::disconnect(fActionConnection);
    QObject::disconnect(fValueConnection);
}

QScrollBar *TGraphScrollBar::Bar() const
{
    return fKind == sbHorizontal ? fOwner->horizontalScrollBar() : fOwner->verticalScrollBar();
}

void TGraphScrollBar::Assign(const TGraphScrollBar &Source)
{
    if (&Source == this) {
        return;
    }
    fButtonSize = Source.fButtonSize;
    fColor = Source.fColor;
    fParentColor = Source.fParentColor;
    fSize = Source.fSize;
    fStyle = Source.fStyle;
    fThumbSize = Source.fThumbSize;
    fUpdateNeeded = true;
    SetIncrement(Source.fIncrement);
    fSmooth = Source.fSmooth;
    fDelay = Source.fDelay;
    fLineDiv = Source.fLineDiv;
    fPageDiv = Source.fPageDiv;
    SetTracking(Source.fTracking);
    fMargin = Source.fMargin;
    fVisible = Source.fVisible;
    CalcAutoRange();
    fOwner->UpdateScrollBars();
    SetPosition(Source.fPosition);
}

void TGraphScrollBar::SetPosition(int32_t Value)
{
    Value = std::clamp(Value, 0, std::max(fCalcRange, 0));
    if (Value != fPosition) {
        const int32_t Delta = fPosition - Value;
        fPosition = Value;
        if (fKind == sbHorizontal) {
            fOwner->ScrollBy(Delta, 0);
        } else {
            fOwner->ScrollBy(0, Delta);
        }
    }
    if (Bar()->value() != fPosition) {
        SetBarValue(fPosition);
    }
}

void TGraphScrollBar::SetBarValue(int32_t Value)
{
    const bool WasSyncing = fSyncing;
    fSyncing = true;
    Bar()->setValue(Value);
    fSyncing = WasSyncing;
}

void TGraphScrollBar::SetIncrement(uint16_t Value)
{
    fIncrement = Value;
    Bar()->setSingleStep(Value);
}

void TGraphScrollBar::SetMargin(uint16_t Value)
{
    if (Value != fMargin) {
        fMargin = Value;
        CalcAutoRange();
    }
}

void TGraphScrollBar::SetVisible(bool Value)
{
    if (Value != fVisible) {
        fVisible = Value;
        fOwner->UpdateScrollBars();
    }
}

void TGraphScrollBar::SetTracking(bool Value)
{
    fTracking = Value;
    // With Qt's own tracking off the bar reports a dragged thumb only when it is released.
    Bar()->setTracking(Value);
}

void TGraphScrollBar::SetSmooth(bool Value)
{
    if (Value != fSmooth) {
        fSmooth = Value;
        if (Value) {
            SetIncrement(fPageIncrement / 10);
        }
    }
}

void TGraphScrollBar::SetDelay(int32_t Value)
{
    fDelay = std::max(Value, 0);
}

// The divisors of smooth scrolling stay positive, so a bad setting cannot divide by zero.
void TGraphScrollBar::SetLineDiv(int32_t Value)
{
    fLineDiv = std::max(Value, 1);
}

void TGraphScrollBar::SetPageDiv(int32_t Value)
{
    fPageDiv = std::max(Value, 1);
}

void TGraphScrollBar::SetButtonSize(int32_t Value)
{
    if (Value != fButtonSize) {
        fButtonSize = Value;
        AppearanceChanged();
    }
}

void TGraphScrollBar::SetColor(TColor Value)
{
    if (Value != fColor) {
        fColor = Value;
        fParentColor = false;
        AppearanceChanged();
    }
}

void TGraphScrollBar::SetParentColor(bool Value)
{
    if (Value != fParentColor) {
        fParentColor = Value;
        AppearanceChanged();
    }
}

void TGraphScrollBar::SetSize(int32_t Value)
{
    if (Value != fSize) {
        fSize = Value;
        AppearanceChanged();
    }
}

void TGraphScrollBar::SetStyle(TScrollBarStyle Value)
{
    if (Value != fStyle) {
        fStyle = Value;
        AppearanceChanged();
    }
}

void TGraphScrollBar::SetThumbSize(int32_t Value)
{
    if (Value != fThumbSize) {
        fThumbSize = Value;
        AppearanceChanged();
    }
}

void TGraphScrollBar::AppearanceChanged()
{
    fUpdateNeeded = true;
    fOwner->UpdateScrollBars();
}

// Qt's scroll bars draw themselves in the style's manner: of the appearance only the colour has
// an equivalent, the sizes and the style stay settings.
void TGraphScrollBar::ApplyAppearance()
{
    QScrollBar *B = Bar();
    if (fParentColor) {
        B->setPalette(QPalette());
    } else {
        QPalette Palette = B->palette();
        Palette.setColor(QPalette::Button, ColorToQColor(fColor));
        B->setPalette(Palette);
    }
}

void TGraphScrollBar::SetRange(int32_t Value)
{
    if (Value != fRange) {
        fRange = Value;
        if (fOwner->AutoRangeCount == 0) {
            fOwner->UpdateScrollBars();
        }
    }
}

void TGraphScrollBar::CalcAutoRange()
{
    TGraphControl &Graph = *fOwner;
    const bool Horz = fKind == sbHorizontal;
    int64_t Extent = 1;
    if (Graph.FixedScrollBars()) {
        Extent = Horz ? Graph.GraphConstraints().MaxRight() : Graph.GraphConstraints().MaxBottom();
    } else {
        if (Graph.fValidMarkedArea) {
            const int32_t BandEnd = Horz ? Graph.fMarkedArea.Right : Graph.fMarkedArea.Bottom;
            Extent = std::max<int64_t>(Extent, BandEnd);
        }
        const TRect Bounds = Graph.GraphBounds();
        Extent = std::max<int64_t>(Extent, Horz ? Bounds.Right : Bounds.Bottom);
    }
    const int64_t Value = Extent + fMargin;
    // A huge graph at a high zoom would leave the 32-bit range: the range saturates instead.
    SetRange(Value > 0 ? ClampToInt32(std::llrint(static_cast<double>(Value) * Graph.Zoom() / 100))
                       : 0);
}

bool TGraphScrollBar::IsScrollBarVisible() const
{
    const Qt::ScrollBarPolicy Policy = fKind == sbHorizontal ? fOwner->horizontalScrollBarPolicy()
                                                             : fOwner->verticalScrollBarPolicy();
    return fVisible && Policy == Qt::ScrollBarAlwaysOn;
}

int32_t TGraphScrollBar::ControlSize(bool NoAdjust, bool AssumeOther) const
{
    const QWidget *Client = fOwner->viewport();
    int32_t Result = fKind == sbHorizontal ? Client->width() : Client->height();
    if (NoAdjust) {
        return Result;
    }
    const TGraphScrollBar &Other =
        fKind == sbHorizontal ? *fOwner->fVertScrollBar : *fOwner->fHorzScrollBar;
    const int32_t Border = fOwner->frameWidth() > 0 ? 1 : 0;
    const int32_t OtherSize = fOwner->ScrollBarExtent() - Border;
    if (AssumeOther) {
        if (!Other.IsScrollBarVisible()) {
            Result -= OtherSize;
        }
    } else if (Other.IsScrollBarVisible()) {
        Result += OtherSize;
    }
    return Result;
}

void TGraphScrollBar::Update(bool NoAdjust, bool AssumeOther)
{
    const int32_t Page = ControlSize(NoAdjust, AssumeOther);
    fCalcRange = fVisible ? std::max(0, ClampToInt32(int64_t{fRange} - Page)) : 0;
    QScrollBar *B = Bar();
    if (fUpdateNeeded) {
        ApplyAppearance();
        fUpdateNeeded = false;
    }
    const bool WasSyncing = fSyncing;
    fSyncing = true;
    if (fKind == sbHorizontal) {
        // Qt mirrors a horizontal bar in a right-to-left layout, but the graph is not mirrored:
        // inverting it again keeps the thumb where the visible part of the graph is.
        B->setInvertedAppearance(B->layoutDirection() == Qt::RightToLeft);
    }
    B->setRange(0, fCalcRange >= 1 ? fCalcRange : 0);
    B->setPageStep(std::max(Page, 0));
    const Qt::ScrollBarPolicy Policy =
        fCalcRange >= 1 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (fKind == sbHorizontal) {
        fOwner->setHorizontalScrollBarPolicy(Policy);
    } else {
        fOwner->setVerticalScrollBarPolicy(Policy);
    }
    fSyncing = WasSyncing;
    SetPosition(fPosition);
    fPageIncrement = static_cast<uint16_t>(std::clamp(ControlSize(true, false) * 9 / 10, 0, 65535));
    if (fSmooth) {
        SetIncrement(fPageIncrement / 10);
    }
}

void TGraphScrollBar::ChangeBiDiPosition()
{
    if (fKind == sbHorizontal && IsScrollBarVisible()) {
        SetPosition(fOwner->UseRightToLeftReading() ? fRange : 0);
    }
    fOwner->UpdateScrollBars();
}

bool TGraphScrollBar::StepBy(int64_t Delta)
{
    const int32_t Old = fPosition;
    SetPosition(ClampToInt32(fPosition + Delta));
    return fPosition != Old;
}

void TGraphScrollBar::SmoothStep(int32_t Step, int32_t Count, int32_t Remainder, int32_t Sign)
{
    // A step that moves the position repaints the control at once (SetPosition scrolls it); one
    // that moves nothing has reached the end of the range, and so would every further one.
    if (Step > 0) {
        QElapsedTimer Timer;
        Timer.start();
        for (int32_t I = 0; I < Count; ++I) {
            const qint64 Wait = fDelay - Timer.elapsed();
            if (I > 0 && Wait > 0) {
                QThread::msleep(static_cast<unsigned long>(Wait));
            }
            Timer.restart();
            if (!StepBy(int64_t{Sign} * Step)) {
                return;
            }
        }
    }
    if (Remainder > 0) {
        StepBy(int64_t{Sign} * Remainder);
    }
}

void TGraphScrollBar::ScrollMessage(TScrollCode Code, int32_t ThumbPos)
{
    switch (Code) {
    case scLineUp:
    case scLineDown: {
        const int32_t Sign = Code == scLineUp ? -1 : 1;
        if (fSmooth) {
            SmoothStep(fIncrement / fLineDiv, fLineDiv, fIncrement % fLineDiv, Sign);
        } else {
            StepBy(int64_t{Sign} * fIncrement);
        }
        break;
    }
    case scPageUp:
    case scPageDown: {
        const int32_t Sign = Code == scPageUp ? -1 : 1;
        if (fSmooth) {
            SmoothStep(fPageIncrement / fPageDiv, fPageDiv, fPageIncrement % fPageDiv, Sign);
        } else {
            StepBy(int64_t{Sign} * ControlSize(true, false));
        }
        break;
    }
    case scPosition:
        SetPosition(ThumbPos);
        break;
    case scTrack:
        if (fTracking) {
            SetPosition(ThumbPos);
        }
        break;
    case scTop:
        SetPosition(0);
        break;
    case scBottom:
        SetPosition(fCalcRange);
        break;
    case scEndScroll:
        break;
    }
}

void TGraphScrollBar::BarActionTriggered(int Action)
{
    if (fSyncing || !fVisible) {
        return;
    }
    QScrollBar *B = Bar();
    const int32_t Thumb = B->sliderPosition();
    TScrollCode Code;
    switch (Action) {
    case QAbstractSlider::SliderSingleStepSub:
        Code = scLineUp;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        Code = scLineDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        Code = scPageUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Code = scPageDown;
        break;
    case QAbstractSlider::SliderToMinimum:
        Code = scTop;
        break;
    case QAbstractSlider::SliderToMaximum:
        Code = scBottom;
        break;
    case QAbstractSlider::SliderMove:
        Code = B->isSliderDown() ? scTrack : scPosition;
        break;
    default:
        return;
    }
    // Qt has already moved its thumb by its own steps and is about to take that as the value:
    // put it back, so that only the position the steps below arrive at reaches the bar.
    fSyncing = true;
    B->setSliderPosition(fPosition);
    fSyncing = false;
    ScrollMessage(Code, Thumb);
}

void TGraphScrollBar::BarValueChanged(int Value)
{
    // Someone set the Qt bar's value directly: the control's position follows.
    if (!fSyncing && Value != fPosition) {
        SetPosition(Value);
    }
}

} // namespace talivo
