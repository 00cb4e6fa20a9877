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

TGraphScrollBar::TGraphScrollBar(TGraphControl *owner, TScrollBarKind kind)
    : fOwner(owner), fKind(kind)
{
    QScrollBar *b = Bar();
    if (fKind == sbHorizontal)
        fOwner->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    else
        fOwner->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    b->setRange(0, 0);
    b->setTracking(fTracking);
    b->setSingleStep(fIncrement);
    fActionConnection = QObject::connect(b, &QAbstractSlider::actionTriggered, fOwner,
                                         [this](int action) { BarActionTriggered(action); });
    fValueConnection = QObject::connect(b, &QAbstractSlider::valueChanged, fOwner,
                                        [this](int value) { BarValueChanged(value); });
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

void TGraphScrollBar::Assign(const TGraphScrollBar &source)
{
    if (&source == this)
        return;
    fButtonSize = source.fButtonSize;
    fColor = source.fColor;
    fParentColor = source.fParentColor;
    fSize = source.fSize;
    fStyle = source.fStyle;
    fThumbSize = source.fThumbSize;
    fUpdateNeeded = true;
    SetIncrement(source.fIncrement);
    fSmooth = source.fSmooth;
    fDelay = source.fDelay;
    fLineDiv = source.fLineDiv;
    fPageDiv = source.fPageDiv;
    SetTracking(source.fTracking);
    fMargin = source.fMargin;
    fVisible = source.fVisible;
    CalcAutoRange();
    fOwner->UpdateScrollBars();
    SetPosition(source.fPosition);
}

void TGraphScrollBar::SetPosition(int32_t value)
{
    value = std::clamp(value, 0, std::max(fCalcRange, 0));
    if (value != fPosition) {
        const int32_t delta = fPosition - value;
        fPosition = value;
        if (fKind == sbHorizontal)
            fOwner->ScrollBy(delta, 0);
        else
            fOwner->ScrollBy(0, delta);
    }
    if (Bar()->value() != fPosition)
        SetBarValue(fPosition);
}

void TGraphScrollBar::SetBarValue(int32_t value)
{
    const bool wasSyncing = fSyncing;
    fSyncing = true;
    Bar()->setValue(value);
    fSyncing = wasSyncing;
}

void TGraphScrollBar::SetIncrement(uint16_t value)
{
    fIncrement = value;
    Bar()->setSingleStep(value);
}

void TGraphScrollBar::SetMargin(uint16_t value)
{
    if (value != fMargin) {
        fMargin = value;
        CalcAutoRange();
    }
}

void TGraphScrollBar::SetVisible(bool value)
{
    if (value != fVisible) {
        fVisible = value;
        fOwner->UpdateScrollBars();
    }
}

void TGraphScrollBar::SetTracking(bool value)
{
    fTracking = value;
    // With Qt's own tracking off the bar reports a dragged thumb only when it is released.
    Bar()->setTracking(value);
}

void TGraphScrollBar::SetSmooth(bool value)
{
    if (value != fSmooth) {
        fSmooth = value;
        if (value)
            SetIncrement(fPageIncrement / 10);
    }
}

void TGraphScrollBar::SetDelay(int32_t value)
{
    fDelay = std::max(value, 0);
}

// The divisors of smooth scrolling stay positive, so a bad setting cannot divide by zero.
void TGraphScrollBar::SetLineDiv(int32_t value)
{
    fLineDiv = std::max(value, 1);
}

void TGraphScrollBar::SetPageDiv(int32_t value)
{
    fPageDiv = std::max(value, 1);
}

void TGraphScrollBar::SetButtonSize(int32_t value)
{
    if (value != fButtonSize) {
        fButtonSize = value;
        AppearanceChanged();
    }
}

void TGraphScrollBar::SetColor(TColor value)
{
    if (value != fColor) {
        fColor = value;
        fParentColor = false;
        AppearanceChanged();
    }
}

void TGraphScrollBar::SetParentColor(bool value)
{
    if (value != fParentColor) {
        fParentColor = value;
        AppearanceChanged();
    }
}

void TGraphScrollBar::SetSize(int32_t value)
{
    if (value != fSize) {
        fSize = value;
        AppearanceChanged();
    }
}

void TGraphScrollBar::SetStyle(TScrollBarStyle value)
{
    if (value != fStyle) {
        fStyle = value;
        AppearanceChanged();
    }
}

void TGraphScrollBar::SetThumbSize(int32_t value)
{
    if (value != fThumbSize) {
        fThumbSize = value;
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
    QScrollBar *b = Bar();
    if (fParentColor) {
        b->setPalette(QPalette());
    } else {
        QPalette palette = b->palette();
        palette.setColor(QPalette::Button, ColorToQColor(fColor));
        b->setPalette(palette);
    }
}

void TGraphScrollBar::SetRange(int32_t value)
{
    if (value != fRange) {
        fRange = value;
        if (fOwner->AutoRangeCount == 0)
            fOwner->UpdateScrollBars();
    }
}

void TGraphScrollBar::CalcAutoRange()
{
    TGraphControl &graph = *fOwner;
    const bool horz = fKind == sbHorizontal;
    int64_t extent = 1;
    if (graph.FixedScrollBars()) {
        extent = horz ? graph.GraphConstraints().MaxRight() : graph.GraphConstraints().MaxBottom();
    } else {
        if (graph.fValidMarkedArea) {
            const int32_t bandEnd = horz ? graph.fMarkedArea.Right : graph.fMarkedArea.Bottom;
            extent = std::max<int64_t>(extent, bandEnd);
        }
        const TRect bounds = graph.GraphBounds();
        extent = std::max<int64_t>(extent, horz ? bounds.Right : bounds.Bottom);
    }
    const int64_t value = extent + fMargin;
    // A huge graph at a high zoom would leave the 32-bit range: the range saturates instead.
    SetRange(value > 0 ? ClampToInt32(std::llrint(static_cast<double>(value) * graph.Zoom() / 100))
                       : 0);
}

bool TGraphScrollBar::IsScrollBarVisible() const
{
    const Qt::ScrollBarPolicy policy = fKind == sbHorizontal ? fOwner->horizontalScrollBarPolicy()
                                                             : fOwner->verticalScrollBarPolicy();
    return fVisible && policy == Qt::ScrollBarAlwaysOn;
}

int32_t TGraphScrollBar::ControlSize(bool noAdjust, bool assumeOther) const
{
    const QWidget *client = fOwner->viewport();
    int32_t result = fKind == sbHorizontal ? client->width() : client->height();
    if (noAdjust)
        return result;
    const TGraphScrollBar &other =
        fKind == sbHorizontal ? *fOwner->fVertScrollBar : *fOwner->fHorzScrollBar;
    const int32_t border = fOwner->frameWidth() > 0 ? 1 : 0;
    const int32_t otherSize = fOwner->ScrollBarExtent() - border;
    if (assumeOther) {
        if (!other.IsScrollBarVisible())
            result -= otherSize;
    } else if (other.IsScrollBarVisible()) {
        result += otherSize;
    }
    return result;
}

void TGraphScrollBar::Update(bool noAdjust, bool assumeOther)
{
    const int32_t page = ControlSize(noAdjust, assumeOther);
    fCalcRange = fVisible ? std::max(0, ClampToInt32(int64_t{fRange} - page)) : 0;
    QScrollBar *b = Bar();
    if (fUpdateNeeded) {
        ApplyAppearance();
        fUpdateNeeded = false;
    }
    const bool wasSyncing = fSyncing;
    fSyncing = true;
    if (fKind == sbHorizontal) {
        // Qt mirrors a horizontal bar in a right-to-left layout, but the graph is not mirrored:
        // inverting it again keeps the thumb where the visible part of the graph is.
        b->setInvertedAppearance(b->layoutDirection() == Qt::RightToLeft);
    }
    b->setRange(0, fCalcRange >= 1 ? fCalcRange : 0);
    b->setPageStep(std::max(page, 0));
    const Qt::ScrollBarPolicy policy =
        fCalcRange >= 1 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (fKind == sbHorizontal)
        fOwner->setHorizontalScrollBarPolicy(policy);
    else
        fOwner->setVerticalScrollBarPolicy(policy);
    fSyncing = wasSyncing;
    SetPosition(fPosition);
    fPageIncrement = static_cast<uint16_t>(std::clamp(ControlSize(true, false) * 9 / 10, 0, 65535));
    if (fSmooth)
        SetIncrement(fPageIncrement / 10);
}

void TGraphScrollBar::ChangeBiDiPosition()
{
    if (fKind == sbHorizontal && IsScrollBarVisible())
        SetPosition(fOwner->UseRightToLeftReading() ? fRange : 0);
    fOwner->UpdateScrollBars();
}

bool TGraphScrollBar::StepBy(int64_t delta)
{
    const int32_t old = fPosition;
    SetPosition(ClampToInt32(fPosition + delta));
    return fPosition != old;
}

void TGraphScrollBar::SmoothStep(int32_t step, int32_t count, int32_t remainder, int32_t sign)
{
    // A step that moves the position repaints the control at once (SetPosition scrolls it); one
    // that moves nothing has reached the end of the range, and so would every further one.
    if (step > 0) {
        QElapsedTimer timer;
        timer.start();
        for (int32_t i = 0; i < count; ++i) {
            const qint64 wait = fDelay - timer.elapsed();
            if (i > 0 && wait > 0)
                QThread::msleep(static_cast<unsigned long>(wait));
            timer.restart();
            if (!StepBy(int64_t{sign} * step))
                return;
        }
    }
    if (remainder > 0)
        StepBy(int64_t{sign} * remainder);
}

void TGraphScrollBar::ScrollMessage(TScrollCode code, int32_t thumbPos)
{
    switch (code) {
    case scLineUp:
    case scLineDown: {
        const int32_t sign = code == scLineUp ? -1 : 1;
        if (fSmooth)
            SmoothStep(fIncrement / fLineDiv, fLineDiv, fIncrement % fLineDiv, sign);
        else
            StepBy(int64_t{sign} * fIncrement);
        break;
    }
    case scPageUp:
    case scPageDown: {
        const int32_t sign = code == scPageUp ? -1 : 1;
        if (fSmooth)
            SmoothStep(fPageIncrement / fPageDiv, fPageDiv, fPageIncrement % fPageDiv, sign);
        else
            StepBy(int64_t{sign} * ControlSize(true, false));
        break;
    }
    case scPosition:
        SetPosition(thumbPos);
        break;
    case scTrack:
        if (fTracking)
            SetPosition(thumbPos);
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

void TGraphScrollBar::BarActionTriggered(int action)
{
    if (fSyncing || !fVisible)
        return;
    QScrollBar *b = Bar();
    const int32_t thumb = b->sliderPosition();
    TScrollCode code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = scLineUp;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = scLineDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = scPageUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = scPageDown;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = scTop;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = scBottom;
        break;
    case QAbstractSlider::SliderMove:
        code = b->isSliderDown() ? scTrack : scPosition;
        break;
    default:
        return;
    }
    // Qt has already moved its thumb by its own steps and is about to take that as the value:
    // put it back, so that only the position the steps below arrive at reaches the bar.
    fSyncing = true;
    b->setSliderPosition(fPosition);
    fSyncing = false;
    ScrollMessage(code, thumb);
}

void TGraphScrollBar::BarValueChanged(int value)
{
    // Someone set the Qt bar's value directly: the control's position follows.
    if (!fSyncing && value != fPosition)
        SetPosition(value);
}

} // namespace talivo
