#include "app/FormDetectSettings.h"
#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "app/ProgressPanel.h"
#include "app/ProposedMarks.h"
#include "detect/Detector.h"
#include "graph/control/GraphControl.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"
#include "settings/VersionInfo.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QToolButton>

#include <optional>
#include <stdexcept>

namespace talivo {

namespace {

// The name a module file stands for: its name without the last extension.
QString ModuleName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

// The module files of the folder, sorted by name without regard to case. Windows matches the
// mask without regard to case too, so "Count.PY" is a module as well.
QStringList ListModuleFiles(const QString &folder)
{
    const QDir dir(folder, QStringLiteral("*.py*"), QDir::Name | QDir::IgnoreCase, QDir::Files);
    return dir.entryList();
}

// The module file of the name in the folder: its source, else its compiled form; empty when the
// folder holds neither.
QString ModuleFile(const QString &folder, const QString &name)
{
    for (const char *extension : {".py", ".pyc"}) {
        const QString file = folder + name + extension;
        if (QFileInfo(file).isFile())
            return file;
    }
    return {};
}

// Why a module's run added nothing, for the notice.
QString ModuleFailure(const QString &module, const TModuleResult &result)
{
    QString text;
    switch (result.Outcome) {
    case moNotStarted:
        text = _("Python 3 could not be started to run the module \"%1\": %2")
                   .arg(module, result.Detail);
        break;
    case moNoPicture:
        text = _("The picture could not be handed to the module \"%1\": %2")
                   .arg(module, result.Detail);
        break;
    case moFailed:
        text =
            _("The module \"%1\" failed with the exit code %2.").arg(module).arg(result.ExitCode);
        break;
    case moTimedOut:
        text = _("The module \"%1\" did not finish in time and was stopped.").arg(module);
        break;
    case moBadOutput:
        text = result.BadLine > 0
                   ? _("The module \"%1\" wrote a line that is not x TAB y on the picture, in "
                       "line %2: %3")
                         .arg(module)
                         .arg(result.BadLine)
                         .arg(result.Detail)
                   : _("The module \"%1\" wrote no list of objects.").arg(module);
        break;
    case moDone:
    case moCancelled:
        break;
    }
    text += "\n" + _("No marks were added.");
    if (!result.ErrorLines.isEmpty())
        text += "\n\n" + _("The module reported:") + "\n" + result.ErrorLines;
    return text;
}

void Notify(const QString &text)
{
    Prompter().Notice(text, QCoreApplication::applicationName());
}

} // namespace

// What a detection hands from its thread to the window: the centres, or the module's failure.
struct TProposals {
    std::vector<TPoint> Points;
    std::optional<TModuleResult> Failure;
};

void TFormMain::SetupModules()
{
    fModulesFolder = GetSettingsFolder() + "Modules/";
    if (!QDir().mkpath(fModulesFolder))
        throw std::runtime_error(
            _("Cannot create the folder \"%1\".").arg(fModulesFolder).toStdString());
    fCurrentModule = fModulesFolder + "Autodetect";
    fModuleFiles = ListModuleFiles(fModulesFolder);
}

void TFormMain::BuildModulesMenu()
{
    // The listing is read into the menu once per run; later files need a restart.
    if (fModuleItems)
        return;
    auto *menu = findChild<QMenu *>("PopupMenuModules");
    fModuleItems = new QActionGroup(menu);
    QString previous;
    for (const QString &fileName : fModuleFiles) {
        const QString name = ModuleName(fileName);
        // A source file and its compiled file sit side by side in the listing: one module.
        if (name == previous)
            continue;
        previous = name;
        // '&' would otherwise mark an accelerator letter instead of showing in the caption.
        auto *item = new QAction(QString(name).replace(u'&', QStringLiteral("&&")), menu);
        item->setData(name);
        item->setCheckable(true);
        item->setChecked(name.toLower() == QStringLiteral("autodetect"));
        fModuleItems->addAction(item);
        menu->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { ModuleItemClick(item); });
    }
}

void TFormMain::ModuleItemClick(QAction *item)
{
    fCurrentModule = item->data().toString();
    RunModule(fCurrentModule);
}

void TFormMain::ToolButtonAutoClick()
{
    RunModule(fCurrentModule);
}

// Proposals are found off the GUI thread from a copy of the picture; they become marks only if
// the picture and the group are still there when the detection ends.
void TFormMain::RunModule(const QString &module)
{
    if (fJob->Running())
        return;
    TGraphControl *graph = Graph();
    if (!graph || graph->Background().IsEmpty()) {
        Notify(_("Please load image first."));
        return;
    }
    if (fMeasurement.Groups().RowCount() == 0) {
        Notify(_("No group available."));
        return;
    }
    const int row = fListViewGroups->Selected();
    if (row < 0) {
        Notify(_("Please select the group the marks are for."));
        return;
    }
    const int groupId = fMeasurement.Groups().Id(row);
    // Only the name counts: modules run from the modules folder and from nowhere else.
    const QString name = QFileInfo(module).fileName();
    const QString file = ModuleFile(fModulesFolder, name);
    if (file.isEmpty() && name.compare("Autodetect", Qt::CaseInsensitive) != 0) {
        Notify(_("The module \"%1\" is not in the modules folder.").arg(name));
        return;
    }
    const QImage picture = graph->Background().Image();
    const double diameter = 2.0 * PointSize();
    auto proposals = std::make_shared<TProposals>();
    TBackgroundJob::TWork work;
    if (file.isEmpty()) {
        const TDetectOptions options{diameter, fDetectPolarity, fDetectSensitivity};
        work = [picture, options, proposals](TJobProgress &progress) {
            const TDetection detection = DetectObjects(
                picture, options, [&](double fraction) { return progress.Proceed(fraction); });
            for (const TDetectedObject &object : detection.Objects)
                proposals->Points.push_back(PixelOf(object.X, object.Y, picture.size()));
        };
    } else {
        work = [picture, file, diameter, options = fModuleRunOptions,
                proposals](TJobProgress &progress) {
            const TModuleResult result =
                RunModuleFile(file, picture, diameter, options,
                              [&](double fraction) { return progress.Proceed(fraction); });
            if (result.Outcome != moDone) {
                proposals->Failure = result;
                return;
            }
            for (const QPointF &object : result.Objects)
                proposals->Points.push_back(PixelOf(object.x(), object.y(), picture.size()));
        };
    }
    fJob->Start(std::move(work), [this, name, groupId, key = picture.cacheKey(),
                                  proposals](TJobEnd end, std::exception_ptr error) {
        FinishDetection(name, groupId, key, *proposals, end, error);
    });
    fProgressPanel->Watch(*fJob, _("Detecting objects ..."));
}

void TFormMain::FinishDetection(const QString &module, int groupId, qint64 pictureKey,
                                const TProposals &proposals, TJobEnd end, std::exception_ptr error)
{
    QLabel &status = *fStatusPanels[2];
    if (end == jeCancelled) {
        status.setText(_("Detection cancelled: no marks were added."));
        return;
    }
    if (end == jeFailed) {
        status.setText(_("No marks were added."));
        std::rethrow_exception(error);
    }
    if (proposals.Failure) {
        status.setText(_("No marks were added."));
        Notify(ModuleFailure(module, *proposals.Failure));
        return;
    }
    if (!fGraph || fGraph->Background().Image().cacheKey() != pictureKey) {
        status.setText(_("The picture changed during the detection: no marks were added."));
        return;
    }
    if (fMeasurement.Groups().RowOfGroup(groupId) < 0) {
        status.setText(_("The group was deleted during the detection: no marks were added."));
        return;
    }
    const int added = AddProposedMarks(proposals.Points, groupId);
    status.setText(added == 1 ? _("1 mark added.") : _("%1 marks added.").arg(added));
}

int TFormMain::AddProposedMarks(const std::vector<TPoint> &points, int groupId)
{
    return fMeasurement.AddMarks(points, groupId, PointSize(), PointSize());
}

void TFormMain::UpdateDetectCommands()
{
    const bool picture = fGraph && !fGraph->Background().IsEmpty();
    const bool idle = !fJob->Running();
    findChild<QToolButton *>("ToolButtonAuto")->setEnabled(picture && idle);
    fToolButtonAutoAction->setVisible(picture);
    fModulesMenu->menuAction()->setVisible(picture);
    if (fModuleItems)
        fModuleItems->setEnabled(idle);
}

void TFormMain::Detectionsettings1Click()
{
    TFormDetectSettings &dialog = *fDetectSettings;
    dialog.SetPolarity(fDetectPolarity);
    dialog.SpinEditSensitivity().setValue(int(fDetectSensitivity));
    if (Prompter().RunDialog(dialog) != mrOk)
        return;
    fDetectPolarity = dialog.Polarity();
    fDetectSensitivity = dialog.SpinEditSensitivity().value();
}

void TFormMain::Openmodulesdirectory1Click()
{
    Shell().Open(fModulesFolder);
}

} // namespace talivo
