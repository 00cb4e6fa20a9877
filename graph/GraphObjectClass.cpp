#include "graph/GraphObjectClass.h"

#include "graph/GraphObject.h"

#include <QBuffer>

#include <string>

namespace talivo {

TGraphObjectClass::TGraphObjectClass(const char *ClassName, const TGraphObjectClass *Base,
                                     TFactory Factory, const TPropTable &(*Table)(), bool IsLink)
    : fClassName(ClassName), fBase(Base), fFactory(Factory), fTable(Table), fIsLink(IsLink)
{}

bool TGraphObjectClass::InheritsFrom(const TGraphObjectClass &Other) const
{
    for (const TGraphObjectClass *Class = this; Class; Class = Class->fBase) {
        if (Class == &Other) {
            return true;
        }
    }
    return false;
}

const TPropTable &TGraphObjectClass::PropTable() const
{
    for (const TGraphObjectClass *Class = this; Class; Class = Class->fBase) {
        if (Class->fTable) {
            return Class->fTable();
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
    TGraphObject *Obj = Construct(Owner);
    try {
        Obj->AfterConstruction();
    } catch (...) {
        TGraphObject::Free(Obj);
        throw;
    }
    return Obj;
}

TGraphObject *TGraphObjectClass::CreateNew(TGraphDocument *Owner, const TRect &Bounds) const
{
    TGraphObject *Obj = Construct(Owner);
    try {
        Obj->SetBoundsRect(Bounds);
        Obj->AfterConstruction();
    } catch (...) {
        TGraphObject::Free(Obj);
        throw;
    }
    return Obj;
}

TGraphObject *TGraphObjectClass::CreateLoaded(TGraphDocument *Owner,
                                              const TPropEntries &Entries) const
{
    TGraphObject *Obj = Construct(Owner);
    try {
        Obj->IncludeState(osLoading);
        Obj->LoadFromEntries(Entries);
        Obj->AfterConstruction();
    } catch (...) {
        TGraphObject::Free(Obj);
        throw;
    }
    return Obj;
}

TGraphObject *TGraphObjectClass::CreateReplacing(TGraphObject *Predecessor) const
{
    TGraphObject *Obj = Construct(Predecessor->Owner());
    Predecessor->IncludeState(osConverting);
    Obj->IncludeState(osConverting);
    try {
        // The stream form carries every published property; a property the new class lacks
        // fails the read, so only classes with the same properties convert.
        QBuffer Stream;
        Stream.open(QIODevice::ReadWrite);
        Predecessor->SaveToStream(Stream);
        Stream.seek(0);
        Obj->LoadFromStream(Stream);
        Obj->ReplaceFrom(Predecessor);
    } catch (...) {
        Predecessor->ExcludeState(osConverting);
        TGraphObject::Free(Obj);
        throw;
    }
    // From here on the new object stands in the lists; a failure of its final report does not
    // undo that.
    Obj->AfterConstruction();
    return Obj;
}

} // namespace talivo
