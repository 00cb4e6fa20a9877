#include "graph/objects/GraphNodePicture.h"

#include <QBuffer>
#include <QtEndian>

namespace talivo {

namespace {

const QByteArray kPngKind = QByteArrayLiteral("TPngImage");

} // namespace

void TGraphNodePicture::SetImage(const QImage &value)
{
    fImage = value;
    if (OnChange)
        OnChange();
}

QByteArray TGraphNodePicture::Data() const
{
    if (fImage.isNull())
        return QByteArray();
    QByteArray data;
    data.append(static_cast<char>(kPngKind.size()));
    data.append(kPngKind);
    QBuffer buffer(&data);
    buffer.open(QIODevice::Append);
    fImage.save(&buffer, "PNG");
    return data;
}

void TGraphNodePicture::SetData(const QByteArray &value)
{
    if (value.isEmpty()) {
        SetImage(QImage());
        return;
    }
    const qsizetype kindLength = static_cast<uchar>(value[0]);
    if (value.size() < 1 + kindLength)
        throw EGraphStreamError(N_("Background picture data is cut short"));
    if (kindLength == 0) {
        SetImage(QImage());
        return;
    }
    const QByteArray stored = value.mid(1 + kindLength);
    QImage image = QImage::fromData(stored);
    if (image.isNull() && stored.size() >= 4 &&
        qFromLittleEndian<quint32>(stored.constData()) == static_cast<quint32>(stored.size() - 4))
        image = QImage::fromData(stored.mid(4));
    if (image.isNull())
        throw EGraphStreamError(N_("Background picture cannot be decoded"));
    SetImage(image);
}

const TPropTable &TGraphNodePicture::PropTable()
{
    static const TPropTable table = [] {
        TPropTable table;
        TPropInfo data =
            Prop<&TGraphNodePicture::Data, &TGraphNodePicture::SetData>("Data", TPropKind::Binary);
        data.IsStored = [](const void *instance) {
            return !static_cast<const TGraphNodePicture *>(instance)->IsEmpty();
        };
        table.Defined.push_back(std::move(data));
        return table;
    }();
    return table;
}

} // namespace talivo
