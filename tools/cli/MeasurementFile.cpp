#include "tools/cli/MeasurementFile.h"

#include "app/MarkedImage.h"

#include <QFileInfo>
#include <unordered_set>
#include <utility>

namespace talivo {

namespace {

[[noreturn]] void Fail(const QString &fileName, const QString &problem)
{
    throw ECliInputError((fileName + ": " + problem).toStdString());
}

} // namespace

TMeasurementFile::TMeasurementFile(const QString &fileName, QImage image)
{
    // Checked here so that the message says what is wrong without the reader's wording.
    const QFileInfo info(fileName);
    if (!info.exists())
        Fail(fileName, "no such file");
    if (!info.isFile())
        Fail(fileName, "not a file");
    PrepareDocument(fDocument);
    PlaceImage(fDocument, std::move(image));
    try {
        ReadMeasurement(fDocument, fileName, [this](const TGroupRecord &record) {
            fGroups.push_back(
                MakeGroupRow(record.Description, record.Color, record.Id, record.Count, fIds));
        });
    } catch (const std::exception &error) {
        Fail(fileName, QString("damaged or not a measurement file: %1").arg(error.what()));
    }
}

TMeasurementFile::~TMeasurementFile() = default;

int TMeasurementFile::MarkCount() const
{
    return fDocument.Objects().Count();
}

int TMeasurementFile::MarksWithoutGroup() const
{
    std::unordered_set<int> ids;
    for (const TGroupRow &group : fGroups)
        ids.insert(group.Id);
    int count = 0;
    const TGraphObjectList &objects = fDocument.Objects();
    for (int32_t i = 0; i < objects.Count(); ++i)
        count += ids.contains(objects[i]->Tag()) ? 0 : 1;
    return count;
}

std::vector<int> TMeasurementFile::Recount()
{
    return RecountMarks(fDocument, fGroups);
}

} // namespace talivo
