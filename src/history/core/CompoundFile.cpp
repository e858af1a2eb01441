#include "history/core/CompoundFile.h"

#include <QtEndian>

#include <cstring>

namespace CompoundFile {
namespace {

constexpr int kSector = 512;
constexpr int kIdsPerSector = kSector / 4;
constexpr int kHeaderDifat = 109;
constexpr quint32 kFree = 0xFFFFFFFF;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFatSector = 0xFFFFFFFD;
constexpr quint32 kDifatSector = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr int kMiniCutoff = 4096;

// Sector numbers of the file's parts: the stream first, then the directory, the allocation
// table and the table's continuation sectors.
struct Layout {
    quint32 streamSectors = 0;
    quint32 dirSector = 0;
    quint32 fatSectors = 0;
    quint32 difatSectors = 0;
    [[nodiscard]] quint32 FatStart() const { return dirSector + 1; }
    [[nodiscard]] quint32 DifatStart() const { return FatStart() + fatSectors; }
    [[nodiscard]] quint32 Total() const { return DifatStart() + difatSectors; }
};

Layout Plan(qint64 streamSize)
{
    Layout l;
    l.streamSectors = quint32((streamSize + kSector - 1) / kSector);
    l.dirSector = l.streamSectors;
    // The table must also cover its own sectors and the continuation sectors: grow to a fixed point.
    for (;;) {
        const quint32 total = l.Total();
        const quint32 fat = (total + kIdsPerSector - 1) / kIdsPerSector;
        const quint32 difat =
            fat > kHeaderDifat ? (fat - kHeaderDifat + kIdsPerSector - 2) / (kIdsPerSector - 1) : 0;
        if (fat == l.fatSectors && difat == l.difatSectors)
            return l;
        l.fatSectors = fat;
        l.difatSectors = difat;
    }
}

void Put16(char *p, quint16 v)
{
    qToLittleEndian(v, p);
}
void Put32(char *p, quint32 v)
{
    qToLittleEndian(v, p);
}

QByteArray Header(const Layout &l)
{
    QByteArray h(kSector, '\0');
    char *p = h.data();
    static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(p, signature, 8);
    Put16(p + 0x18, 0x003E); // minor version
    Put16(p + 0x1A, 0x0003); // major version 3: 512-byte sectors
    Put16(p + 0x1C, 0xFFFE); // little-endian
    Put16(p + 0x1E, 9);      // sector size 2^9
    Put16(p + 0x20, 6);      // mini sector size 2^6
    Put32(p + 0x2C, l.fatSectors);
    Put32(p + 0x30, l.dirSector);
    Put32(p + 0x38, kMiniCutoff);
    Put32(p + 0x3C, kEndOfChain); // no mini allocation table
    Put32(p + 0x44, l.difatSectors ? l.DifatStart() : kEndOfChain);
    Put32(p + 0x48, l.difatSectors);
    for (int i = 0; i < kHeaderDifat; ++i)
        Put32(p + 0x4C + 4 * i, quint32(i) < l.fatSectors ? l.FatStart() + i : kFree);
    return h;
}

void DirEntry(char *p, const QString &name, quint8 type, quint32 child, quint32 start, quint32 size)
{
    for (int i = 0; i < name.size() && i < 31; ++i)
        Put16(p + 2 * i, name.at(i).unicode());
    Put16(p + 0x40, quint16(name.isEmpty() ? 0 : 2 * (std::min<qsizetype>(name.size(), 31) + 1)));
    p[0x42] = char(type);
    p[0x43] = 1; // black
    Put32(p + 0x44, kNoStream);
    Put32(p + 0x48, kNoStream);
    Put32(p + 0x4C, child);
    Put32(p + 0x74, start);
    Put32(p + 0x78, size);
}

QByteArray Directory(const QString &streamName, quint32 streamSize)
{
    QByteArray d(kSector, '\0');
    DirEntry(d.data(), QStringLiteral("Root Entry"), 5, 1, kEndOfChain, 0);
    DirEntry(d.data() + 128, streamName, 2, kNoStream, 0, streamSize);
    for (int e = 2; e < 4; ++e)
        DirEntry(d.data() + 128 * e, QString(), 0, kNoStream, 0, 0);
    return d;
}

// Allocation table and its continuation sectors, in file order.
QByteArray Tables(const Layout &l)
{
    QByteArray t(int((l.fatSectors + l.difatSectors) * kSector), '\xFF');
    char *fat = t.data();
    for (quint32 s = 0; s < l.streamSectors; ++s)
        Put32(fat + 4 * s, s + 1 == l.streamSectors ? kEndOfChain : s + 1);
    Put32(fat + 4 * l.dirSector, kEndOfChain);
    for (quint32 i = 0; i < l.fatSectors; ++i)
        Put32(fat + 4 * (l.FatStart() + i), kFatSector);
    for (quint32 i = 0; i < l.difatSectors; ++i)
        Put32(fat + 4 * (l.DifatStart() + i), kDifatSector);
    char *difat = fat + l.fatSectors * kSector;
    for (quint32 i = kHeaderDifat; i < l.fatSectors; ++i) {
        const quint32 slot = i - kHeaderDifat;
        Put32(difat + 4 * (slot / (kIdsPerSector - 1) * kIdsPerSector + slot % (kIdsPerSector - 1)),
              l.FatStart() + i);
    }
    for (quint32 d = 0; d < l.difatSectors; ++d)
        Put32(difat + kSector * d + 4 * (kIdsPerSector - 1),
              d + 1 == l.difatSectors ? kEndOfChain : l.DifatStart() + d + 1);
    return t;
}

} // namespace

bool Write(QIODevice &out, const QString &streamName, const QByteArray &stream)
{
    QByteArray padded = stream;
    if (padded.size() < kMiniCutoff)
        padded.append(kMiniCutoff - padded.size(), '\0');
    const Layout l = Plan(padded.size());
    const qint64 tail = qint64(l.streamSectors) * kSector - padded.size();
    return out.write(Header(l)) == kSector && out.write(padded) == padded.size() &&
           out.write(QByteArray(int(tail), '\0')) == tail &&
           out.write(Directory(streamName, quint32(padded.size()))) == kSector && out.write(Tables(l)) >= 0;
}

} // namespace CompoundFile
