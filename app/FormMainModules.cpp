#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "i18n/Translation.h"
#include "platform/Platform.h"
#include "settings/VersionInfo.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QMenu>
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

} // namespace

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

// Running a detection module is not part of this program: it only records the choice.
void TFormMain::RunModule(const QString &) {}

void TFormMain::Openmodulesdirectory1Click()
{
    Shell().Open(fModulesFolder);
}

} // namespace talivo
