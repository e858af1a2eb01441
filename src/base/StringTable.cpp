#include "base/StringTable.h"

#include "base/AppSettings.h"

#include <QDir>
#include <QFile>

namespace {

QString ReadUtf8(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

} // namespace

// The tables are compiled into a static library, whose resource registration is linked in only
// when something calls it; the call must stand outside any namespace.
static void RegisterStringResources()
{
    Q_INIT_RESOURCE(resources);
}

QString StringTable::BuiltinPath(UiLanguage language)
{
    return language == UiLanguage::Chinese ? QStringLiteral(":/strings/zh_CN")
                                           : QStringLiteral(":/strings/en");
}

QString StringTable::OverrideFileName(UiLanguage language)
{
    return language == UiLanguage::Chinese ? QStringLiteral("zh_CN.tsv") : QStringLiteral("en.tsv");
}

int StringTable::Parse(const QString &text, QHash<int, QString> &into)
{
    int count = 0;
    const auto lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0)
            continue;
        bool ok = false;
        const int id = line.left(tab).trimmed().toInt(&ok);
        if (!ok)
            continue;
        QString value = line.mid(tab + 1);
        value.replace(QLatin1String("\\n"), QLatin1String("\n"));
        into.insert(id, value);
        ++count;
    }
    return count;
}

void StringTable::Load(UiLanguage language, const QString &langFolder)
{
    static const bool registered = (RegisterStringResources(), true);
    Q_UNUSED(registered);
    m_texts.clear();
    // The built-in table is split into several files; their id ranges do not overlap.
    const QDir builtin(BuiltinPath(language));
    for (const QString &name : builtin.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name))
        Parse(ReadUtf8(builtin.filePath(name)), m_texts);
    if (!langFolder.isEmpty())
        Parse(ReadUtf8(langFolder + QLatin1Char('/') + OverrideFileName(language)), m_texts);
}

QString StringTable::Text(int id) const
{
    return m_texts.value(id).left(kMaxLength);
}

QString LoadStr(int id)
{
    return AppSettings::Instance().Strings().Text(id);
}
