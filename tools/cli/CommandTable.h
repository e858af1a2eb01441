#pragma once

#include "CliCommon.h"

#include <QStringList>

#include <vector>

// Every command group of corvane-cli with its one-line summary and its usage, so that
// `--help`, `COMMAND --help` and the usage printed on a bad call all read the same text.
namespace cli {

using Handler = int (*)(const GlobalOptions &global, QStringList args);

struct CommandInfo {
    const char *name;
    const char *summary; // one line for `corvane-cli --help`
    const char *usage;   // lines after "corvane-cli ", joined by newlines
    Handler run;
};

[[nodiscard]] const std::vector<CommandInfo> &Commands();
// nullptr when no command has that name.
[[nodiscard]] const CommandInfo *FindCommand(const QString &name);
// The whole help text: global options and one line per command.
[[nodiscard]] QString HelpText();

} // namespace cli
