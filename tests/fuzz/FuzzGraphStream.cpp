// fuzz-library: talivo_graph
// Feeds arbitrary bytes to the graph stream reader: as a whole graph, merged into a graph that
// already has objects, and as the backup record that restores dragged objects.
#include "graph/control/GraphControl.h"
#include "graph/objects/RectangularNode.h"

#include "tests/fuzz/FuzzSupport.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace {

template <typename TRead> void Feed(const QByteArray &Bytes, TRead Read)
{
    QByteArray Copy = Bytes;
    QBuffer Buffer(&Copy);
    Buffer.open(QIODevice::ReadOnly);
    talivo::TGraphControl Graph;
    Graph.InsertNode({0, 0, 40, 40}, &talivo::TRectangularNode::StaticClass());
    Graph.InsertNode({50, 0, 90, 40}, &talivo::TRectangularNode::StaticClass());
    try {
        Read(Graph, Buffer);
    } catch (const talivo::EGraphStreamError &) {
    } catch (const std::invalid_argument &) {
        // A background picture that the image readers refuse.
    }
    if (Graph.IsUpdating()) {
        throw std::logic_error("an update batch was left open");
    }
    QByteArray Saved;
    QBuffer Out(&Saved);
    Out.open(QIODevice::WriteOnly);
    Graph.SaveToStream(Out);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    const QByteArray Bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    Feed(Bytes,
         [](talivo::TGraphControl &Graph, QIODevice &Stream) { Graph.LoadFromStream(Stream); });
    Feed(Bytes, [](talivo::TGraphControl &Graph, QIODevice &Stream) {
        Graph.MergeFromStream(Stream, 10, 10);
    });
    Feed(Bytes.mid(4),
         [](talivo::TGraphControl &Graph, QIODevice &Stream) { Graph.RestoreObjects(Stream); });
    return 0;
}
