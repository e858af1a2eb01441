#include "history/core/XlsWriter.h"

#include "history/core/CompoundFile.h"

#include "history/core/HistoryCoreLog.h"
#include <QSet>
#include <QtEndian>

namespace XlsWriter {
namespace {

constexpr quint16 kBof = 0x0809, kEof = 0x000A, kCodePage = 0x0042, kWindow1 = 0x003D;
constexpr quint16 kFont = 0x0031, kXf = 0x00E0, kStyle = 0x0293, kBoundSheet = 0x0085;
constexpr quint16 kDimensions = 0x0200, kWindow2 = 0x023E, kLabel = 0x0204, kNumber = 0x0203;
constexpr quint16 kCellXf = 15; // the first cell format after the 15 style formats

// Little-endian record builder over one growing byte array.
class Stream {
public:
    QByteArray bytes;
    void U8(quint8 v) { bytes.append(char(v)); }
    void U16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
    }
    void U32(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    }
    void F64(double v)
    {
        char b[8];
        qToLittleEndian(v, b);
        bytes.append(b, 8);
    }
    // Starts a record; End() fills in its length.
    void Begin(quint16 type)
    {
        U16(type);
        m_lengthAt = bytes.size();
        U16(0);
    }
    void End() { qToLittleEndian(quint16(bytes.size() - m_lengthAt - 2), bytes.data() + m_lengthAt); }
    // Characters with their option byte: 8-bit when every character fits, else UTF-16.
    void Chars(const QString &t)
    {
        const bool wide = std::any_of(t.begin(), t.end(), [](QChar c) { return c.unicode() > 0xFF; });
        U8(wide ? 1 : 0);
        if (!wide) {
            for (const QChar c : t)
                bytes.append(char(c.unicode()));
            return;
        }
        for (const QChar c : t)
            U16(c.unicode());
    }

private:
    qsizetype m_lengthAt = 0;
};

void Bof(Stream &s, quint16 kind)
{
    s.Begin(kBof);
    s.U16(0x0600); // BIFF8
    s.U16(kind);   // 0x0005 workbook globals, 0x0010 worksheet
    s.U16(0x0DBB);
    s.U16(0x07CC);
    s.U32(0);
    s.U32(0x06);
    s.End();
}

void Simple(Stream &s, quint16 type, std::initializer_list<quint16> words)
{
    s.Begin(type);
    for (const quint16 w : words)
        s.U16(w);
    s.End();
}

void Font(Stream &s)
{
    s.Begin(kFont);
    for (const quint16 w : {200, 0, 0x7FFF, 400, 0})
        s.U16(w);
    s.U8(0); // underline
    s.U8(0); // family
    s.U8(0); // character set
    s.U8(0);
    const QString name = QStringLiteral("Arial");
    s.U8(quint8(name.size()));
    s.Chars(name);
    s.End();
}

void Xf(Stream &s, bool style)
{
    s.Begin(kXf);
    s.U16(0);                       // font
    s.U16(0);                       // number format "General"
    s.U16(style ? 0xFFF5 : 0x0001); // style (parent none) or cell (parent 0), locked
    s.U8(0x20);                     // bottom aligned
    s.U8(0);
    s.U8(0);
    s.U8(style ? 0xF4 : 0x00); // attributes a style leaves to its cells
    s.U32(0);                  // no borders
    s.U32(0);
    s.U16(0x20C0); // automatic pattern colours
    s.End();
}

void Globals(Stream &s, const QList<Sheet> &sheets, QList<qsizetype> &offsetAt)
{
    Bof(s, 0x0005);
    Simple(s, kCodePage, {1200}); // UTF-16
    Simple(s, kWindow1, {0, 0, 0x3A5C, 0x23BE, 0x0038, 0, 0, 1, 0x0258});
    for (int i = 0; i < 4; ++i)
        Font(s);
    for (int i = 0; i < 15; ++i)
        Xf(s, true);
    Xf(s, false);
    s.Begin(kStyle);
    s.U16(0x8000); // built-in style of format 0
    s.U8(0);       // "Normal"
    s.U8(0xFF);
    s.End();
    for (const Sheet &sh : sheets) {
        s.Begin(kBoundSheet);
        offsetAt.append(s.bytes.size());
        s.U32(0); // the sheet's position, filled in once known
        s.U16(0); // visible worksheet
        s.U8(quint8(sh.name.size()));
        s.Chars(sh.name);
        s.End();
    }
    Simple(s, kEof, {});
}

void WriteCell(Stream &s, int row, int column, const Cell &c)
{
    // An empty text is no cell: a zero-length label confuses readers.
    if (c.kind == Cell::Empty || (c.kind == Cell::Text && c.text.isEmpty()))
        return;
    s.Begin(c.kind == Cell::Text ? kLabel : kNumber);
    s.U16(quint16(row));
    s.U16(quint16(column));
    s.U16(kCellXf);
    if (c.kind == Cell::Number) {
        s.F64(c.number);
    } else {
        const QString t = c.text.left(kMaxTextLength);
        if (t.size() < c.text.size())
            qCWarning(lcHistoryCore) << "workbook cell text cut to" << kMaxTextLength << "characters";
        s.U16(quint16(t.size()));
        s.Chars(t);
    }
    s.End();
}

void Worksheet(Stream &s, const Sheet &sh, bool first)
{
    Bof(s, 0x0010);
    s.Begin(kDimensions);
    s.U32(0);
    s.U32(quint32(sh.rows));
    s.U16(0);
    s.U16(quint16(sh.columns));
    s.U16(0);
    s.End();
    for (int r = 0; r < sh.rows; ++r)
        for (int c = 0; c < sh.columns; ++c)
            WriteCell(s, r, c, sh.cell(r, c));
    Simple(s, kWindow2, {quint16(first ? 0x06B6 : 0x00B6), 0, 0, 64, 0, 0, 0, 0, 0});
    Simple(s, kEof, {});
}

QString Check(const QList<Sheet> &sheets)
{
    QSet<QString> names;
    for (const Sheet &sh : sheets) {
        if (sh.name.isEmpty() || sh.name.size() > kMaxSheetName)
            return QStringLiteral("sheet name \"%1\" must have 1 to 31 characters").arg(sh.name);
        if (names.contains(sh.name.toLower()))
            return QStringLiteral("sheet name \"%1\" appears twice").arg(sh.name);
        names.insert(sh.name.toLower());
        if (sh.rows < 0 || sh.rows > kMaxRows || sh.columns < 0 || sh.columns > kMaxColumns)
            return QStringLiteral("sheet \"%1\" exceeds 65536 rows or 256 columns").arg(sh.name);
    }
    return sheets.isEmpty() ? QStringLiteral("a workbook needs at least one sheet") : QString();
}

} // namespace

bool Write(QIODevice &out, const QList<Sheet> &sheets, QString *error)
{
    if (const QString problem = Check(sheets); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    Stream s;
    QList<qsizetype> offsetAt;
    Globals(s, sheets, offsetAt);
    for (int i = 0; i < sheets.size(); ++i) {
        qToLittleEndian(quint32(s.bytes.size()), s.bytes.data() + offsetAt[i]);
        Worksheet(s, sheets[i], i == 0);
    }
    if (CompoundFile::Write(out, QStringLiteral("Workbook"), s.bytes))
        return true;
    if (error)
        *error = out.errorString();
    return false;
}

} // namespace XlsWriter
