#pragma once

#include "graph/objects/GraphDocument.h"

#include <vector>

namespace talivo {

// Marks that a step of the history takes out of the document and puts back where they were:
// the very objects, held by the set while they are out and freed with it then.
class TMarkSet {
public:
    // Marks in the document.
    explicit TMarkSet(std::vector<TGraphObject *> marks);
    ~TMarkSet();
    TMarkSet(TMarkSet &&other) noexcept;
    TMarkSet &operator=(TMarkSet &&) = delete;
    TMarkSet(const TMarkSet &) = delete;
    TMarkSet &operator=(const TMarkSet &) = delete;

    void TakeOut(TGraphDocument &marks);
    // Returns the marks put back.
    std::vector<TGraphObject *> PutBack(TGraphDocument &marks);

private:
    std::vector<TGraphObject *> fMarks;
    std::vector<TPlacedObject> fOut;
};

} // namespace talivo
