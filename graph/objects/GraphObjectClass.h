#pragma once

#include "graph/canvas/Types.h"
#include "graph/stream/GraphProperties.h"

#include <string_view>

namespace talivo {

class TGraphDocument;
class TGraphObject;

// The class of a graph object as a value: its name (the name files store), its base, whether it
// is a link class, its property table, and its virtual constructors. Every concrete class has
// one, returned by its static StaticClass() and its virtual ClassType():
//
//   const TGraphObjectClass &TCircularNode::StaticClass()
//   {
//       static const TGraphObjectClass objectClass =
//           TGraphObjectClass::Of<TCircularNode>("TCircularNode", &TEllipticNode::StaticClass());
//       return objectClass;
//   }
//
// A class whose objects may not be created (an abstract base) is made without a factory.
class TGraphObjectClass {
public:
    using TFactory = TGraphObject *(*)(TGraphDocument *owner);

    // table: the properties the class adds; null when it adds none (the base's table serves).
    // isLink is inherited from the base unless the class is a base of its own.
    TGraphObjectClass(const char *className, const TGraphObjectClass *base, TFactory factory,
                      const TPropTable &(*table)() = nullptr, bool isLink = false);
    TGraphObjectClass(const TGraphObjectClass &) = delete;
    TGraphObjectClass &operator=(const TGraphObjectClass &) = delete;

    // A concrete class T constructed as new T(owner).
    template <typename T>
    static TGraphObjectClass Of(const char *className, const TGraphObjectClass *base,
                                const TPropTable &(*table)() = nullptr)
    {
        return TGraphObjectClass(
            className, base, [](TGraphDocument *owner) -> TGraphObject * { return new T(owner); },
            table, base ? base->IsLink() : false);
    }

    std::string_view ClassName() const { return fClassName; }
    const TGraphObjectClass *Base() const { return fBase; }
    bool IsAbstract() const { return fFactory == nullptr; }
    // True for this class and every class derived from it.
    bool InheritsFrom(const TGraphObjectClass &other) const;
    bool IsLink() const { return fIsLink; }
    bool IsNode() const { return !fIsLink; }
    const TPropTable &PropTable() const;

    // The virtual constructors. Each returns a finished object (AfterConstruction has run, so it
    // sits in its owner's list) or raises; an object that fails while being built is freed again.
    // Create: the plain object.
    TGraphObject *Create(TGraphDocument *owner) const;
    // CreateNew: an object with the given bounds, set while it is still being created.
    TGraphObject *CreateNew(TGraphDocument *owner, const TRect &bounds) const;
    // CreateLoaded: an object read from its stream form; it keeps the ID read and stays
    // osLoading until Loaded.
    TGraphObject *CreateLoaded(TGraphDocument *owner, const TPropEntries &entries) const;
    // CreateReplacing: an object of this class that takes predecessor's place in every list
    // (ConvertTo); the caller frees predecessor afterwards.
    TGraphObject *CreateReplacing(TGraphObject *predecessor) const;

private:
    TGraphObject *Construct(TGraphDocument *owner) const;

    const char *fClassName;
    const TGraphObjectClass *fBase;
    TFactory fFactory;
    const TPropTable &(*fTable)();
    bool fIsLink;
};

// Both kinds of class share the descriptor; the names say what an argument must be.
using TGraphNodeClass = TGraphObjectClass;
using TGraphLinkClass = TGraphObjectClass;

} // namespace talivo
