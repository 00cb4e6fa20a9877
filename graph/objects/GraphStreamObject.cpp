#include "graph/objects/GraphObject.h"
#include "graph/stream/GraphStreamReader.h"
#include "graph/stream/GraphStreamWriter.h"

namespace talivo {

void TGraphObject::SaveToStream(QIODevice &Stream)
{
    TGraphStreamWriter(Stream).WritePropertyStream(GetPropTable(), SaveToEntries());
}

void TGraphObject::LoadFromStream(QIODevice &Stream)
{
    LoadFromEntries(TGraphStreamReader(Stream).ReadPropertyStream(GetPropTable()));
}

} // namespace talivo
