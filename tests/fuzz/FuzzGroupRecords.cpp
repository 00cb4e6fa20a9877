// fuzz-library: talivo_app
// Turns the group records of a measurement into groups, as opening one does, with record texts
// taken from arbitrary bytes (split at 0 bytes, read as UTF-8), among marks that name their
// groups by the same ids; then counts and exports what came of it.
#include "app/Export.h"
#include "app/GroupIdCounter.h"
#include "app/Measurement.h"
#include "app/StrToInt.h"
#include "graph/control/GraphControl.h"
#include "graph/objects/GraphNode.h"
#include "i18n/Translation.h"

#include "tests/fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

// A damaged record is reported in the user's language: the translator, which looks through the
// program file for catalogs first, is made before the first input, not within its time.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    EnsureFuzzApplication();
    talivo::DefaultInstance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> texts = bytes.split('\0');
    // Far more records than a file would hold only repeat what a few of them reach.
    if (texts.size() > 64)
        return 0;

    talivo::TGraphControl graph;
    const auto insert = [&graph](int32_t left, const QString &text, int32_t tag) {
        talivo::TGraphNode *node = graph.InsertNode(
            {left, 0, left + 10, 10}, talivo::TGraphControl::FindClass("TCircularNode"));
        node->SetText(text);
        node->SetTag(tag);
    };
    int32_t left = 0;
    for (const QByteArray &text : texts) {
        insert(left, QString::fromUtf8(text), talivo::kGroupRecordTag);
        // A mark of the group the record would make when its id line is a number.
        insert(left + 10, "#1", 1000 + int32_t(left / 20));
        left += 20;
    }

    talivo::TGroupIdCounter ids;
    std::vector<talivo::TGroupRow> rows;
    const int32_t before = graph.Objects().Count();
    bool failed = false;
    try {
        talivo::RebuildGroups(graph.Document(), [&](const talivo::TGroupRecord &record) {
            rows.push_back(talivo::MakeGroupRow(record.Description, record.Color, record.Id,
                                                record.Count, ids));
        });
    } catch (const std::runtime_error &) {
        // A damaged record (EConvertError is one) stops the walk and stays on the canvas.
        failed = true;
    }
    // Every record handed over has left the canvas, and only those.
    Require(graph.Objects().Count() == before - int32_t(rows.size()));
    Require(failed || rows.size() == size_t(texts.size()));

    const std::vector<int> counts = talivo::RecountMarks(graph.Document(), rows);
    Require(counts.size() == rows.size());
    talivo::ExportFileBytes(talivo::ExportLines(rows, graph.Objects()));
    return 0;
}
