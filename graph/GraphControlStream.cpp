#include "graph/GraphControl.h"
#include "platform/Platform.h"

#include <QBuffer>

namespace talivo {

void TGraphControl::MergeFromStream(QIODevice &Stream, int32_t OffsetX, int32_t OffsetY)
{
    ShowMerged(fDocument.MergeFromStream(Stream, OffsetX, OffsetY));
}

void TGraphControl::MergeFromFile(const QString &FileName, int32_t OffsetX, int32_t OffsetY)
{
    ShowMerged(fDocument.MergeFromFile(FileName, OffsetX, OffsetY));
}

void TGraphControl::ShowMerged(const std::optional<TRect> &Added)
{
    SetCommandMode(cmEdit);
    if (Added) {
        ScrollInView(*Added);
    }
}

void TGraphControl::CopyToClipboard(bool Selection)
{
    const TGraphObjectList &List = Selection ? SelectedObjects() : Objects();
    if (List.Count() == 0) {
        return;
    }
    TClipboardForms Forms;
    if (fClipboardFormats.Contains(cfNative)) {
        QByteArray Block;
        QBuffer Buffer(&Block);
        Buffer.open(QIODevice::WriteOnly);
        WriteObjects(Buffer, List);
        Buffer.close();
        Forms.Custom.insert(QString::fromLatin1(CF_GRAPHOBJECTS), Block);
    }
    if (fClipboardFormats.Contains(cfMetafile)) {
        Forms.Svg = MetafileToSvg(GetAsMetafile(List));
    }
    if (fClipboardFormats.Contains(cfBitmap)) {
        Forms.Image = GetAsBitmap(List);
    }
    Clipboard().Put(Forms);
}

bool TGraphControl::PasteFromClipboard()
{
    std::optional<QByteArray> Block = Clipboard().Data(QString::fromLatin1(CF_GRAPHOBJECTS));
    if (!Block) {
        return false;
    }
    QBuffer Buffer(&*Block);
    Buffer.open(QIODevice::ReadOnly);
    const TUpdateBatch batch(*this);
    ClearSelection();
    const int32_t old = Objects().Count();
    ReadObjects(Buffer);
    for (int32_t i = Objects().Count() - 1; i >= old; --i) {
        Objects()[i]->SetSelected(true);
    }
    return true;
}

} // namespace talivo
