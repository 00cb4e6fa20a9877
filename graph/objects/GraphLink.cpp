#include "graph/objects/GraphLink.h"

namespace talivo {

TGraphLink::TGraphLink(TGraphDocument *owner) : TGraphObject(owner) {}

const TGraphObjectClass &TGraphLink::StaticClass()
{
    static const TGraphObjectClass objectClass(
        "TGraphLink", &TGraphObject::StaticClass(),
        [](TGraphDocument *owner) -> TGraphObject * { return new TGraphLink(owner); },
        &TGraphLink::PropTable, true);
    return objectClass;
}

const TGraphObjectClass &TGraphLink::ClassType() const
{
    return StaticClass();
}

template <auto Field, TGraphLink::TLinkProp Which>
TPropInfo TGraphLink::KeptProp(const char *name, TPropKind kind)
{
    TPropInfo info;
    info.Name = name;
    info.Kind = kind;
    info.IsStored = [](const void *instance) {
        return static_cast<const TGraphLink *>(instance)->fStored.Contains(Which);
    };
    info.Get = [](const void *instance) {
        return detail::ToPropValue(static_cast<const TGraphLink *>(instance)->*Field);
    };
    info.Set = [](void *instance, const TPropValue &value) {
        auto *link = static_cast<TGraphLink *>(instance);
        using T = std::remove_cvref_t<decltype(link->*Field)>;
        link->*Field = detail::FromPropValue<T>(value);
        link->fStored.Include(Which);
    };
    return info;
}

const TPropTable &TGraphLink::PropTable()
{
    static const TPropTable table = [] {
        // Names older programs wrote for the ends and the look: read, never written.
        TPropInfo fromNode = KeptProp<&TGraphLink::fSource, lpSource>("FromNode", TPropKind::Int64);
        TPropInfo toNode = KeptProp<&TGraphLink::fTarget, lpTarget>("ToNode", TPropKind::Int64);
        TPropInfo kind;
        kind.Name = "Kind";
        kind.Kind = TPropKind::Ident;
        TPropInfo arrowSize;
        arrowSize.Name = "ArrowSize";
        arrowSize.Kind = TPropKind::Integer;
        for (TPropInfo *old : {&fromNode, &toNode, &kind, &arrowSize}) {
            old->IsStored = [](const void *) { return false; };
        }
        kind.Get = arrowSize.Get = [](const void *) -> TPropValue { return {}; };
        kind.Set = arrowSize.Set = [](void *, const TPropValue &) {};
        return TPropTable{
            &TGraphObject::PropTable(),
            {
                KeptProp<&TGraphLink::fBeginStyle, lpBeginStyle>("BeginStyle", TPropKind::Ident),
                KeptProp<&TGraphLink::fBeginSize, lpBeginSize>("BeginSize", TPropKind::Integer),
                KeptProp<&TGraphLink::fEndStyle, lpEndStyle>("EndStyle", TPropKind::Ident),
                KeptProp<&TGraphLink::fEndSize, lpEndSize>("EndSize", TPropKind::Integer),
                KeptProp<&TGraphLink::fLinkOptions, lpLinkOptions>("LinkOptions",
                                                                   TPropKind::IdentSet),
                KeptProp<&TGraphLink::fTextPosition, lpTextPosition>("TextPosition",
                                                                     TPropKind::Integer),
                KeptProp<&TGraphLink::fTextSpacing, lpTextSpacing>("TextSpacing",
                                                                   TPropKind::Integer),
            },
            {
                KeptProp<&TGraphLink::fSource, lpSource>("Source", TPropKind::Int64),
                KeptProp<&TGraphLink::fTarget, lpTarget>("Target", TPropKind::Int64),
                KeptProp<&TGraphLink::fBreakPoints, lpBreakPoints>("BreakPoints",
                                                                   TPropKind::Binary),
                fromNode,
                toNode,
                kind,
                arrowSize,
            }};
    }();
    return table;
}

void TGraphLink::ReplaceID(uint32_t oldId, uint32_t newId)
{
    TGraphObject::ReplaceID(oldId, newId);
    if (fSource == oldId)
        fSource = newId;
    if (fTarget == oldId)
        fTarget = newId;
}

void TGraphLink::MoveBy(int32_t, int32_t) {}

TRect TGraphLink::GetBoundsRect() const
{
    return {};
}

void TGraphLink::SetBoundsRect(const TRect &) {}

TPoint TGraphLink::FixHookAnchor() const
{
    return {};
}

TPoint TGraphLink::RelativeHookAnchor(const TPoint &pt) const
{
    return pt;
}

void TGraphLink::DrawControlPoints(TCanvas &) {}

void TGraphLink::DrawHighlight(TCanvas &) {}

void TGraphLink::DrawText(TCanvas &) {}

void TGraphLink::DrawBody(TCanvas &) {}

TRect TGraphLink::QueryVisualRect() const
{
    return {};
}

} // namespace talivo
