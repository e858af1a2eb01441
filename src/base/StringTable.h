#pragma once

#include <QHash>
#include <QString>

enum class UiLanguage { Chinese, English };

// The table of user-visible texts by numeric id, in one language. The built-in tables are
// compiled in (resources/strings/zh_CN/*.tsv, resources/strings/en/*.tsv); a file of the same form in the home
// folder's lang/ folder overrides single entries. Lines are "id<TAB>text", "\n" is a line break.
class StringTable {
public:
    static constexpr int kMaxLength = 150;

    // Loads the built-in table of the language and then the override file, when present.
    void Load(UiLanguage language, const QString &langFolder);

    // The text of an id, at most kMaxLength characters; empty when the id is unknown.
    [[nodiscard]] QString Text(int id) const;
    [[nodiscard]] bool Contains(int id) const { return m_texts.contains(id); }
    [[nodiscard]] QList<int> Ids() const { return m_texts.keys(); }

    // Parses one table text into the map (later lines win); returns the number of entries read.
    static int Parse(const QString &text, QHash<int, QString> &into);
    // The resource folder of the built-in table files of a language.
    [[nodiscard]] static QString BuiltinPath(UiLanguage language);
    [[nodiscard]] static QString OverrideFileName(UiLanguage language);

private:
    QHash<int, QString> m_texts;
};

// The text of a string id in the current interface language.
[[nodiscard]] QString LoadStr(int id);
