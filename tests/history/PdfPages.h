#pragma once

// Reads back what the tests need of a PDF file without a PDF library: the page objects and
// their media boxes (in points). Object dictionaries stay uncompressed in the files we write;
// only the page contents are compressed.
#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QSizeF>

namespace pdftest {

struct Pages {
    QList<QSizeF> boxes; // one per /Type /Page object, in file order
};

inline Pages ReadPages(const QByteArray &pdf)
{
    static const QRegularExpression object(QStringLiteral(R"(\d+ 0 obj(.*?)endobj)"),
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page(?![a-zA-Z]))"));
    static const QRegularExpression box(
        QStringLiteral(R"(/MediaBox\s*\[\s*([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s*\])"));
    Pages pages;
    const QString text = QString::fromLatin1(pdf);
    for (auto it = object.globalMatch(text); it.hasNext();) {
        const QString dict = it.next().captured(1);
        if (!page.match(dict).hasMatch())
            continue;
        const QRegularExpressionMatch m = box.match(dict);
        pages.boxes.append(m.hasMatch() ? QSizeF(m.captured(3).toDouble() - m.captured(1).toDouble(),
                                                 m.captured(4).toDouble() - m.captured(2).toDouble())
                                        : QSizeF());
    }
    return pages;
}

} // namespace pdftest
