#pragma once

#include "app/GroupRow.h"
#include "graph/canvas/Types.h"
#include "graph/objects/GraphDocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace talivo {

class TGroupIdCounter;
class TJobProgress;

// Marks carry group ids, which start at 1000, so this tag is free for the group records.
inline constexpr int32_t kGroupRecordTag = 500;

// A group as a group record of a measurement file stores it.
struct TGroupRecord {
    int Count = 0;
    QString Description;
    int Id = 0;
    TColor Color = 0;
};

using TAddGroup = std::function<void(const TGroupRecord &record)>;

// A measurement file that cannot be opened: missing, unreadable, not a measurement or damaged.
// The message names the file.
class EMeasurementError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A measurement file read whole and checked, before anything of the document changes.
struct TMeasurementContent {
    // The file's marks, read on a document of their own that no view shows, and its groups.
    std::unique_ptr<TGraphDocument> Marks;
    std::vector<TGroupRecord> Groups;
    // At least one mark, and every mark stored hidden.
    bool MarksHidden = false;
};

// The row a new group becomes: an id of 0 or less takes the counter's next id, and line breaks
// and tabs in the description become blanks.
TGroupRow MakeGroupRow(const QString &description, TColor color, int id, int count,
                       TGroupIdCounter &ids);

// Hands every group record on the canvas, in canvas order, to addGroup and removes it from the
// canvas. A record with fewer than four lines, or whose colour is not an integer, stops the walk
// with an error: the groups handed over before it stay handed over, and it stays on the canvas.
void RebuildGroups(TGraphDocument &graph, const TAddGroup &addGroup);

// Writes the canvas as a measurement file, with a group record for each entry of records: the
// count, description, id and colour texts of a group. The records exist for the file only: the
// canvas and whatever watches it learn nothing of the write. The file is replaced only once the
// new content is complete; a cancelled job stops the write with an error and keeps it as it was.
void SaveMeasurement(const TGraphDocument &graph, const std::vector<QStringList> &records,
                     const QString &fileName, TJobProgress *progress = nullptr);

// The texts a group's record holds, as the group table shows them.
QStringList GroupRecordFields(const TGroupRow &group);
// The text of a group record: each field on a line of its own.
QString GroupRecordText(const QStringList &fields);

// Reads a measurement file into the canvas, replacing what it held, and rebuilds its groups.
void ReadMeasurement(TGraphDocument &graph, const QString &fileName, const TAddGroup &addGroup);

// Reads and checks the whole file on a canvas of its own; EMeasurementError when it cannot be
// opened or a group record is damaged, and as soon as the job is cancelled. The job learns how
// much of the file has been checked.
TMeasurementContent ReadMeasurementFile(const QString &fileName, TJobProgress *progress = nullptr);

// Puts the content's marks on the canvas in place of every object it held, unmodified, as if the
// file had been read there; the content keeps no marks. The group records stay out.
void ShowMeasurement(TGraphDocument &graph, TMeasurementContent &content);

// The caption of a group's n-th mark: #1, #2, ...
QString MarkText(int number);

// A group's count raised by added marks; it stops at the largest integer instead of overflowing.
int CountPlus(int count, int added);

// A mark's caption before and after it was numbered anew.
struct TCaptionChange {
    TGraphObject *Mark = nullptr;
    QString Before;
    QString After;
};

// Numbers every mark anew within its group in canvas order and returns the number of marks of
// each row. A mark counts for the first row of its id; one whose id has no row keeps its text.
// The captions that changed are appended to changes when given.
std::vector<int> RecountMarks(TGraphDocument &graph, const std::vector<TGroupRow> &rows,
                              std::vector<TCaptionChange> *changes = nullptr);

// Gives every mark the point size p around its centre, and every object the caption height of p.
void ResizeMarks(TGraphDocument &graph, int p);
// The same for one object.
void ResizeMarkObject(TGraphObject &object, int p);

} // namespace talivo
