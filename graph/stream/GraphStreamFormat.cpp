#include "graph/stream/GraphStreamFormat.h"

#include <QSaveFile>

namespace talivo {

namespace {

TPropInfo CarrierProp(const char *name, TPropKind kind)
{
    TPropInfo info;
    info.Name = name;
    info.Kind = kind;
    return info;
}

} // namespace

const TPropInfo *FindStreamProp(const TPropTable &objectTable, std::string_view path)
{
    static const TPropInfo carrierProps[] = {
        CarrierProp("ID", TPropKind::Cardinal), CarrierProp("Name", TPropKind::String),
        CarrierProp("Tag", TPropKind::Integer), CarrierProp("Left", TPropKind::Integer),
        CarrierProp("Top", TPropKind::Integer),
    };
    for (const TPropInfo &info : carrierProps) {
        if (path == info.Name)
            return &info;
    }
    if (!path.starts_with("G."))
        return nullptr;
    path.remove_prefix(2);
    const TPropTable *table = &objectTable;
    for (;;) {
        const size_t dot = path.find('.');
        const TPropInfo *info = table->Find(path.substr(0, dot));
        if (!info)
            return nullptr;
        if (dot == std::string_view::npos)
            return info->Kind == TPropKind::Object ? nullptr : info;
        if (info->Kind != TPropKind::Object)
            return nullptr;
        table = &info->ObjectTable();
        path.remove_prefix(dot + 1);
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
