#pragma once

#include "app/MeasurementDocument.h"

#include <QImage>
#include <QString>
#include <memory>
#include <stdexcept>

namespace talivo {

// A file that cannot be used: missing, unreadable, not a measurement, or damaged. The message
// names the file.
class ECliInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The measurement file opened as the window opens it, into marks of its own that no view shows:
// the marks stay in the document, the group records become groups, and ids the file lacks are
// handed out as at the window's first open. The picture becomes the document's background
// first, as in the window; a null picture leaves the document without one. ECliInputError when
// the file cannot be read or a group record is damaged.
std::unique_ptr<TMeasurementDocument> OpenMeasurementFile(const QString &fileName,
                                                          QImage image = QImage());

} // namespace talivo
