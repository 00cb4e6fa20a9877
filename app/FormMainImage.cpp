#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/ImageFile.h"
#include "graph/Canvas.h"
#include "graph/GraphControl.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

namespace talivo {

namespace {

// The smallest point size a fitted image gets before the slider's own limits apply.
constexpr int kMinFittedPointSize = 3;

TFileDialogOptions ImageDialogOptions()
{
    TFileDialogOptions options;
    options.Filters = ImageFileFilters();
    return options;
}

// The slider is an integer: a fit far outside its range (or of a canvas not laid out yet, whose
// logarithm is minus infinity) is limited before it is converted.
int ZoomPosition(double fit)
{
    const double position = std::log10(fit) * 100;
    if (!(position > -120))
        return -120;
    return static_cast<int>(std::min(position, 80.0));
}

} // namespace

void TFormMain::CreateCanvas()
{
    fGraph = new TGraphControl(fPanelSG);
    fGraph->setObjectName("GraphControl");
    auto *layout = new QVBoxLayout(fPanelSG);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(fGraph);
    fGraph->SetColor(0xFFFFFF);
    fGraph->setEnabled(false);
    fGraph->SetTransparent(true);
    fGraph->SetMinNodeSize(10);
    fGraph->SetMarkerSize(2);
    fGraph->SetShowGrid(false);
    fGraph->KeepCenterInside = true;
    fGraph->KeepInside = false;
}

void TFormMain::Openimage1Click()
{
    TGraphControl &graph = Canvas();
    graph.setEnabled(false);
    const auto finish = [&] {
        graph.setEnabled(true);
        graph.SetCommandMode(cmEdit);
    };
    try {
        const std::optional<QString> fileName = Prompter().OpenFile(ImageDialogOptions());
        if (fileName) {
            // The dialog leaves the screen before a large image keeps the program busy.
            QCoreApplication::processEvents();
            LoadImage(*fileName);
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TFormMain::LoadImage(const QString &fileName)
{
    TGraphControl &graph = Canvas();
    fToolButtonMove->setChecked(true);
    ClearMarks();
    QImage image = ReadImageFile(fileName);
    if (image.isNull())
        Prompter().Notice(_("Error# 350: Image format is not supported."),
                          QCoreApplication::applicationName());
    else
        fStatusPanels[1]->setText(QFileInfo(fileName).fileName());
    fPanelSG->layout()->activate();
    const int w = image.width();
    const int h = image.height();
    if (w > 0 && h > 0) {
        TGraphConstraints &constraints = graph.GraphConstraints();
        constraints.SetMinLeft(0);
        constraints.SetMinTop(0);
        constraints.SetMaxRight(w);
        constraints.SetMaxBottom(h);
        graph.SetMinNodeSize(10);
        graph.SetMarkerSize(2);
        graph.SetFixedScrollBars(true);
        // The canvas keeps the only copy of the pixels.
        graph.Background().SetImage(image);
        image = QImage();
        graph.SetShowBackground(true);
        graph.HorzScrollBar().SetVisible(true);
        graph.VertScrollBar().SetVisible(true);
        graph.SetShowGrid(false);
        graph.SetSnapToGrid(false);
        graph.SetCommandMode(cmViewOnly);
        graph.OnMouseUp = std::bind_front(&TFormMain::GraphControlMouseUp, this);
        graph.setEnabled(true);
        const double fit = std::min(double(graph.width()) / w, double(graph.height()) / h);
        fTrackBarZoom->setValue(ZoomPosition(fit));
        fTrackBarPointSize->setValue(
            std::max(static_cast<int>(w * 0.02 * fit), kMinFittedPointSize));
    }
    graph.viewport()->repaint();
    SetupModulesAndLayout();
}

void TFormMain::TrackBarZoomChange()
{
    const double zoom = std::pow(10.0, fTrackBarZoom->value() * 0.01);
    if (fGraph)
        fGraph->ChangeZoom(zoom * 100, zoCenter);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString text = "Zoom: " + locale.toString(zoom * 100, 'f', 2) + "%";
    fStatusPanels[0]->setText(text);
    fTrackBarZoom->setToolTip(text);
}

void TFormMain::Saveimage1Click()
{
    if (!fGraph || fGraph->Background().IsEmpty()) {
        Prompter().Notice(_("Please load image first."), QCoreApplication::applicationName());
        return;
    }
    TFileDialogOptions options = ImageDialogOptions();
    options.DefaultExt = ".bmp";
    const std::optional<QString> fileName = Prompter().SaveFile(options);
    if (fileName)
        SaveImageWithMarks(*fileName);
}

QImage TFormMain::RenderImageWithMarks()
{
    if (!fGraph || fGraph->Background().IsEmpty())
        return {};
    const QImage &background = fGraph->Background().Image();
    // Marks have colours whatever the picture holds: a greyscale or palette picture would turn
    // them grey or into the nearest palette entry.
    QImage image = background.convertToFormat(background.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                           : QImage::Format_RGB32);
    if (image.isNull())
        throw std::runtime_error("There is not enough memory to draw the marks into the image.");
    TCanvas canvas;
    if (!canvas.BeginPaint(image))
        throw std::runtime_error("The marks cannot be drawn into the image.");
    fGraph->Draw(canvas);
    canvas.EndPaint();
    return image;
}

bool TFormMain::SaveImageWithMarks(const QString &fileName)
{
    const QImage image = RenderImageWithMarks();
    if (image.isNull())
        return false;
    WriteImageFile(image, fileName);
    return true;
}

} // namespace talivo
