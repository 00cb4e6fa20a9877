#pragma once

#include <QString>
#include <functional>
#include <set>

class QObject;
struct QMetaObject;

namespace talivo {

class TComponentWalk;

// Takes the place of the ordinary translation of an object of its class; the walk itself visits
// nothing inside the object.
using TClassHandler = std::function<void(QObject &object, TComponentWalk &walk)>;

// A rule for a class and every class derived from it. Without property names it is a whole-class
// rule: objects of the class are left alone, or handed to the handler when there is one.
struct TClassMode {
    const QMetaObject *HClass;
    TClassHandler SpecialHandler;
    // Upper case.
    std::set<QString> PropertiesToIgnore;

    bool WholeClass() const { return PropertiesToIgnore.empty(); }
};

} // namespace talivo
