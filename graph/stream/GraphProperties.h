#pragma once

#include "graph/canvas/Set.h"
#include "graph/canvas/Types.h"
#include "platform/TranslatableError.h"

#include <QByteArray>
#include <QString>

#include <concepts>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

// The published properties of graph objects, described by one small table per class. The same
// tables drive the object's stream form (file, clipboard, conversion to another class, restoring
// a cancelled drag), so every property is written, read and compared in exactly one way.

namespace talivo {

// Failures of reading or writing an object's stream form: a bad signature, an unknown class or
// property, a value of the wrong kind.
class EGraphStreamError : public ETranslatableError {
public:
    using ETranslatableError::ETranslatableError;
};

// How a property's value is written. Integer-like kinds keep their value as int64_t (an
// enumeration its ordinal, a set its bit mask, a Boolean 0 or 1).
enum class TPropKind : uint8_t {
    Integer,  // signed 32-bit
    Cardinal, // unsigned 32-bit, written as its 32-bit pattern
    Int64,
    Color,   // TColor, written by name when it has one
    Charset, // font character set, written by name when it has one
    Enum,    // Names gives the value names in ordinal order
    Bool,
    Set, // Names gives the member names in ordinal order
    String,
    // An enumeration value or a set whose names this program does not know, kept byte for byte
    // as read (QByteArray): the identifier, or the set's member names each behind its length
    // byte, as the stream holds them. Names need not be text in any encoding.
    Ident,
    IdentSet,
    Binary, // a defined property with a byte payload
    Rect,   // a defined property of four integers (Left, Top, Right, Bottom)
    Object, // a nested object with a table of its own
};

using TPropValue = std::variant<int64_t, QString, QByteArray, TRect>;

struct TPropTable;

// One property. Instance pointers are the object the table describes (a graph object, or the
// brush, pen, font or picture nested in it).
struct TPropInfo {
    const char *Name = "";
    TPropKind Kind = TPropKind::Integer;
    // The value that is not written (when HasDefault). Without one the property is always
    // written.
    bool HasDefault = false;
    TPropValue Default;
    // Value names of an enumeration or set kind.
    std::span<const char *const> Names;
    // Declared not stored: never written, but accepted when read. Null: always stored.
    bool (*IsStored)(const void *instance) = nullptr;
    TPropValue (*Get)(const void *instance) = nullptr;
    void (*Set)(void *instance, const TPropValue &value) = nullptr;
    // Object kind: the nested object and its table.
    void *(*GetObject)(void *instance) = nullptr;
    const TPropTable &(*ObjectTable)() = nullptr;

    bool Stored(const void *instance) const { return !IsStored || IsStored(instance); }
    bool IsDefault(const TPropValue &value) const { return HasDefault && Default == value; }
};

// The properties a class adds to those of its base. Published properties are written in
// declaration order, base class first; the defined ones (binary payloads, margins) follow all
// published properties, again base class first.
struct TPropTable {
    const TPropTable *Base = nullptr;
    std::vector<TPropInfo> Published;
    std::vector<TPropInfo> Defined;

    // The property of that name in this class or a base, published ones first; null if none.
    const TPropInfo *Find(std::string_view name) const;
    // Every property in writing order.
    std::vector<const TPropInfo *> All() const;
};

// One entry of an object's stream form: the property path as the file writes it ("ID",
// "G.Text", "G.Brush.Color", ...) and its value.
struct TPropEntry {
    std::string Path;
    TPropValue Value;

    friend bool operator==(const TPropEntry &, const TPropEntry &) = default;
};

using TPropEntries = std::vector<TPropEntry>;

// Appends the stored, non-default properties of instance to entries, in table order, each path
// starting with prefix. Nested objects are always entered.
void WriteProps(const TPropTable &table, const void *instance, const std::string &prefix,
                TPropEntries &entries);

// Sets the property at path (relative to instance, parts joined by ".") to value. Raises
// EGraphStreamError for a path that names no property or a value of the wrong kind.
void ReadProp(const TPropTable &table, void *instance, std::string_view path,
              const TPropValue &value);

// The value as an integer-like property keeps it; raises EGraphStreamError for another kind.
int64_t PropOrdinal(const TPropValue &value);

// The tables of the drawing tools nested in every graph object.
const TPropTable &BrushPropTable();
const TPropTable &PenPropTable();
const TPropTable &FontPropTable();

namespace detail {

template <typename T> struct MemberOf;
template <typename R, typename C> struct MemberOf<R (C::*)() const> {
    using Class = C;
    using Result = std::remove_cvref_t<R>;
};
template <typename C, typename A> struct MemberOf<void (C::*)(A)> {
    using Class = C;
    using Arg = std::remove_cvref_t<A>;
};

template <typename T> TPropValue ToPropValue(const T &value)
{
    if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, QByteArray> ||
                  std::is_same_v<T, TRect>)
        return value;
    else if constexpr (IsTSet<T>::value)
        return int64_t{value.ToBits()};
    else
        return static_cast<int64_t>(value);
}

template <typename T> T FromPropValue(const TPropValue &value)
{
    if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, QByteArray> ||
                  std::is_same_v<T, TRect>) {
        if (const T *result = std::get_if<T>(&value))
            return *result;
        throw EGraphStreamError(N_("Invalid property value"));
    } else if constexpr (IsTSet<T>::value) {
        return T::FromBits(static_cast<typename T::TBits>(PropOrdinal(value)));
    } else {
        return static_cast<T>(PropOrdinal(value));
    }
}

} // namespace detail

// A property read and written through a const getter and a one-argument setter of the same class:
// Prop<&TGraphObject::Tag, &TGraphObject::SetTag>("Tag", TPropKind::Integer, int64_t{0}).
template <auto Getter, auto Setter>
TPropInfo Prop(const char *name, TPropKind kind, std::optional<TPropValue> defaultValue = {},
               std::span<const char *const> names = {})
{
    using C = typename detail::MemberOf<decltype(Getter)>::Class;
    using R = typename detail::MemberOf<decltype(Getter)>::Result;
    using A = typename detail::MemberOf<decltype(Setter)>::Arg;
    TPropInfo info;
    info.Name = name;
    info.Kind = kind;
    if (defaultValue) {
        info.HasDefault = true;
        info.Default = std::move(*defaultValue);
    }
    info.Names = names;
    info.Get = [](const void *instance) {
        return detail::ToPropValue<R>((static_cast<const C *>(instance)->*Getter)());
    };
    info.Set = [](void *instance, const TPropValue &value) {
        (static_cast<C *>(instance)->*Setter)(detail::FromPropValue<A>(value));
    };
    return info;
}

// A nested object property (brush, pen, font, picture).
TPropInfo ObjectProp(const char *name, void *(*getObject)(void *instance),
                     const TPropTable &(*objectTable)(),
                     bool (*isStored)(const void *instance) = nullptr);

} // namespace talivo
