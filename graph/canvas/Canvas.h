#pragma once

#include "graph/canvas/CanvasTools.h"
#include "graph/canvas/Types.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPen>
#include <QPicture>
#include <QRect>
#include <QRegion>
#include <QString>

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class QPainter;
class QPaintDevice;

namespace talivo {

// DrawText flags, with the system's values.
constexpr uint32_t DT_TOP = 0x00000000;
constexpr uint32_t DT_LEFT = 0x00000000;
constexpr uint32_t DT_CENTER = 0x00000001;
constexpr uint32_t DT_RIGHT = 0x00000002;
constexpr uint32_t DT_VCENTER = 0x00000004;
constexpr uint32_t DT_BOTTOM = 0x00000008;
constexpr uint32_t DT_SINGLELINE = 0x00000020;
constexpr uint32_t DT_NOCLIP = 0x00000100;
constexpr uint32_t DT_CALCRECT = 0x00000400;
constexpr uint32_t DT_NOPREFIX = 0x00000800;
constexpr uint32_t DT_EDITCONTROL = 0x00002000;
constexpr uint32_t DT_RTLREADING = 0x00020000;

// TextFlags understood by TextOut.
constexpr int32_t ETO_RTLREADING = 0x00000080;

// CopyMode values understood by StretchDraw; any other value copies.
constexpr int32_t cmSrcCopy = 0x00CC0020;
constexpr int32_t cmSrcPaint = 0x00EE0086;
constexpr int32_t cmSrcAnd = 0x008800C6;
constexpr int32_t cmSrcInvert = 0x00660046;
constexpr int32_t cmNotSrcCopy = 0x00330008;
constexpr int32_t cmDstInvert = 0x00550009;

// A drawing surface in the manner of the system's device context: brush, pen and font objects,
// logical coordinates mapped to the device by an anisotropic window/viewport mapping, clipping
// and text measurement. It draws through a QPainter on whatever it is bound to (a widget during
// its paint event, a QImage, a QPicture recording); unbound it only measures text.
//
// Mapping: device = (logical - WindowOrg) * ViewportExt / WindowExt + ViewportOrg, rounded to
// the nearest integer with ties to even. The painter itself stays in device pixels: every
// coordinate goes through LPtoDP before it is drawn, so what is drawn and what LPtoDP reports
// (and hence the repaint areas computed from it) never disagree by a rounding.
//
// Pixel coverage, with all corners mapped to the device first:
// - Rectangle, Ellipse and RoundRect with an outline cover L..R and T..B inclusive, so a region
//   (L, T, R + 1, B + 1) covers exactly the pixels of the drawn outline. Without an outline
//   (psClear) the fill alone covers L..R-1 x T..B-1, one pixel less, like the system's shapes
//   drawn with a null pen.
// - FillRect covers L..R-1 x T..B-1, like a region; FrameRect is the border of those pixels.
// - LineTo covers both end points; Polygon and Polyline cover their vertices.
// - A pen of width 0 is one device pixel at any mapping; a wider pen scales with the mapping
//   and is centred on the outline, except psInsideFrame, which keeps it inside L..R x T..B.
//
// Pen modes: pmCopy draws, pmNop draws nothing, pmBlack/pmWhite draw in black/white,
// pmNotCopy in the inverted pen colour. The modes that combine with the destination (pmNot,
// pmXor, pmMerge, ...) become Qt raster operations and apply to outline and fill alike, so where
// a fill and an outline share pixels those are combined twice; inverting callers use bsClear.
// On a vector recording they degrade to plain drawing in the pen colour, since a recording has
// no destination pixels. Text, SetPixel, FillRect and FrameRect ignore the pen mode.
//
// Drawing is aliased so that pixels are exact; text is antialiased unless the font's quality
// asks otherwise.
class TCanvas {
public:
    TCanvas();
    virtual ~TCanvas();
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    // Binds the canvas to a device, like a fresh device context: the mapping returns to 1:1 and
    // there is no clip; brush, pen, font, copy mode and text flags stay. For a widget, call it in
    // the widget's paint event. False when Qt cannot paint on the device.
    bool BeginPaint(QPaintDevice &device);
    void EndPaint();
    bool IsBound() const { return fPainter != nullptr; }
    // True while drawing into a vector recording (a QPicture, SVG or PDF), which keeps every
    // drawing command: whoever draws there should treat everything as visible.
    bool IsVectorRecording() const { return fVectorRecording; }

    TBrush &Brush() { return fBrush; }
    const TBrush &Brush() const { return fBrush; }
    TPen &Pen() { return fPen; }
    const TPen &Pen() const { return fPen; }
    TFont &Font() { return fFont; }
    const TFont &Font() const { return fFont; }
    int32_t CopyMode() const { return fCopyMode; }
    void SetCopyMode(int32_t value) { fCopyMode = value; }
    int32_t TextFlags() const { return fTextFlags; }
    void SetTextFlags(int32_t value) { fTextFlags = value; }
    TPoint PenPos() const { return fPenPos; }
    void SetPenPos(const TPoint &value) { fPenPos = value; }

    // Extents with a zero component are refused, as the system refuses them.
    TPoint WindowOrg() const { return fMapping.WindowOrg; }
    void SetWindowOrg(const TPoint &value) { fMapping.WindowOrg = value; }
    TSize WindowExt() const { return fMapping.WindowExt; }
    void SetWindowExt(const TSize &value);
    TPoint ViewportOrg() const { return fMapping.ViewportOrg; }
    void SetViewportOrg(const TPoint &value) { fMapping.ViewportOrg = value; }
    TSize ViewportExt() const { return fMapping.ViewportExt; }
    void SetViewportExt(const TSize &value);

    TPoint LPtoDP(const TPoint &point) const;
    TRect LPtoDP(const TRect &rect) const;
    TPoint DPtoLP(const TPoint &point) const;
    TRect DPtoLP(const TRect &rect) const;

    // The clip region is in device pixels and replaces any previous one.
    void SetClipRegion(const QRegion &deviceRegion);
    void ClearClip();
    bool HasClip() const { return fHasClip; }
    // The box around what can be drawn, in logical units: the clip region within the device, or
    // the whole device without a clip. A vector recording has no bounds of its own, so without a
    // clip its box is practically unbounded; an unbound canvas has an empty box.
    TRect ClipRect() const;

    // Saves and restores the mapping and the clip (not the tools, which TCanvasRecall keeps).
    void SaveState();
    void RestoreState();

    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Rectangle(const TRect &rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    // Between these, the plain rectangles drawn inside the device are held back and put down
    // together as one image of them, kept for the next run of the same shapes and colours: the
    // markers of a selected object are a handful of small squares, the same for every object of
    // one size, and drawn by the thousand. The pixels are those the rectangles give one by one;
    // anything else drawn during a run puts down what was held back first.
    void BeginRectangleRun();
    void EndRectangleRun();
    // A run for the guard's lifetime; one left by an exception is dropped, not drawn.
    class TRectangleRun {
    public:
        explicit TRectangleRun(TCanvas &canvas)
            : fCanvas(canvas), fExceptions(std::uncaught_exceptions())
        {
            canvas.BeginRectangleRun();
        }
        ~TRectangleRun()
        {
            if (std::uncaught_exceptions() > fExceptions)
                fCanvas.DropRectangleRun();
            else
                fCanvas.EndRectangleRun();
        }
        TRectangleRun(const TRectangleRun &) = delete;
        TRectangleRun &operator=(const TRectangleRun &) = delete;

    private:
        TCanvas &fCanvas;
        int fExceptions;
    };
    void FillRect(const TRect &rect);
    void FrameRect(const TRect &rect);
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Ellipse(const TRect &rect) { Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    // cornerWidth and cornerHeight are the size of the ellipse that rounds the corners.
    void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                   int32_t cornerHeight);
    void Polygon(const TPoints &points);
    void Polyline(const TPoints &points);
    void MoveTo(int32_t x, int32_t y) { fPenPos = {x, y}; }
    void LineTo(int32_t x, int32_t y);
    // One device pixel at the mapped point, whatever the mapping.
    void SetPixel(int32_t x, int32_t y, TColor color);
    void StretchDraw(const TRect &rect, const QImage &image);
    // The picture's bounding rectangle is stretched onto rect.
    void StretchDraw(const TRect &rect, const QPicture &picture);

    // (x, y) is the top-left corner of the text's cell. The cell is filled with the brush colour
    // first unless the brush style is bsClear.
    void TextOut(int32_t x, int32_t y, const QString &text);
    // Extents of the whole run (kerning included), in logical units. Virtual so that a canvas
    // may measure for another device than the screen's fonts.
    virtual TSize TextExtent(const QString &text) const;
    int32_t TextWidth(const QString &text) const { return TextExtent(text).cx; }
    int32_t TextHeight(const QString &text) const { return TextExtent(text).cy; }
    bool HasGlyph(char32_t character) const;
    // Draws text into rect with DT_ flags. Without DT_SINGLELINE, lines break only at the CR LF,
    // CR or LF the text contains (a trailing break adds an empty line). The vertical alignment
    // applies to the block of lines. Without DT_NOPREFIX "&&" shows as "&" and a single "&" is
    // dropped (no underline is drawn). DT_EDITCONTROL changes nothing, as no word breaking is
    // done. With DT_CALCRECT nothing is drawn and rect keeps its top-left corner and receives
    // the widest line's width and the summed line heights. Returns the text's height.
    int32_t DrawText(const QString &text, TRect &rect, uint32_t flags);

private:
    struct TMapping {
        TPoint WindowOrg;
        TSize WindowExt{1, 1};
        TPoint ViewportOrg;
        TSize ViewportExt{1, 1};

        friend bool operator==(const TMapping &, const TMapping &) = default;
    };
    struct TSavedState {
        TMapping Mapping;
        bool HasClip = false;
        QRegion Clip;
    };
    // Captions are short: for them a plain multiplicative hash of the characters is far cheaper
    // than the general string hash, which dominated measuring them. Long texts, taken in wide
    // steps, are hashed faster by the general one.
    struct TTextHash {
        size_t operator()(const QString &text) const noexcept
        {
            if (text.size() > kShortText)
                return qHash(text);
            uint64_t hash = 0xcbf29ce484222325u ^ uint64_t(text.size());
            for (const QChar ch : text)
                hash = (hash ^ ch.unicode()) * 0x100000001b3u;
            return size_t(hash ^ (hash >> 29));
        }
        static constexpr qsizetype kShortText = 16;
    };
    struct TDeviceFont {
        TFont Font;
        double Scale = 0.0;
        QFont QtFont;
        // The font's identity among the texts shaped for drawing.
        QString Key;
        std::optional<QFontMetrics> Metrics;
        // Shaping a text is costly and captions are measured over and over (runs while
        // wrapping, then each line again): the advances measured with this font so far, and
        // roughly the memory they take.
        std::unordered_map<QString, int, TTextHash> Advances;
        qsizetype AdvancesBytes = 0;
    };

    double ScaleX() const;
    double ScaleY() const;
    // The logical rectangle's corners in device pixels, normalised.
    QRect DeviceBox(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
    QRect DeviceArea() const;
    const TDeviceFont &DeviceFont() const;
    // The text's advance in device pixels with the device font.
    int DeviceAdvance(const QString &text) const;
    // Sets pen, brush and composition for a shape; false when the pen mode draws nothing.
    bool PrepareShape(bool filled);
    // The rectangle the outline of a shape with these logical bounds is drawn along, so that its
    // pixels cover the bounds as documented. Needs the shape's pen on the painter.
    QRectF OutlineRect(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
    // Sets the composition and the pen.
    void DrawTextLine(const QPoint &topLeft, const QString &text, bool rightToLeft);
    // The text's advance in device pixels, as DeviceAdvance, for a text about to be drawn.
    int DrawnAdvance(const QString &text) const;

    // A plain rectangle held back by a run: the box its outline runs along, in device pixels,
    // with the width of the pen (0 or 1) and the colours of outline and fill.
    struct TRunRectangle {
        QRect Box;
        int PenWidth;
        QRgb Pen;
        QRgb Brush;
    };
    // Draws a plain rectangle of a run, as Rectangle draws it.
    static void DrawRunRectangle(QPainter &painter, const TRunRectangle &rectangle);
    void DropRectangleRun() noexcept
    {
        fRun.clear();
        fInRun = false;
    }
    // Puts down the rectangles a run holds back.
    void FlushRun()
    {
        if (!fRun.empty())
            DrawRun();
    }
    void DrawRun();
    // The run's rectangles drawn once on a transparent image covering bounds, kept for the next
    // run of the same rectangles (relative to the image) and colours. Bounded, like the circles.
    static const QImage &RunImage(const std::vector<uint32_t> &key, const QRect &bounds,
                                  const std::vector<TRunRectangle> &run);

    // The tools PrepareShape last gave the painter, so that shapes drawn one after another with
    // the same tools (the markers of every selected object) do not build and set them again.
    // Only PrepareShape sets the painter's pen and brush outside a save and restore, and a line
    // of text, which sets the pen.
    struct TAppliedShape {
        bool Valid = false;
        bool Filled = false;
        double Scale = 0;
        TPen Pen;
        TBrush Brush;
        bool Draws = false;
        int Composition = 0;
        // An opaque solid outline one device pixel wide and an opaque solid fill, painted over
        // whatever lies below without any transformation: such a rectangle is two plain fills
        // of its pixels.
        bool Plain = false;
        QColor PenColor;
        QColor BrushColor;
        // The pen given to the painter; a line of text puts its own pen in its place.
        QPen QtPen;
        bool PenOnPainter = false;
    };

    std::unique_ptr<QPainter> fPainter;
    bool fInRun = false;
    std::vector<TRunRectangle> fRun;
    std::vector<uint32_t> fRunKey;
    // The device's pixels, taken when painting begins: asking a widget costs a screen lookup.
    QRect fDeviceRect;
    TAppliedShape fApplied;
    bool fVectorRecording = false;
    TBrush fBrush;
    TPen fPen;
    TFont fFont;
    int32_t fCopyMode = cmSrcCopy;
    int32_t fTextFlags = 0;
    TPoint fPenPos;
    TMapping fMapping;
    bool fHasClip = false;
    QRegion fClip;
    std::vector<TSavedState> fSavedStates;
    // ClipRect is asked once for every object drawn: it is kept until the device, the clip or
    // the mapping changes.
    mutable std::optional<TRect> fClipRect;
    mutable TMapping fClipRectMapping;
    mutable TDeviceFont fDeviceFont;
};

} // namespace talivo
