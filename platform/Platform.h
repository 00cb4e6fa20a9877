#pragma once

#include "platform/Clipboard.h"
#include "platform/Folders.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"

namespace talivo {

class TQtPrompter;

// The process-wide platform services. Each is the system's own unless a test has put another in
// its place. GUI thread only.
IPrompter &Prompter();
IShell &Shell();
IClipboard &Clipboard();
IFolders &Folders();

// The system's prompter, so the program can set the window its boxes are placed over.
TQtPrompter &SystemPrompter();

// Puts a service in place of the current one and returns the one it replaced (nullptr for the
// system's own); nullptr brings the system's own back.
IPrompter *Install(IPrompter *service);
IShell *Install(IShell *service);
IClipboard *Install(IClipboard *service);
IFolders *Install(IFolders *service);

// Puts a service in place for the lifetime of the guard, for tests:
//     TScriptedPrompter prompter;
//     TScopedPrompter guard(&prompter);
template <class TService> class TScopedService {
public:
    explicit TScopedService(TService *service) : fPrevious(Install(service)) {}
    ~TScopedService() { Install(fPrevious); }
    TScopedService(const TScopedService &) = delete;
    TScopedService &operator=(const TScopedService &) = delete;

private:
    TService *fPrevious;
};

using TScopedPrompter = TScopedService<IPrompter>;
using TScopedShell = TScopedService<IShell>;
using TScopedClipboard = TScopedService<IClipboard>;
using TScopedFolders = TScopedService<IFolders>;

} // namespace talivo
