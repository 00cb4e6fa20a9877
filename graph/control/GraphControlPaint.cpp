#include "graph/control/GraphControl.h"

#include "graph/canvas/CanvasColors.h"
#include "graph/canvas/GraphUtils.h"
#include "platform/AtomicFile.h"
#include "platform/TranslatableError.h"

#include <QBuffer>
#include <QPaintEvent>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

namespace talivo {

namespace {

// a * b / c rounded half away from zero, like the system's MulDiv; c must not be 0.
int64_t MulDiv(int64_t a, int64_t b, int64_t c)
{
    const int64_t Product = a * b;
    const int64_t Quotient = Product / c;
    const int64_t Remainder = Product % c;
    if (2 * (Remainder < 0 ? -Remainder : Remainder) >= (c < 0 ? -c : c)) {
        return Quotient + ((Product < 0) != (c < 0) ? -1 : 1);
    }
    return Quotient;
}

// The smallest multiple of Step that is not less than Value.
int64_t CeilToMultiple(int64_t Value, int64_t Step)
{
    const int64_t Remainder = Value % Step;
    if (Remainder == 0) {
        return Value;
    }
    return Remainder > 0 ? Value - Remainder + Step : Value - Remainder;
}

QRect ToQRect(const TRect &Rect)
{
    return {QPoint(Rect.Left, Rect.Top), QPoint(Rect.Right - 1, Rect.Bottom - 1)};
}

TRect Inflated(const TRect &Rect, int32_t By)
{
    return {ClampToInt32(int64_t{Rect.Left} - By), ClampToInt32(int64_t{Rect.Top} - By),
            ClampToInt32(int64_t{Rect.Right} + By), ClampToInt32(int64_t{Rect.Bottom} + By)};
}

// The device column (Vertical false) or row at which a logical coordinate lands.
int32_t DeviceCoordinate(const TCanvas &Canvas, int32_t Value, bool Vertical)
{
    return Vertical ? Canvas.LPtoDP(TPoint{0, Value}).Y : Canvas.LPtoDP(TPoint{Value, 0}).X;
}

// For every device coordinate from First to Last - 1, the picture coordinate drawn there: the
// last one that starts at or before it, so that a picture pixel covers exactly the device pixels
// between where it and its successor land, the way an object's edge lands. Clamped to the
// picture's Size, since the device range may reach a pixel beyond either end.
std::vector<int32_t> SourceCoordinates(const TCanvas &Canvas, int32_t First, int32_t Last,
                                       int32_t Size, bool Vertical)
{
    const double Scale = Vertical
                             ? static_cast<double>(Canvas.ViewportExt().cy) / Canvas.WindowExt().cy
                             : static_cast<double>(Canvas.ViewportExt().cx) / Canvas.WindowExt().cx;
    // Picture coordinates sharing one device pixel: the search around the estimate spans them.
    const int64_t Span = static_cast<int64_t>(1.0 / Scale) + 2;
    std::vector<int32_t> Result;
    Result.reserve(static_cast<size_t>(std::max(Last - First, 0)));
    for (int32_t Device = First; Device < Last; ++Device) {
        const TPoint Estimate = Canvas.DPtoLP(TPoint{Device, Device});
        int64_t Low = int64_t{Vertical ? Estimate.Y : Estimate.X} - Span;
        int64_t High = Low + 2 * Span;
        // The largest coordinate in [Low, High] that lands at or before Device.
        while (Low < High) {
            const int64_t Middle = Low + (High - Low + 1) / 2;
            if (DeviceCoordinate(Canvas, ClampToInt32(Middle), Vertical) <= Device) {
                Low = Middle;
            } else {
                High = Middle - 1;
            }
        }
        Result.push_back(static_cast<int32_t>(std::clamp<int64_t>(Low, 0, Size - 1)));
    }
    return Result;
}

template <int BytesPerPixel>
void ResampleRow(uchar *Target, const uchar *Source, const std::vector<int32_t> &Columns)
{
    for (const int32_t Column : Columns) {
        std::memcpy(Target, Source + qsizetype{Column} * BytesPerPixel, BytesPerPixel);
        Target += BytesPerPixel;
    }
}

using TResampleRow = void (*)(uchar *, const uchar *, const std::vector<int32_t> &);

// The row copier for whole pixels of the depth; null when pixels are not whole bytes.
TResampleRow RowResampler(int Depth)
{
    switch (Depth) {
    case 8:
        return ResampleRow<1>;
    case 16:
        return ResampleRow<2>;
    case 24:
        return ResampleRow<3>;
    case 32:
        return ResampleRow<4>;
    case 64:
        return ResampleRow<8>;
    case 128:
        return ResampleRow<16>;
    default:
        return nullptr;
    }
}

// Picks the pixels of Image at the given columns and rows (nearest neighbour), both ascending and
// not empty. The result has Image's format, or a 32-bit one when its pixels are not whole bytes.
QImage Resample(const QImage &Image, std::vector<int32_t> Columns, std::vector<int32_t> Rows)
{
    TResampleRow Copy = RowResampler(Image.depth());
    if (!Copy) {
        // Only the part that is drawn is converted.
        const QRect Part(QPoint(Columns.front(), Rows.front()),
                         QPoint(Columns.back(), Rows.back()));
        for (int32_t &Column : Columns) {
            Column -= Part.left();
        }
        for (int32_t &Row : Rows) {
            Row -= Part.top();
        }
        return Resample(Image.copy(Part).convertToFormat(QImage::Format_ARGB32), std::move(Columns),
                        std::move(Rows));
    }
    QImage Result(static_cast<int>(Columns.size()), static_cast<int>(Rows.size()), Image.format());
    if (Result.isNull()) {
        return Result;
    }
    Result.setColorTable(Image.colorTable());
    const qsizetype RowBytes = qsizetype{Result.width()} * (Image.depth() / 8);
    for (size_t Row = 0; Row < Rows.size(); ++Row) {
        uchar *Target = Result.scanLine(static_cast<int>(Row));
        if (Row > 0 && Rows[Row] == Rows[Row - 1]) {
            std::memcpy(Target, Result.constScanLine(static_cast<int>(Row - 1)), RowBytes);
        } else {
            Copy(Target, Image.constScanLine(Rows[Row]), Columns);
        }
    }
    return Result;
}

// The part Area of the image, sharing the image's pixels where the format allows it: valid only
// while the image is.
QImage SubImage(const QImage &Image, const TRect &Area)
{
    if (!RowResampler(Image.depth())) {
        return Image.copy(ToQRect(Area));
    }
    const qsizetype Offset =
        qsizetype{Area.Top} * Image.bytesPerLine() + qsizetype{Area.Left} * (Image.depth() / 8);
    QImage View(Image.constBits() + Offset, Area.Width(), Area.Height(), Image.bytesPerLine(),
                Image.format());
    View.setColorTable(Image.colorTable());
    return View;
}

void SaveFile(const QString &fileName, const TFileContentWriter &write)
{
    WriteFileAtomically(fileName, write, [&](TSaveStep step, const QString &reason) {
        return std::make_exception_ptr(ETranslatableError(step == TSaveStep::Create
                                                              ? N_("Cannot create file %1: %2")
                                                              : N_("Cannot write file %1: %2"),
                                                          {fileName, reason}));
    });
}

} // namespace

void TGraphControl::Invalidate()
{
    PerformInvalidate({0, 0, viewport()->width(), viewport()->height()});
}

bool TGraphControl::PerformInvalidate(const TRect &ClientRect)
{
    // Only what lies in the window can be repainted; cutting there first also keeps far-off
    // coordinates out of Qt's integer rectangles.
    TRect Visible = ClientRect;
    IntersectRect(Visible, {0, 0, viewport()->width(), viewport()->height()});
    if (Visible.IsEmpty()) {
        return false;
    }
    const QRect Area = ToQRect(Visible);
    if (!IsUpdating() && RepaintBatchCount == 0) {
        viewport()->update(Area);
        return true;
    }
    SaveInvalidateRegion.Add(Area);
    return true;
}

void TGraphControl::InvalidateSelection()
{
    const TRepaintBatch Batch(*this);
    for (int32_t I = 0; I < SelectedObjects().Count(); ++I) {
        SelectedObjects()[I]->Invalidate();
    }
}

void TGraphControl::ApplyTransparency()
{
    // Opaque, the paint fills every pixel itself, so Qt neither erases the viewport first nor
    // paints what lies under it; transparent, Qt paints the parent under it.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, !fTransparent);
}

void TGraphControl::SetTransparent(bool Value)
{
    if (Value == fTransparent) {
        return;
    }
    fTransparent = Value;
    ApplyTransparency();
    Invalidate();
}

void TGraphControl::paintEvent(QPaintEvent *Event)
{
    // Qt's backing store already double-buffers the window, so the paint goes straight onto the
    // viewport. The canvas ends its painter when it goes, also when drawing raises; the
    // application object shows what is raised.
    TCanvas Canvas;
    if (!Canvas.BeginPaint(*viewport())) {
        return;
    }
    Canvas.SetClipRegion(Event->region());
    Canvas.Font().Assign(fFont);
    Canvas.Brush().SetColor(fColor);
    Canvas.Brush().SetStyle(bsSolid);
    if (!fTransparent) {
        const QRect Box = Event->region().boundingRect();
        Canvas.FillRect({Box.left(), Box.top(), Box.right() + 1, Box.bottom() + 1});
    }
    AdjustDC(Canvas);
    Paint(Canvas);
}

void TGraphControl::Paint(TCanvas &Canvas)
{
    if (fShowBackground) {
        DrawBackground(Canvas);
    }
    if (fShowGrid) {
        DrawGrid(Canvas);
    }
    DrawObjects(Canvas, Objects());
    DrawEditStates(Canvas);
}

void TGraphControl::DrawBackground(TCanvas &Canvas)
{
    const QImage &Image = Background().Image();
    if (Image.isNull()) {
        return;
    }
    // Only the part within the clip is drawn: a small repaint of a large picture then costs
    // little. The clip box was rounded to graph units, so one picture pixel more on each side
    // covers the device pixels a picture pixel only partly overlaps.
    TRect Area = Inflated(Canvas.ClipRect(), 1);
    IntersectRect(Area, {0, 0, Image.width(), Image.height()});
    if (!Area.IsEmpty()) {
        const bool OneToOne = Canvas.WindowExt() == Canvas.ViewportExt();
        const bool Upright = int64_t{Canvas.ViewportExt().cx} * Canvas.WindowExt().cx > 0 &&
                             int64_t{Canvas.ViewportExt().cy} * Canvas.WindowExt().cy > 0;
        if (Canvas.IsVectorRecording()) {
            // A recording may keep the image it is given beyond this picture's lifetime.
            Canvas.StretchDraw(Area, Image.copy(ToQRect(Area)));
        } else if (OneToOne || !Upright) {
            Canvas.StretchDraw(Area, SubImage(Image, Area));
        } else {
            DrawBackgroundScaled(Canvas, Image, Area);
        }
    }
    // The clip stays: on screen it is the region being repainted, and objects outside it are
    // skipped by it.
    Canvas.Brush().SetStyle(bsClear);
}

void TGraphControl::DrawBackgroundScaled(TCanvas &Canvas, const QImage &Image, const TRect &Area)
{
    // Area reaches a picture pixel beyond the clip on each side, so its device pixels cover the
    // clip even where the clip box was rounded inwards.
    const TRect Device = Canvas.LPtoDP(Area);
    const QRect Box = ToQRect(Device);
    if (Box.isEmpty()) {
        return;
    }
    const std::vector<int32_t> Columns =
        SourceCoordinates(Canvas, Box.left(), Box.right() + 1, Image.width(), false);
    const std::vector<int32_t> Rows =
        SourceCoordinates(Canvas, Box.top(), Box.bottom() + 1, Image.height(), true);
    const QImage Scaled = Resample(Image, Columns, Rows);
    if (Scaled.isNull()) {
        return;
    }
    // The scaled pixels go on one to one.
    Canvas.SaveState();
    Canvas.SetWindowOrg({0, 0});
    Canvas.SetWindowExt({1, 1});
    Canvas.SetViewportOrg({0, 0});
    Canvas.SetViewportExt({1, 1});
    Canvas.StretchDraw({Box.left(), Box.top(), Box.right() + 1, Box.bottom() + 1}, Scaled);
    Canvas.RestoreState();
}

void TGraphControl::DrawGrid(TCanvas &Canvas)
{
    TRect Area = Canvas.ClipRect();
    IntersectRect(Area, GraphConstraints().BoundsRect());
    if (Area.IsEmpty()) {
        return;
    }
    Canvas.Pen().SetMode(pmCopy);
    const TColor Color = ColorToRGB(fGridColor);
    // Where the zoom packs several lattice lines into one device pixel, that pixel is set once.
    const auto Lines = [&](int32_t First, int32_t Last, bool Vertical) {
        std::vector<int32_t> Result;
        int32_t LastDevice = 0;
        for (int64_t Line = CeilToMultiple(First, fGridSize); Line < Last; Line += fGridSize) {
            const int32_t Device = DeviceCoordinate(Canvas, static_cast<int32_t>(Line), Vertical);
            if (Result.empty() || Device != LastDevice) {
                Result.push_back(static_cast<int32_t>(Line));
                LastDevice = Device;
            }
        }
        return Result;
    };
    const std::vector<int32_t> Columns = Lines(Area.Left, Area.Right, false);
    for (const int32_t Y : Lines(Area.Top, Area.Bottom, true)) {
        for (const int32_t X : Columns) {
            Canvas.SetPixel(X, Y, Color);
        }
    }
}

void TGraphControl::DrawObjects(TCanvas &Canvas, const TGraphObjectList &List)
{
    DoBeforeDraw(Canvas);
    fCanvasRecall.SetReference(&Canvas);
    try {
        fDocument.DrawObjects(Canvas, List);
    } catch (...) {
        fCanvasRecall.SetReference(nullptr);
        throw;
    }
    fCanvasRecall.SetReference(nullptr);
    DoAfterDraw(Canvas);
}

void TGraphControl::DrawEditStates(TCanvas &Canvas)
{
    if (!fHideSelection || hasFocus()) {
        for (int32_t I = 0; I < SelectedObjects().Count(); ++I) {
            SelectedObjects()[I]->DrawState(Canvas);
        }
    }
    if (fValidMarkedArea && !fMarkedArea.IsEmpty()) {
        Canvas.Brush().SetStyle(bsClear);
        Canvas.Pen().SetMode(pmNot);
        Canvas.Pen().SetStyle(psDot);
        Canvas.Pen().SetWidth(0);
        Canvas.Rectangle(fMarkedArea);
    }
}

void TGraphControl::Draw(TCanvas &Canvas)
{
    DrawObjects(Canvas, Objects());
}

void TGraphControl::Print(TCanvas &Canvas, const TRect &Rect)
{
    const TRect Graph = GraphBounds();
    if (Graph.IsEmpty()) {
        return;
    }
    const int64_t GraphWidth = int64_t{Graph.Right} - Graph.Left;
    const int64_t GraphHeight = int64_t{Graph.Bottom} - Graph.Top;
    const int64_t TargetWidth = int64_t{Rect.Right} - Rect.Left;
    const int64_t TargetHeight = int64_t{Rect.Bottom} - Rect.Top;
    int64_t Width = TargetWidth;
    int64_t Height = TargetHeight;
    if (static_cast<double>(TargetHeight) / GraphHeight >
        static_cast<double>(TargetWidth) / GraphWidth) {
        Height = MulDiv(GraphHeight, TargetWidth, GraphWidth);
    } else {
        Width = MulDiv(GraphWidth, TargetHeight, GraphHeight);
    }
    const int64_t Left = Rect.Left + (TargetWidth - Width) / 2;
    const int64_t Top = Rect.Top + (TargetHeight - Height) / 2;
    const QPicture Metafile = GetAsMetafile(Objects());
    Canvas.StretchDraw({ClampToInt32(Left), ClampToInt32(Top), ClampToInt32(Left + Width),
                        ClampToInt32(Top + Height)},
                       Metafile);
}

QPicture TGraphControl::GetAsMetafile(const TGraphObjectList &List)
{
    const TRect Bounds = GetObjectsBounds(List);
    QPicture Metafile;
    TCanvas Canvas;
    if (!Canvas.BeginPaint(Metafile)) {
        throw ETranslatableError(N_("Cannot record a metafile."));
    }
    Canvas.SetViewportOrg(
        {AddWrapped(0, -int64_t{Bounds.Left}), AddWrapped(0, -int64_t{Bounds.Top})});
    DrawObjects(Canvas, List);
    Canvas.EndPaint();
    Metafile.setBoundingRect(QRect(0, 0, ClampToInt32(int64_t{Bounds.Right} - Bounds.Left + 1),
                                   ClampToInt32(int64_t{Bounds.Bottom} - Bounds.Top + 1)));
    return Metafile;
}

QImage TGraphControl::GetAsBitmap(const TGraphObjectList &List)
{
    const QImage &Picture = Background().Image();
    const bool OnPicture = fShowBackground && !Picture.isNull();
    const TRect Bounds = GetObjectsBounds(List);
    const QSize Size = OnPicture ? Picture.size()
                                 : QSize(ClampToInt32(int64_t{Bounds.Right} - Bounds.Left + 1),
                                         ClampToInt32(int64_t{Bounds.Bottom} - Bounds.Top + 1));
    QImage Bitmap(Size, QImage::Format_RGB888);
    // A fresh bitmap is white, and so is what shows through a see-through picture.
    Bitmap.fill(Qt::white);
    TCanvas Canvas;
    if (Bitmap.isNull() || !Canvas.BeginPaint(Bitmap)) {
        throw ETranslatableError(N_("Not enough memory for a bitmap of %1 x %2 pixels."),
                                 {QString::number(Size.width()), QString::number(Size.height())});
    }
    TPoint Origin;
    if (OnPicture) {
        Canvas.StretchDraw({0, 0, Size.width(), Size.height()}, Picture);
    } else {
        // Drawn at graph coordinates, objects away from (0, 0) would miss a bitmap of their
        // bounds' size: the bounds' top-left corner goes to its origin.
        Origin = {AddWrapped(0, -int64_t{Bounds.Left}), AddWrapped(0, -int64_t{Bounds.Top})};
    }
    Canvas.SetViewportOrg(Origin);
    DrawObjects(Canvas, List);
    Canvas.EndPaint();
    return Bitmap;
}

void TGraphControl::CopyToGraphic(QPicture &Graphic)
{
    Graphic = GetAsMetafile(Objects());
}

void TGraphControl::CopyToGraphic(QImage &Graphic)
{
    Graphic = GetAsBitmap(Objects());
}

void TGraphControl::SaveAsMetafile(const QString &FileName)
{
    const QByteArray Svg = MetafileToSvg(GetAsMetafile(Objects()));
    SaveFile(FileName, [&](QIODevice &file) { return file.write(Svg) == Svg.size(); });
}

void TGraphControl::SaveAsBitmap(const QString &FileName)
{
    const QImage Bitmap = GetAsBitmap(Objects());
    SaveFile(FileName, [&](QIODevice &file) { return Bitmap.save(&file, "BMP"); });
}

QByteArray TGraphControl::MetafileToSvg(const QPicture &Metafile)
{
    const QRect Bounds = Metafile.boundingRect();
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    QSvgGenerator Generator;
    Generator.setOutputDevice(&Buffer);
    Generator.setSize(Bounds.size());
    Generator.setViewBox(QRect(QPoint(0, 0), Bounds.size()));
    Generator.setResolution(Metafile.logicalDpiX());
    QPainter Painter;
    if (!Painter.begin(&Generator)) {
        throw ETranslatableError(N_("Cannot write an SVG document."));
    }
    Painter.drawPicture(-Bounds.topLeft(), Metafile);
    Painter.end();
    return Buffer.data();
}

} // namespace talivo
