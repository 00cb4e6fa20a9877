#include "app/MarkRecord.h"

#include "graph/objects/GraphDocument.h"

#include <QBuffer>

namespace talivo {

TMarkRecord::TMarkRecord(TGraphDocument &marks, const std::vector<TGraphObject *> &objects)
{
    fIds.reserve(objects.size());
    for (const TGraphObject *object : objects)
        fIds.push_back(object->ID());
    QBuffer stream(&fRecord);
    stream.open(QIODevice::WriteOnly);
    marks.RecordPlacedObjects(stream, objects);
}

void TMarkRecord::TakeOut(TGraphDocument &marks) const
{
    marks.DeleteObjectsByID(fIds);
}

std::vector<TGraphObject *> TMarkRecord::PutBack(TGraphDocument &marks) const
{
    QBuffer stream;
    stream.setData(fRecord);
    stream.open(QIODevice::ReadOnly);
    return marks.PutBackObjects(stream);
}

} // namespace talivo
