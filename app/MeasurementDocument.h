#pragma once

#include "app/GroupIdCounter.h"
#include "app/GroupTableModel.h"
#include "app/Measurement.h"
#include "graph/objects/GraphDocument.h"
#include "graph/objects/GraphNode.h"

#include <QString>
#include <QUndoStack>
#include <functional>
#include <vector>

namespace talivo {

class TJobProgress;
class TMarkSet;

// A measurement as the window and talivo-cli work on it: the groups, the marks and the picture
// they were counted on. The marks are a document of the measurement's own, prepared for marks,
// or the document of the view that shows them; the groups are a table for views of their own.
class TMeasurementDocument {
public:
    TMeasurementDocument();
    ~TMeasurementDocument();
    TMeasurementDocument(const TMeasurementDocument &) = delete;
    TMeasurementDocument &operator=(const TMeasurementDocument &) = delete;

    TGroupTableModel &Groups() { return fGroups; }
    const TGroupTableModel &Groups() const { return fGroups; }
    TGraphDocument &Marks() const { return *fMarks; }
    // The marks from now on are those of the document, which outlives the measurement or
    // leaves it first; null puts back the measurement's own.
    void ShowMarksIn(TGraphDocument *marks) { fMarks = marks ? marks : &fOwnMarks; }
    // The resolved path of the picture, empty when none is known.
    const QString &PictureFileName() const { return fPictureFileName; }
    void SetPictureFileName(const QString &fileName) { fPictureFileName = fileName; }
    // Where new groups take their ids: a counter of the measurement's own unless another is
    // given (the program's, which must outlive the measurement).
    void TakeIdsFrom(TGroupIdCounter &ids) { fIds = &ids; }

    // The steps that can be taken back, since the picture or the measurement was opened.
    QUndoStack &History() { return fHistory; }
    // Whether there is work no file holds: the history is away from where it was saved, or
    // something changed that the history does not hold.
    bool Unsaved() const { return fChangedBeyondHistory || !fHistory.isClean(); }
    // A change the history does not hold; it stays unsaved until a save or a fresh history.
    void MarkChanged();
    // The measurement was written: the current state is the saved one.
    void MarkSaved();
    // A fresh history, as after opening a picture or a measurement; unsaved keeps the work
    // unsaved that is there.
    void StartHistory(bool unsaved);
    // Called after every change of the measurement, and when it becomes saved.
    std::function<void()> OnChanged;

    // Appends a group row (see MakeGroupRow) and returns its row, outside the history.
    int AddGroup(const QString &description, TColor color, int id, int count);

    // The steps a user takes; each goes into the history as it is taken.
    // A mark around the centre, numbered on from its group's count; blue and without number
    // when no row has the group.
    TGraphNode &AddMark(TPoint centre, int32_t r, int groupId, int pointSize);
    // Proposed points as marks of the group (see talivo::AddProposedMarks), counted in; how
    // many were added. None when no row has the group.
    int AddMarks(const std::vector<TPoint> &points, int groupId, int32_t r, int pointSize);
    // Deletes the marks that may be deleted and numbers the rest anew; false when none was.
    bool DeleteMarks(const std::vector<TGraphObject *> &marks);
    // The user moved or resized marks (see TGraphControl::OnNodesMoved). Moves with the same
    // key run, one of 0 or more, of the same marks one after another are one step.
    void MarksMoved(const std::vector<TNodePlace> &before, int keyRun);
    // A group row as AddGroup makes it; returns its row.
    int NewGroup(const QString &description, TColor color, int id, int count);
    // A group's description and colour, and the colour of its marks.
    void EditGroup(int row, const QString &description, TColor color);
    // The group row and its marks.
    void DeleteGroup(int row);

    // What the steps do to the marks.
    // Puts marks taken out back, each given the looks of the marks now (OnMarkPutBack).
    void PutBackMarks(TMarkSet &set);
    // Each changed caption as it was before or after.
    void SetCaptions(const std::vector<TCaptionChange> &changes, bool after);
    // The marks of the IDs in a group's colour.
    void ColorMarks(const std::vector<uint32_t> &ids, TColor color);
    // Gives a mark put back the looks that are the view's, not the file's: its size and whether
    // it shows.
    std::function<void(TGraphObject &)> OnMarkPutBack;

    // Reads the file into the marks in place of what they held and appends its groups; the
    // reader's errors go on as they are, and what was read before a damaged record stays.
    void Read(const QString &fileName);
    // The checked content (see ReadMeasurementFile) in place of the marks and the groups.
    void Show(TMeasurementContent &content);
    // Reads and checks the file first: one that cannot be opened changes nothing.
    void Open(const QString &fileName, TJobProgress *progress = nullptr);
    // Writes the marks with a record of each group (see SaveMeasurement).
    void Save(const QString &fileName, TJobProgress *progress = nullptr) const;
    // Turns the group records among the marks into groups (see talivo::RebuildGroups).
    void RebuildGroups();

    // Everything among the marks counts as a mark once the records are gone.
    int MarkCount() const;
    // The marks that belong to no group.
    int MarksWithoutGroup() const;
    // The number of marks of each group, found by numbering the marks anew (see RecountMarks);
    // the groups keep their counts.
    std::vector<int> Recount();

private:
    void AddGroup(const TGroupRecord &record);
    void Changed();

    TGroupTableModel fGroups;
    TGraphDocument fOwnMarks;
    TGraphDocument *fMarks = &fOwnMarks;
    TGroupIdCounter fOwnIds;
    TGroupIdCounter *fIds = &fOwnIds;
    QString fPictureFileName;
    QUndoStack fHistory;
    bool fChangedBeyondHistory = false;
};

} // namespace talivo
