#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/ImageFile.h"
#include "app/MarkedImage.h"
#include "app/ProgressPanel.h"
#include "graph/control/GraphControl.h"
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
#include <memory>
#include <utility>

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
    PrepareCanvas(*fGraph);
    fMeasurement.ShowMarksIn(&fGraph->Document());
    fGraph->setEnabled(false);
    // Marks move by the user's drags and arrow keys, one step per drag or run of keys; a click
    // ends a run.
    fGraph->OnNodesMoved = [this](TGraphControl *, const std::vector<TNodePlace> &before,
                                  bool byKey) {
        fMeasurement.MarksMoved(before, byKey ? fKeyRun : -1);
    };
    fGraph->OnMouseDown = [this](TGraphControl *, TMouseButton, TShiftState, int32_t, int32_t) {
        ++fKeyRun;
    };
    // Marks that come back by an undo take the size and visibility the others have now.
    fMeasurement.OnMarkPutBack = [this](TGraphObject &mark) {
        ResizeMarkObject(mark, PointSize());
        mark.SetVisible(!fToolButtonHide->isChecked());
    };
}

void TFormMain::Openimage1Click()
{
    OpenImage([this] { return ChooseFile(fkPicture, false, ImageDialogOptions()); });
}

void TFormMain::OpenImageFile(const QString &fileName)
{
    OpenImage([&] { return std::optional(fileName); });
}

void TFormMain::OpenImage(const std::function<std::optional<QString>()> &chooseFile)
{
    if (!MayStartJob())
        return;
    Canvas().setEnabled(false);
    const auto finish = [this] {
        Canvas().setEnabled(true);
        Canvas().SetCommandMode(cmEdit);
    };
    try {
        const std::optional<QString> fileName = chooseFile();
        if (fileName) {
            // The dialog leaves the screen before the picture is read.
            QCoreApplication::processEvents();
            LoadImage(*fileName);
        }
    } catch (...) {
        finish();
        throw;
    }
    // The canvas stays out of reach until the picture is there, or is not.
    AfterJob(finish);
}

// Decoded before anything changes: a file that is no picture, or a cancel, leaves the work as it
// was. The window goes on meanwhile.
void TFormMain::LoadImage(const QString &fileName)
{
    if (!MayStartJob())
        return;
    // A picture the decoder cannot cope with could end the program.
    WriteRecovery();
    auto image = std::make_shared<QImage>();
    fJob->Start(
        [fileName, image](TJobProgress &progress) { *image = ReadImageFile(fileName, &progress); },
        [this, fileName, image](TJobEnd end, std::exception_ptr error) {
            FinishLoadImage(fileName, std::move(*image), end, error);
        });
    fProgressPanel->Watch(*fJob, _("Opening the picture ..."));
}

void TFormMain::FinishLoadImage(const QString &fileName, QImage image, TJobEnd end,
                                std::exception_ptr error)
{
    if (end == jeCancelled) {
        fStatusPanels[2]->setText(_("Opening the picture was cancelled: nothing was changed."));
        return;
    }
    if (error)
        std::rethrow_exception(error);
    if (image.isNull()) {
        Prompter().Warning(_("Cannot open \"%1\": %2")
                               .arg(fileName, _("Error# 350: Image format is not supported.")),
                           QCoreApplication::applicationName());
        return;
    }
    ReplaceImage(fileName, std::move(image));
}

bool TFormMain::ReplaceImage(const QString &fileName, QImage image)
{
    TGraphControl &graph = Canvas();
    // The marks belong to the old picture and go with it; groups alone lose nothing.
    if (image.isNull() || (graph.Objects().Count() > 0 && !MayDiscardChanges()))
        return false;
    fToolButtonMove->setChecked(true);
    ClearMarks();
    // The steps taken on the old picture's marks cannot be taken back on the new one; the groups
    // that are left stay unsaved when they were.
    fMeasurement.StartHistory(Unsaved());
    fStatusPanels[1]->setText(QFileInfo(fileName).fileName());
    fMeasurement.SetPictureFileName(QFileInfo(fileName).canonicalFilePath());
    fPanelSG->layout()->activate();
    const int w = image.width();
    const int h = image.height();
    ShowImage(graph, std::move(image));
    graph.OnMouseUp = std::bind_front(&TFormMain::GraphControlMouseUp, this);
    graph.setEnabled(true);
    const double fit = std::min(double(graph.width()) / w, double(graph.height()) / h);
    fTrackBarZoom->setValue(ZoomPosition(fit));
    fTrackBarPointSize->setValue(std::max(static_cast<int>(w * 0.02 * fit), kMinFittedPointSize));
    graph.viewport()->repaint();
    SetupModulesAndLayout();
    // The kept work would otherwise be the old picture's marks until the next write.
    WriteRecovery();
    return true;
}

void TFormMain::TrackBarZoomChange()
{
    const double zoom = std::pow(10.0, fTrackBarZoom->value() * 0.01);
    if (fGraph)
        fGraph->ChangeZoom(zoom * 100, zoCenter);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString text = _("Zoom: ") + locale.toString(zoom * 100, 'f', 2) + "%";
    fStatusPanels[0]->setText(text);
    fTrackBarZoom->setToolTip(text);
}

void TFormMain::Saveimage1Click()
{
    if (!fGraph || fGraph->Background().IsEmpty()) {
        Prompter().Notice(_("Please load image first."), QCoreApplication::applicationName());
        return;
    }
    if (!MayStartJob())
        return;
    TFileDialogOptions options = ImageDialogOptions();
    options.DefaultExt = ".bmp";
    const std::optional<QString> fileName = ChooseFile(fkMarkedPicture, true, options);
    if (!fileName || !MayWrite(*fileName))
        return;
    // The marks are the canvas's objects and are drawn here, with the window out of reach; the
    // encoding, the long part, works on the finished copy while the window goes on.
    QImage image;
    const QString caption = _("Saving the picture ...");
    const auto cancelled = [this] {
        fStatusPanels[2]->setText(_("Saving the picture was cancelled: the file was not written."));
    };
    fProgressPanel->Watch(*fJob, caption);
    fJob->RunOnThisThread(
        [&](TJobProgress &progress) {
            image = talivo::RenderImageWithMarks(fGraph->Document(), &progress);
        },
        [&](TJobEnd end, std::exception_ptr error) {
            if (end == jeCancelled)
                cancelled();
            else if (error)
                std::rethrow_exception(error);
        });
    if (image.isNull())
        return;
    auto written = std::make_shared<bool>(false);
    auto work = [image, file = *fileName, written](TJobProgress &progress) {
        *written = WriteImageFile(image, file, &progress);
    };
    image = QImage();
    fJob->Start(std::move(work), [written, cancelled](TJobEnd end, std::exception_ptr error) {
        // A cancel that came after the file was complete changed nothing.
        if (*written)
            return;
        if (end == jeCancelled)
            cancelled();
        else if (error)
            std::rethrow_exception(error);
    });
    fProgressPanel->Watch(*fJob, caption);
}

QImage TFormMain::RenderImageWithMarks()
{
    return fGraph ? talivo::RenderImageWithMarks(fGraph->Document()) : QImage();
}

bool TFormMain::SaveImageWithMarks(const QString &fileName)
{
    return fGraph && talivo::SaveImageWithMarks(fGraph->Document(), fileName);
}

} // namespace talivo
