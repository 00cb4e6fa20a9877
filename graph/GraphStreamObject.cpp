#include "graph/GraphObject.h"
#include "graph/GraphStreamReader.h"
#include "graph/GraphStreamWriter.h"

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
