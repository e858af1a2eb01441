#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps its settings, users, databases, messages and data files.
//
// A portable copy (and the build tree) keeps them beside the executable: that folder is the home
// when it is writable and holds profiler/. An installed program lives in a folder the user cannot
// write, so its home is the per-user data folder, created on first start and seeded from the
// installation's template (sounds, initial user file). An explicit folder (--home) wins over both.
namespace HomeFolder {

// The organisation and application names under which the per-user data folder is found, the
// same for every program of the system so that they share one home.
void SetApplicationNames();

// The per-user data folder (QStandardPaths::AppDataLocation under the names above).
[[nodiscard]] QString PerUserFolder();

// The installation's template of a home folder, relative to the executable's folder
// (bin/../share/corvane/home); empty when there is none.
[[nodiscard]] QString SeedFolder(const QString &programFolder);

// True when folder can serve as a home in place: writable and holding profiler/.
[[nodiscard]] bool IsUsableInPlace(const QString &folder);

// The folders every home holds; they are created when missing.
[[nodiscard]] const QStringList &Subfolders();

// Makes sure home and its subfolders exist; when home has no profiler/user.ruf yet and a seed
// folder is given, copies every file of the seed that home lacks (nothing is ever overwritten).
// False with a reason when a folder cannot be created or a file cannot be copied.
[[nodiscard]] bool Prepare(const QString &home, const QString &seed, QString *error);

struct Choice {
    QString folder;
    bool perUser = false; // the per-user data folder was chosen (and has been prepared)
    QString error;        // non-empty: the folder could not be prepared
};

// The whole rule: explicit folder if given, else the program folder if usable in place, else the
// prepared per-user folder.
[[nodiscard]] Choice Choose(const QString &explicitHome, const QString &programFolder,
                            const QString &perUserFolder);

// The rule for the running program (its executable's folder, its per-user folder).
[[nodiscard]] Choice ChooseForProgram(const QString &explicitHome);

} // namespace HomeFolder
