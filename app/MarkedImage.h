#pragma once

#include <QImage>
#include <QString>

namespace talivo {

class TGraphControl;
class TGraphDocument;
class TJobProgress;

// The rules the counting workspace gives the marks of a new document: at least 10 units wide
// and high, kept with their centres within the bounds.
void PrepareDocument(TGraphDocument &document);

// The settings the counting workspace gives a new canvas, its document's rules among them.
// Defined in MarkedImageCanvas.cpp, apart from what works on a document alone.
void PrepareCanvas(TGraphControl &graph);

// Makes the image the document's background and keeps objects within it. The document keeps the
// only copy of the pixels. An image without pixels changes nothing.
void PlaceImage(TGraphDocument &document, QImage image);

// PlaceImage on the canvas's document, and the canvas shows the image for viewing.
void ShowImage(TGraphControl &graph, QImage image);

// A 32-bit copy of the canvas's background with the shown objects drawn at their image pixels;
// a null image when the canvas has no background. It is made in bands of rows, each reported to
// the job; a null image too once the job is cancelled.
QImage RenderImageWithMarks(TGraphDocument &graph, TJobProgress *progress = nullptr);

// Writes RenderImageWithMarks in the encoding of the name's extension. False when there is no
// image to write; a file that cannot be written raises EImageFileError.
bool SaveImageWithMarks(TGraphDocument &graph, const QString &fileName);

} // namespace talivo
