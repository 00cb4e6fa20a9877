#pragma once

#include "graph/canvas/Types.h"
#include "graph/objects/GraphObject.h"

#include <cstdint>
#include <functional>

namespace talivo {

class TGraphDocument;

// The area of the graph that objects are kept in, in graph units, and the rules that confine a
// point, a rectangle or the offset of a moved rectangle (SourceRect) to it.
class TGraphConstraints {
public:
    explicit TGraphConstraints(TGraphDocument *owner);
    virtual ~TGraphConstraints() = default;
    TGraphConstraints(const TGraphConstraints &) = delete;
    TGraphConstraints &operator=(const TGraphConstraints &) = delete;

    void Assign(const TGraphConstraints &source) { SetBoundsRect(source.fBoundsRect); }

    TGraphDocument *Owner() const { return fOwner; }
    const TRect &BoundsRect() const { return fBoundsRect; }
    void SetBoundsRect(const TRect &rect);
    void SetBounds(int32_t aLeft, int32_t aTop, int32_t aWidth, int32_t aHeight);
    // The rectangle of whatever is about to be moved; set before ConfineOffset.
    const TRect &SourceRect() const { return fSourceRect; }
    void SetSourceRect(const TRect &rect) { fSourceRect = rect; }

    // Sides by index: 0 Left, 1 Top, 2 Right, 3 Bottom.
    int32_t GetField(int32_t index) const;
    void SetField(int32_t index, int32_t value);
    int32_t MinLeft() const { return GetField(0); }
    void SetMinLeft(int32_t value) { SetField(0, value); }
    int32_t MinTop() const { return GetField(1); }
    void SetMinTop(int32_t value) { SetField(1, value); }
    int32_t MaxRight() const { return GetField(2); }
    void SetMaxRight(int32_t value) { SetField(2, value); }
    int32_t MaxBottom() const { return GetField(3); }
    void SetMaxBottom(int32_t value) { SetField(3, value); }

    // Every point with Left <= X < Right and Top <= Y < Bottom.
    bool WithinBounds(const TPoints &pts) const;
    // These return true when nothing had to change; the right and bottom edges are allowed.
    bool ConfinePt(TPoint &pt) const;
    bool ConfineRect(TRect &rect) const;
    // Limits the offset so that the sides of SourceRect named in mobility stay inside; true when
    // an offset remains.
    bool ConfineOffset(int32_t &dx, int32_t &dy, TObjectSides mobility) const;

    std::function<void(TGraphConstraints *sender)> OnChange;

protected:
    virtual void DoChange();

private:
    TGraphDocument *fOwner;
    TRect fBoundsRect{0, 0, 65535, 65535};
    TRect fSourceRect;
};

} // namespace talivo
