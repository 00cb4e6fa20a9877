#pragma once

#include "detect/DetectOptions.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

namespace talivo {

// A command line that does not say what to do: an unknown command or option, or arguments
// missing or left over.
class ECliUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TCliCommand { ccHelp, ccVersion, ccCounts, ccExport, ccRender, ccCheck, ccDetect };

// What one run of talivo-cli is asked to do.
struct TCliCall {
    TCliCommand Command = ccHelp;
    // The measurement files, in the order given.
    QStringList Files;
    // The picture of "render" and "detect".
    QString Image;
    // "render"'s picture, or the file "export" or "detect" writes instead of standard output.
    std::optional<QString> Out;
    // The mark radius "render" draws with instead of the stored sizes.
    std::optional<int> PointSize;
    // What "detect" looks for; the diameter is estimated from the picture when not given.
    std::optional<double> Diameter;
    std::optional<TObjectPolarity> Polarity;
    std::optional<double> Sensitivity;
};

// The diameters "detect" accepts, in picture pixels.
inline constexpr double kMinDiameter = 2;
inline constexpr double kMaxDiameter = 4000;

// The smallest and largest point size, the range of the window's slider.
inline constexpr int kMinPointSize = 5;
inline constexpr int kMaxPointSize = 245;

// The call the arguments (without the program name) make; ECliUsageError when they make none.
TCliCall ParseCliCall(const QStringList &arguments);

// The text of --help.
QString CliUsage();

} // namespace talivo
