#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace talivo {

class TGraphDocument;
class TGraphObject;

// Marks as they stand, with their places among the marks, for taking them out and putting them
// back where they were. Costs what the marks themselves cost, whatever else the document holds.
class TMarkRecord {
public:
    TMarkRecord() = default;
    TMarkRecord(TGraphDocument &marks, const std::vector<TGraphObject *> &objects);

    const std::vector<uint32_t> &Ids() const { return fIds; }
    // Deletes the recorded marks that the document holds.
    void TakeOut(TGraphDocument &marks) const;
    // Puts the marks back at their places, with their IDs; returns them.
    std::vector<TGraphObject *> PutBack(TGraphDocument &marks) const;

private:
    QByteArray fRecord;
    std::vector<uint32_t> fIds;
};

} // namespace talivo
