#pragma once

#include "detect/DetectOptions.h"

#include <QImage>
#include <QPointF>
#include <QString>

#include <vector>

namespace talivo {

enum TModuleOutcome {
    // The module ran and its object list was read.
    moDone,
    // The interpreter could not be started.
    moNotStarted,
    // The picture could not be handed over.
    moNoPicture,
    // The module ended with an error: a non-zero exit code or a crash.
    moFailed,
    moTimedOut,
    moCancelled,
    // The module ended well but its object list is missing or cannot be read.
    moBadOutput,
};

struct TModuleResult {
    TModuleOutcome Outcome = moDone;
    int ExitCode = 0;
    // For moBadOutput, the number of the line that cannot be read (from 1), or 0 when the list
    // is missing or too large.
    int BadLine = 0;
    // The line that cannot be read, shortened; or why the start or the hand-over failed.
    QString Detail;
    // The first lines the module wrote to its standard error.
    QString ErrorLines;
    // The objects in the order the module wrote them, in picture pixels: all of them, or none
    // when anything went wrong.
    std::vector<QPointF> Objects;
};

struct TModuleRunOptions {
    // The Python interpreter; empty looks for "python3" on the search path.
    QString Interpreter;
    int TimeLimitMs = 5 * 60 * 1000;
};

// Runs a detection module file as "INTERPRETER MODULE PICTURE.png OUT.tsv DIAMETER" in a
// process of its own, in an empty temporary folder that holds the picture as a PNG file and is
// removed afterwards. The module writes one object a line, x TAB y in picture pixels. Asks
// proceed (with a negative fraction: the module's progress is unknown) every few milliseconds
// and stops the module when it answers false or when the time limit has passed.
TModuleResult RunModuleFile(const QString &moduleFile, const QImage &picture, double diameter,
                            const TModuleRunOptions &options, const TProceed &proceed);

// Reads an object list as modules write it: x TAB y a line, numbers in picture pixels that lie
// on the picture (from -0.5 to the width or height less 0.5), blank lines allowed. Anything
// else makes the result moBadOutput with the line, and no objects.
TModuleResult ReadObjectList(const QByteArray &text, QSize picture);

} // namespace talivo
