#pragma once

#include "app/GroupIdCounter.h"
#include "app/Measurement.h"
#include "graph/objects/GraphDocument.h"

#include <QImage>
#include <QString>
#include <stdexcept>
#include <vector>

namespace talivo {

// A file that cannot be used: missing, unreadable, not a measurement, or damaged. The message
// names the file.
class ECliInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A measurement file opened as the window opens it, into a document of its own that no view
// shows: the marks stay in the document, the group records become groups.
class TMeasurementFile {
public:
    // Reads the file over the picture, which becomes the document's background first, as in the
    // window; a null picture leaves the document without one. ECliInputError when the file cannot
    // be read or a group record is damaged.
    explicit TMeasurementFile(const QString &fileName, QImage image = QImage());
    ~TMeasurementFile();
    TMeasurementFile(const TMeasurementFile &) = delete;
    TMeasurementFile &operator=(const TMeasurementFile &) = delete;

    TGraphDocument &Graph() { return fDocument; }
    // The groups in file order, with the ids and descriptions the window's table gives them.
    const std::vector<TGroupRow> &Groups() const { return fGroups; }
    // Everything in the document once the records are gone counts as a mark, as in the window.
    int MarkCount() const;
    // The marks that belong to no group.
    int MarksWithoutGroup() const;
    // The number of marks of each group as the window's recount finds it. Renumbers the marks.
    std::vector<int> Recount();

private:
    TGraphDocument fDocument;
    // A fresh counter per file: ids the file lacks are handed out as at the window's first open.
    TGroupIdCounter fIds;
    std::vector<TGroupRow> fGroups;
};

} // namespace talivo
