#include "tools/cli/MeasurementFile.h"

#include "app/MarkedImage.h"

#include <QFileInfo>
#include <utility>

namespace talivo {

namespace {

[[noreturn]] void Fail(const QString &fileName, const QString &problem)
{
    throw ECliInputError((fileName + ": " + problem).toStdString());
}

} // namespace

std::unique_ptr<TMeasurementDocument> OpenMeasurementFile(const QString &fileName, QImage image)
{
    // Checked here so that the message says what is wrong without the reader's wording.
    const QFileInfo info(fileName);
    if (!info.exists())
        Fail(fileName, "no such file");
    if (!info.isFile())
        Fail(fileName, "not a file");
    auto measurement = std::make_unique<TMeasurementDocument>();
    PlaceImage(measurement->Marks(), std::move(image));
    try {
        measurement->Read(fileName);
    } catch (const std::exception &error) {
        Fail(fileName, QString("damaged or not a measurement file: %1").arg(error.what()));
    }
    return measurement;
}

} // namespace talivo
