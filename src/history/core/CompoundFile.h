#pragma once

#include <QByteArray>
#include <QIODevice>

// Writes an OLE2 compound file (version 3, 512-byte sectors) holding one stream, as Excel
// 97-2003 workbooks are stored. Streams below the 4096-byte cutoff are padded to it so that
// no mini stream is needed; readers find the workbook's end by its records, not the size.
namespace CompoundFile {

// Writes the file with the single stream 'name' (at most 31 characters). False when the
// device refuses a write.
[[nodiscard]] bool Write(QIODevice &out, const QString &streamName, const QByteArray &stream);

} // namespace CompoundFile
