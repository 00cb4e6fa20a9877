#include "graph/GraphClasses.h"

#include "graph/GraphControl.h"
#include "graph/GraphLink.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace talivo {

namespace {

struct TRegistry {
    std::vector<const TGraphObjectClass *> NodeClasses;
    std::vector<const TGraphObjectClass *> LinkClasses;
    std::unordered_map<std::string_view, const TGraphObjectClass *> ByName;
};

TRegistry &Registry()
{
    static TRegistry Instance;
    return Instance;
}

void Register(std::vector<const TGraphObjectClass *> &List, const TGraphObjectClass &Class)
{
    if (std::find(List.begin(), List.end(), &Class) != List.end()) {
        return;
    }
    List.push_back(&Class);
    // Class names are string literals, so the view stays valid.
    Registry().ByName[Class.ClassName()] = &Class;
}

void Unregister(std::vector<const TGraphObjectClass *> &List, const TGraphObjectClass &Class)
{
    const auto It = std::find(List.begin(), List.end(), &Class);
    if (It == List.end()) {
        return;
    }
    List.erase(It);
    // By address only: at the end of the process the class objects may already be gone.
    std::erase_if(Registry().ByName,
                  [&Class](const auto &Entry) { return Entry.second == &Class; });
}

// Unregisters, at the end of the process, whatever is still registered, the last first.
struct TUnregisterAtExit {
    ~TUnregisterAtExit()
    {
        TRegistry &R = Registry();
        while (!R.NodeClasses.empty()) {
            TGraphControl::UnregisterNode(*R.NodeClasses.back());
        }
        while (!R.LinkClasses.empty()) {
            TGraphControl::UnregisterLink(*R.LinkClasses.back());
        }
    }
};

} // namespace

void RegisterGraphClasses()
{
    static const bool Registered = [] {
        Registry();
        static TUnregisterAtExit Guard;
        TGraphControl::RegisterLink(TGraphLink::StaticClass());
        RegisterNodeClasses();
        return true;
    }();
    (void)Registered;
}

void TGraphControl::RegisterNode(const TGraphNodeClass &ANodeClass)
{
    Register(Registry().NodeClasses, ANodeClass);
}

void TGraphControl::UnregisterNode(const TGraphNodeClass &ANodeClass)
{
    Unregister(Registry().NodeClasses, ANodeClass);
}

int32_t TGraphControl::NodeClassCount()
{
    return static_cast<int32_t>(Registry().NodeClasses.size());
}

const TGraphNodeClass *TGraphControl::NodeClasses(int32_t Index)
{
    const auto &List = Registry().NodeClasses;
    if (Index < 0 || Index >= static_cast<int32_t>(List.size())) {
        throw EListError("Index out of range (" + std::to_string(Index) + ")");
    }
    return List[Index];
}

void TGraphControl::RegisterLink(const TGraphLinkClass &ALinkClass)
{
    Register(Registry().LinkClasses, ALinkClass);
}

void TGraphControl::UnregisterLink(const TGraphLinkClass &ALinkClass)
{
    Unregister(Registry().LinkClasses, ALinkClass);
}

int32_t TGraphControl::LinkClassCount()
{
    return static_cast<int32_t>(Registry().LinkClasses.size());
}

const TGraphLinkClass *TGraphControl::LinkClasses(int32_t Index)
{
    const auto &List = Registry().LinkClasses;
    if (Index < 0 || Index >= static_cast<int32_t>(List.size())) {
        throw EListError("Index out of range (" + std::to_string(Index) + ")");
    }
    return List[Index];
}

const TGraphObjectClass *TGraphControl::FindClass(std::string_view ClassName)
{
    RegisterGraphClasses();
    const auto &ByName = Registry().ByName;
    const auto It = ByName.find(ClassName);
    return It == ByName.end() ? nullptr : It->second;
}

} // namespace talivo
