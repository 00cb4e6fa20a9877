#pragma once

#include "graph/stream/GraphProperties.h"

#include <QByteArray>
#include <QImage>

#include <functional>

namespace talivo {

// The background picture of a node: a raster image, or nothing. Every change is reported through
// OnChange, which the node uses to repaint and to mark the document changed. Not copyable, so
// that a copy never inherits the owner's handler: use Assign.
//
// Its stream form (the property "Data") is one length byte with the name of the graphic's kind,
// then the graphic's stored form. A picture is written as "TPngImage" with the PNG file, so that
// it comes back exactly; reading accepts any kind whose stored form is an image file Qt can
// decode, optionally preceded by its 32-bit length, as some kinds store it.
class TGraphNodePicture {
public:
    TGraphNodePicture() = default;
    TGraphNodePicture(const TGraphNodePicture &) = delete;
    TGraphNodePicture &operator=(const TGraphNodePicture &) = delete;

    const QImage &Image() const { return fImage; }
    void SetImage(const QImage &value);
    bool IsEmpty() const { return fImage.isNull(); }
    void Assign(const TGraphNodePicture &source) { SetImage(source.fImage); }

    // The stream form; empty for an empty picture. SetData raises EGraphStreamError for a payload
    // that is cut short or holds no image it can decode.
    QByteArray Data() const;
    void SetData(const QByteArray &value);

    static const TPropTable &PropTable();

    std::function<void()> OnChange;

private:
    QImage fImage;
};

} // namespace talivo
