#include "graph/objects/GraphObjectClass.h"

#include "graph/objects/GraphObject.h"

#include <QBuffer>

#include <string>

namespace talivo {

TGraphObjectClass::TGraphObjectClass(const char *className, const TGraphObjectClass *base,
                                     TFactory factory, const TPropTable &(*table)(), bool isLink)
    : fClassName(className), fBase(base), fFactory(factory), fTable(table), fIsLink(isLink)
{}

bool TGraphObjectClass::InheritsFrom(const TGraphObjectClass &other) const
{
    for (const TGraphObjectClass *objectClass = this; objectClass;
         objectClass = objectClass->fBase) {
        if (objectClass == &other)
            return true;
    }
    return false;
}

const TPropTable &TGraphObjectClass::PropTable() const
{
    for (const TGraphObjectClass *objectClass = this; objectClass;
         objectClass = objectClass->fBase) {
        if (objectClass->fTable)
            return objectClass->fTable();
    }
    return TGraphObject::PropTable();
}

TGraphObject *TGraphObjectClass::Construct(TGraphDocument *owner) const
{
    if (!fFactory)
        throw EAbstractError("Cannot create an object of the abstract class " +
                             std::string(fClassName));
    return fFactory(owner);
}

TGraphObject *TGraphObjectClass::Create(TGraphDocument *owner) const
{
    TGraphObject *obj = Construct(owner);
    try {
        obj->AfterConstruction();
    } catch (...) {
        TGraphObject::Free(obj);
        throw;
    }
    return obj;
}

TGraphObject *TGraphObjectClass::CreateNew(TGraphDocument *owner, const TRect &bounds) const
{
    TGraphObject *obj = Construct(owner);
    try {
        obj->SetBoundsRect(bounds);
        obj->AfterConstruction();
    } catch (...) {
        TGraphObject::Free(obj);
        throw;
    }
    return obj;
}

TGraphObject *TGraphObjectClass::CreateLoaded(TGraphDocument *owner,
                                              const TPropEntries &entries) const
{
    TGraphObject *obj = Construct(owner);
    try {
        obj->IncludeState(osLoading);
        obj->LoadFromEntries(entries);
        obj->AfterConstruction();
    } catch (...) {
        TGraphObject::Free(obj);
        throw;
    }
    return obj;
}

TGraphObject *TGraphObjectClass::CreateReplacing(TGraphObject *predecessor) const
{
    TGraphObject *obj = Construct(predecessor->Owner());
    predecessor->IncludeState(osConverting);
    obj->IncludeState(osConverting);
    try {
        // The stream form carries every published property; a property the new class lacks
        // fails the read, so only classes with the same properties convert.
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        predecessor->SaveToStream(stream);
        stream.seek(0);
        obj->LoadFromStream(stream);
        obj->ReplaceFrom(predecessor);
    } catch (...) {
        predecessor->ExcludeState(osConverting);
        TGraphObject::Free(obj);
        throw;
    }
    // From here on the new object stands in the lists; a failure of its final report does not
    // undo that.
    obj->AfterConstruction();
    return obj;
}

} // namespace talivo
