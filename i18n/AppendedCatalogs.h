#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

namespace talivo {

// Where a catalog appended to the program file lies in it.
struct TEmbeddedFileInfo {
    qint64 offset = 0;
    qint64 size = 0;
};

// A catalog found appended to a program file. Path is relative to the program's folder, with '/'
// as separator.
struct TAppendedCatalog {
    QString Path;
    TEmbeddedFileInfo Info;
};

// A catalog to append: its path relative to the program's folder and its bytes.
struct TCatalogToAppend {
    QString Path;
    QByteArray Data;
};

// The two texts that enclose the appended catalogs, 39 characters each. They are built at run
// time so that the program file does not contain them unless catalogs were appended.
QByteArray AppendedCatalogsBeginMarker();
QByteArray AppendedCatalogsEndMarker();

// The catalogs appended to the bytes of a program file. Reading stops silently at the first entry
// that does not fit; the catalogs read up to then are kept.
std::vector<TAppendedCatalog> ReadAppendedCatalogs(QByteArrayView program);

// The bytes to append to a program file so that ReadAppendedCatalogs finds the catalogs.
//
// Layout, with every number 64-bit little-endian and every offset counted from just after the
// begin marker: the begin marker; the catalogs' bytes; one directory entry per catalog (offset of
// the next entry, offset of the catalog, its size, its path in UTF-8 up to the next entry); an
// entry whose next offset is 0; the offset of the first entry; the end marker.
QByteArray AppendedCatalogsBlock(const std::vector<TCatalogToAppend> &catalogs);

} // namespace talivo
