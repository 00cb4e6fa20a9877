#include "graph/objects/GraphObjectClass.h"

#include "graph/objects/GraphObject.h"

#include <QBuffer>

#include <string>

namespace talivo {

TGraphObjectClass::TGraphObjectClass(const char *ClassName, const TGraphObjectClass *Base,
                                     TFactory Factory, const TPropTable &(*Table)(), bool IsLink)
    : fClassName(ClassName), fBase(Base), fFactory(Factory), fTable(Table), fIsLink(IsLink)
{}

bool TGraphObjectClass::InheritsFrom(const TGraphObjectClass &Other) const
{
    for (const TGraphObjectClass *objectClass = this; objectClass;
         objectClass = objectClass->fBase) {
        if (objectClass == &Other) {
            return true;
        }
    }
    return false;
}

const TPropTable &TGraphObjectClass::PropTable() const
{
    for (const TGraphObjectClass *objectClass = this; objectClass;
         objectClass = objectClass->fBase) {
        if (objectClass->fTable) {
            return objectClass->fTable();
        }
    }
    return TGraphObject::PropTable();
}

TGraphObject *TGraphObjectClass::Construct(TGraphDocument *Owner) const
{
    if (!fFactory) {
        throw EAbstractError("Cannot create an object of the abstract class " +
                             std::string(fClassName));
    }
    return fFactory(Owner);
}

TGraphObject *TGraphObjectClass::Create(TGraphDocument *Owner) const
{
    TGraphObject *obj = Construct(Owner);
    try {
        obj->AfterConstruction();
    } catch (...) {
        TGraphObject::Free(obj);
        throw;
    }
    return obj;
}

TGraphObject *TGraphObjectClass::CreateNew(TGraphDocument *Owner, const TRect &Bounds) const
{
    TGraphObject *obj = Construct(Owner);
    try {
        obj->SetBoundsRect(Bounds);
        obj->AfterConstruction();
    } catch (...) {
        TGraphObject::Free(obj);
        throw;
    }
    return obj;
}

TGraphObject *TGraphObjectClass::CreateLoaded(TGraphDocument *Owner,
                                              const TPropEntries &Entries) const
{
    TGraphObject *obj = Construct(Owner);
    try {
        obj->IncludeState(osLoading);
        obj->LoadFromEntries(Entries);
        obj->AfterConstruction();
    } catch (...) {
        TGraphObject::Free(obj);
        throw;
    }
    return obj;
}

TGraphObject *TGraphObjectClass::CreateReplacing(TGraphObject *Predecessor) const
{
    TGraphObject *obj = Construct(Predecessor->Owner());
    Predecessor->IncludeState(osConverting);
    obj->IncludeState(osConverting);
    try {
        // The stream form carries every published property; a property the new class lacks
        // fails the read, so only classes with the same properties convert.
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        Predecessor->SaveToStream(stream);
        stream.seek(0);
        obj->LoadFromStream(stream);
        obj->ReplaceFrom(Predecessor);
    } catch (...) {
        Predecessor->ExcludeState(osConverting);
        TGraphObject::Free(obj);
        throw;
    }
    // From here on the new object stands in the lists; a failure of its final report does not
    // undo that.
    obj->AfterConstruction();
    return obj;
}

} // namespace talivo
