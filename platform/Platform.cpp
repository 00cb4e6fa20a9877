#include "platform/Platform.h"

#include "platform/QtPrompter.h"

#include <utility>

namespace talivo {

namespace {

IPrompter *gPrompter = nullptr;
IShell *gShell = nullptr;
IClipboard *gClipboard = nullptr;
IFolders *gFolders = nullptr;

IShell &SystemShell()
{
    static TDesktopShell shell;
    return shell;
}

IClipboard &SystemClipboard()
{
    static TSystemClipboard clipboard;
    return clipboard;
}

IFolders &SystemFolders()
{
    static TSystemFolders folders;
    return folders;
}

} // namespace

TQtPrompter &SystemPrompter()
{
    static TQtPrompter prompter;
    return prompter;
}

IPrompter &Prompter()
{
    return gPrompter ? *gPrompter : SystemPrompter();
}

IShell &Shell()
{
    return gShell ? *gShell : SystemShell();
}

IClipboard &Clipboard()
{
    return gClipboard ? *gClipboard : SystemClipboard();
}

IFolders &Folders()
{
    return gFolders ? *gFolders : SystemFolders();
}

IPrompter *Install(IPrompter *service)
{
    return std::exchange(gPrompter, service);
}

IShell *Install(IShell *service)
{
    return std::exchange(gShell, service);
}

IClipboard *Install(IClipboard *service)
{
    return std::exchange(gClipboard, service);
}

IFolders *Install(IFolders *service)
{
    return std::exchange(gFolders, service);
}

} // namespace talivo
