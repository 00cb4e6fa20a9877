#pragma once

#include "app/GroupIdCounter.h"
#include "app/Measurement.h"

#include <QImage>
#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

namespace talivo {

class TGraphControl;

// A file that cannot be used: missing, unreadable, not a measurement, or damaged. The message
// names the file.
class ECliInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A measurement file opened as the window opens it, on a canvas of its own that is never shown:
// the marks stay on the canvas, the group records become groups.
class TMeasurementFile {
public:
    // Reads the file over the picture, which becomes the canvas's background first, as in the
    // window; a null picture leaves the canvas without one. ECliInputError when the file cannot
    // be read or a group record is damaged.
    explicit TMeasurementFile(const QString &fileName, QImage image = QImage());
    ~TMeasurementFile();
    TMeasurementFile(const TMeasurementFile &) = delete;
    TMeasurementFile &operator=(const TMeasurementFile &) = delete;

    TGraphControl &Graph() { return *fGraph; }
    // The groups in file order, with the ids and descriptions the window's table gives them.
    const std::vector<TGroupRow> &Groups() const { return fGroups; }
    // Everything on the canvas once the records are gone counts as a mark, as in the window.
    int MarkCount() const;
    // The marks that belong to no group.
    int MarksWithoutGroup() const;
    // The number of marks of each group as the window's recount finds it. Renumbers the marks.
    std::vector<int> Recount();

private:
    std::unique_ptr<TGraphControl> fGraph;
    // A fresh counter per file: ids the file lacks are handed out as at the window's first open.
    TGroupIdCounter fIds;
    std::vector<TGroupRow> fGroups;
};

} // namespace talivo
