#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace talivo {

// Whether the objects are darker or brighter than their surroundings; automatic decides from
// the picture.
enum TObjectPolarity { opAutomatic, opDark, opBright };

// The sensitivity runs from 0 (only the clearest objects) to 100 (every faint one).
inline constexpr double kMinSensitivity = 0;
inline constexpr double kMaxSensitivity = 100;
inline constexpr double kDefaultSensitivity = 50;

struct TDetectOptions {
    // The expected diameter of an object in picture pixels.
    double Diameter = 20;
    TObjectPolarity Polarity = opAutomatic;
    double Sensitivity = kDefaultSensitivity;
};

// Told how far the work has come, from 0 to 1, or a negative number while that is not known;
// answers false to stop the work.
using TProceed = std::function<bool(double fraction)>;

// The work stopped because its caller asked it to.
class EDetectionCancelled : public std::runtime_error {
public:
    EDetectionCancelled() : std::runtime_error("The detection was cancelled.") {}
};

// Throws EDetectionCancelled when the caller asks to stop.
inline void ReportProgress(const TProceed &proceed, double fraction)
{
    if (proceed && !proceed(fraction))
        throw EDetectionCancelled();
}

} // namespace talivo
