#include "graph/objects/GraphObject.h"
#include "graph/stream/GraphStreamReader.h"
#include "graph/stream/GraphStreamWriter.h"

namespace talivo {

void TGraphObject::SaveToStream(QIODevice &stream)
{
    TGraphStreamWriter(stream).WritePropertyStream(GetPropTable(), SaveToEntries());
}

void TGraphObject::LoadFromStream(QIODevice &stream)
{
    LoadFromEntries(TGraphStreamReader(stream).ReadPropertyStream(GetPropTable()));
}

} // namespace talivo
