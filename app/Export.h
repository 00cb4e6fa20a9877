#pragma once

#include "app/Measurement.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

namespace talivo {

class TGraphObjectList;

// The lines of "Export measurement ...": a header, then one line per mark, group by group in the
// order of the rows, within a group in canvas order. No lines at all when no row has a mark.
QStringList ExportLines(const std::vector<TGroupRow> &rows, const TGraphObjectList &objects);

// The export file's content: every line in the Windows code page, ended by CR LF.
QByteArray ExportFileBytes(const QStringList &lines);

// Replaces the file with the lines only once they are completely written; std::runtime_error
// when that fails.
void WriteExportFile(const QString &fileName, const QStringList &lines);

} // namespace talivo
