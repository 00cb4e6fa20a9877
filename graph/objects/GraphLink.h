#pragma once

#include "graph/objects/GraphObject.h"

#include <QByteArray>

namespace talivo {

// A link between two objects. This program never creates one, but files written by other
// programs of the same canvas may hold link records: such a link is read and kept as it was
// stored, so that it survives a save, but it draws nothing and cannot be hit, moved or selected.
// Its ends are kept as the stored IDs; ReplaceID renames them with the objects they name.
class TGraphLink : public TGraphObject {
public:
    explicit TGraphLink(TGraphDocument *owner);

    static const TGraphObjectClass &StaticClass();
    const TGraphObjectClass &ClassType() const override;
    static const TPropTable &PropTable();

    void ReplaceID(uint32_t oldId, uint32_t newId) override;
    // The IDs of the linked objects, as stored.
    int64_t Source() const { return fSource; }
    int64_t Target() const { return fTarget; }
    void MoveBy(int32_t dx, int32_t dy) override;
    TRect GetBoundsRect() const override;
    void SetBoundsRect(const TRect &rect) override;
    TPoint FixHookAnchor() const override;
    TPoint RelativeHookAnchor(const TPoint &pt) const override;

protected:
    ~TGraphLink() override = default;

    void DrawControlPoints(TCanvas &canvas) override;
    void DrawHighlight(TCanvas &canvas) override;
    void DrawText(TCanvas &canvas) override;
    void DrawBody(TCanvas &canvas) override;
    TRect QueryVisualRect() const override;

private:
    // The link's own properties, kept as read and written back only when they were read: their
    // types and defaults belong to the programs that create links.
    enum TLinkProp : uint8_t {
        lpBeginStyle,
        lpBeginSize,
        lpEndStyle,
        lpEndSize,
        lpLinkOptions,
        lpTextPosition,
        lpTextSpacing,
        lpSource,
        lpTarget,
        lpBreakPoints,
    };
    using TLinkProps = TSet<TLinkProp, uint16_t>;

    // A property kept in Field and written back when Which was read.
    template <auto Field, TLinkProp Which>
    static TPropInfo KeptProp(const char *name, TPropKind kind);

    TLinkProps fStored;
    QByteArray fBeginStyle;
    int32_t fBeginSize = 0;
    QByteArray fEndStyle;
    int32_t fEndSize = 0;
    QByteArray fLinkOptions;
    int32_t fTextPosition = 0;
    int32_t fTextSpacing = 0;
    int64_t fSource = 0;
    int64_t fTarget = 0;
    QByteArray fBreakPoints;
};

} // namespace talivo
