#pragma once

#include <QImage>
#include <QString>

namespace talivo {

class TGraphControl;
class TJobProgress;

// The settings the counting workspace gives a new canvas.
void PrepareCanvas(TGraphControl &graph);

// Makes the image the canvas's background and keeps objects within it. The canvas keeps the
// only copy of the pixels. An image without pixels changes nothing.
void ShowImage(TGraphControl &graph, QImage image);

// A 32-bit copy of the canvas's background with the shown objects drawn at their image pixels;
// a null image when the canvas has no background. It is made in bands of rows, each reported to
// the job; a null image too once the job is cancelled.
QImage RenderImageWithMarks(TGraphControl &graph, TJobProgress *progress = nullptr);

// Writes RenderImageWithMarks in the encoding of the name's extension. False when there is no
// image to write; a file that cannot be written raises EImageFileError.
bool SaveImageWithMarks(TGraphControl &graph, const QString &fileName);

} // namespace talivo
