#include "graph/stream/GraphStreamFormat.h"

#include <QSaveFile>

namespace talivo {

namespace {

TPropInfo CarrierProp(const char *Name, TPropKind Kind)
{
    TPropInfo Info;
    Info.Name = Name;
    Info.Kind = Kind;
    return Info;
}

} // namespace

const TPropInfo *FindStreamProp(const TPropTable &ObjectTable, std::string_view Path)
{
    static const TPropInfo CarrierProps[] = {
        CarrierProp("ID", TPropKind::Cardinal), CarrierProp("Name", TPropKind::String),
        CarrierProp("Tag", TPropKind::Integer), CarrierProp("Left", TPropKind::Integer),
        CarrierProp("Top", TPropKind::Integer),
    };
    for (const TPropInfo &Info : CarrierProps) {
        if (Path == Info.Name) {
            return &Info;
        }
    }
    if (!Path.starts_with("G.")) {
        return nullptr;
    }
    Path.remove_prefix(2);
    const TPropTable *Table = &ObjectTable;
    for (;;) {
        const size_t Dot = Path.find('.');
        const TPropInfo *Info = Table->Find(Path.substr(0, Dot));
        if (!Info) {
            return nullptr;
        }
        if (Dot == std::string_view::npos) {
            return Info->Kind == TPropKind::Object ? nullptr : Info;
        }
        if (Info->Kind != TPropKind::Object) {
            return nullptr;
        }
        Table = &Info->ObjectTable();
        Path.remove_prefix(Dot + 1);
    }
}

namespace {

TSaveFailure GraphFileFailure(const QString &fileName)
{
    return [fileName](TSaveStep step, const QString &reason) {
        return std::make_exception_ptr(EGraphStreamError(step == TSaveStep::Create
                                                             ? N_("Cannot create file %1: %2")
                                                             : N_("Cannot write file %1: %2"),
                                                         {fileName, reason}));
    };
}

} // namespace

void WriteGraphFile(const QString &fileName, const TFileContentWriter &write)
{
    WriteFileAtomically(fileName, write, GraphFileFailure(fileName));
}

void WriteGraphFile(QSaveFile &file, const TFileContentWriter &write)
{
    WriteFileAtomically(file, write, GraphFileFailure(file.fileName()));
}

} // namespace talivo
