#include "graph/objects/GraphLink.h"

namespace talivo {

TGraphLink::TGraphLink(TGraphDocument *AOwner) : TGraphObject(AOwner) {}

const TGraphObjectClass &TGraphLink::StaticClass()
{
    static const TGraphObjectClass Class(
        "TGraphLink", &TGraphObject::StaticClass(),
        [](TGraphDocument *Owner) -> TGraphObject * { return new TGraphLink(Owner); },
        &TGraphLink::PropTable, true);
    return Class;
}

const TGraphObjectClass &TGraphLink::ClassType() const
{
    return StaticClass();
}

template <auto Field, TGraphLink::TLinkProp Which>
TPropInfo TGraphLink::KeptProp(const char *Name, TPropKind Kind)
{
    TPropInfo Info;
    Info.Name = Name;
    Info.Kind = Kind;
    Info.IsStored = [](const void *Instance) {
        return static_cast<const TGraphLink *>(Instance)->fStored.Contains(Which);
    };
    Info.Get = [](const void *Instance) {
        return detail::ToPropValue(static_cast<const TGraphLink *>(Instance)->*Field);
    };
    Info.Set = [](void *Instance, const TPropValue &Value) {
        auto *Link = static_cast<TGraphLink *>(Instance);
        using T = std::remove_cvref_t<decltype(Link->*Field)>;
        Link->*Field = detail::FromPropValue<T>(Value);
        Link->fStored.Include(Which);
    };
    return Info;
}

const TPropTable &TGraphLink::PropTable()
{
    static const TPropTable Table = [] {
        // Names older programs wrote for the ends and the look: read, never written.
        TPropInfo FromNode = KeptProp<&TGraphLink::fSource, lpSource>("FromNode", TPropKind::Int64);
        TPropInfo ToNode = KeptProp<&TGraphLink::fTarget, lpTarget>("ToNode", TPropKind::Int64);
        TPropInfo Kind;
        Kind.Name = "Kind";
        Kind.Kind = TPropKind::Ident;
        TPropInfo ArrowSize;
        ArrowSize.Name = "ArrowSize";
        ArrowSize.Kind = TPropKind::Integer;
        for (TPropInfo *Old : {&FromNode, &ToNode, &Kind, &ArrowSize}) {
            Old->IsStored = [](const void *) { return false; };
        }
        Kind.Get = ArrowSize.Get = [](const void *) -> TPropValue { return {}; };
        Kind.Set = ArrowSize.Set = [](void *, const TPropValue &) {};
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
                FromNode,
                ToNode,
                Kind,
                ArrowSize,
            }};
    }();
    return Table;
}

void TGraphLink::ReplaceID(uint32_t OldID, uint32_t NewID)
{
    TGraphObject::ReplaceID(OldID, NewID);
    if (fSource == OldID) {
        fSource = NewID;
    }
    if (fTarget == OldID) {
        fTarget = NewID;
    }
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

TPoint TGraphLink::RelativeHookAnchor(const TPoint &Pt) const
{
    return Pt;
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
