#include "graph/objects/GraphClasses.h"

#include "graph/objects/GraphDocument.h"
#include "graph/objects/GraphLink.h"

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
    static TRegistry instance;
    return instance;
}

void Register(std::vector<const TGraphObjectClass *> &list, const TGraphObjectClass &objectClass)
{
    if (std::find(list.begin(), list.end(), &objectClass) != list.end())
        return;
    list.push_back(&objectClass);
    // Class names are string literals, so the view stays valid.
    Registry().ByName[objectClass.ClassName()] = &objectClass;
}

void Unregister(std::vector<const TGraphObjectClass *> &list, const TGraphObjectClass &objectClass)
{
    const auto it = std::find(list.begin(), list.end(), &objectClass);
    if (it == list.end())
        return;
    list.erase(it);
    // By address only: at the end of the process the class objects may already be gone.
    std::erase_if(Registry().ByName,
                  [&objectClass](const auto &entry) { return entry.second == &objectClass; });
}

const TGraphObjectClass *ClassAt(const std::vector<const TGraphObjectClass *> &list, int32_t index)
{
    if (index < 0 || index >= static_cast<int32_t>(list.size()))
        throw EListError("Index out of range (" + std::to_string(index) + ")");
    return list[index];
}

// Unregisters, at the end of the process, whatever is still registered, the last first.
struct TUnregisterAtExit {
    ~TUnregisterAtExit()
    {
        TRegistry &registry = Registry();
        while (!registry.NodeClasses.empty())
            TGraphDocument::UnregisterNode(*registry.NodeClasses.back());
        while (!registry.LinkClasses.empty())
            TGraphDocument::UnregisterLink(*registry.LinkClasses.back());
    }
};

} // namespace

void RegisterGraphClasses()
{
    static const bool registered = [] {
        Registry();
        static TUnregisterAtExit guard;
        TGraphDocument::RegisterLink(TGraphLink::StaticClass());
        RegisterNodeClasses();
        return true;
    }();
    (void)registered;
}

void TGraphDocument::RegisterNode(const TGraphNodeClass &nodeClass)
{
    Register(Registry().NodeClasses, nodeClass);
}

void TGraphDocument::UnregisterNode(const TGraphNodeClass &nodeClass)
{
    Unregister(Registry().NodeClasses, nodeClass);
}

int32_t TGraphDocument::NodeClassCount()
{
    return static_cast<int32_t>(Registry().NodeClasses.size());
}

const TGraphNodeClass *TGraphDocument::NodeClasses(int32_t index)
{
    return ClassAt(Registry().NodeClasses, index);
}

void TGraphDocument::RegisterLink(const TGraphLinkClass &linkClass)
{
    Register(Registry().LinkClasses, linkClass);
}

void TGraphDocument::UnregisterLink(const TGraphLinkClass &linkClass)
{
    Unregister(Registry().LinkClasses, linkClass);
}

int32_t TGraphDocument::LinkClassCount()
{
    return static_cast<int32_t>(Registry().LinkClasses.size());
}

const TGraphLinkClass *TGraphDocument::LinkClasses(int32_t index)
{
    return ClassAt(Registry().LinkClasses, index);
}

const TGraphObjectClass *TGraphDocument::FindClass(std::string_view className)
{
    RegisterGraphClasses();
    const auto &byName = Registry().ByName;
    const auto it = byName.find(className);
    return it == byName.end() ? nullptr : it->second;
}

} // namespace talivo
