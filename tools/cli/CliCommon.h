#pragma once

#include <QJsonObject>
#include <QStringList>

// Shared plumbing of corvane-cli: one JSON object per line on standard output, errors on
// standard error with a non-zero exit status.
namespace cli {

struct GlobalOptions {
    QString home;      // --home DIR (empty: the executable's folder)
    QStringList ports; // --port PATH, repeatable
    bool demo = false; // --demo
};

void PrintJson(const QJsonObject &object);
void PrintLine(const QString &text);

// A JSON object of text fields built straight into UTF-8, for commands that print many lines:
// no QJsonObject, and the line goes to standard output without a flush (the output is written in
// blocks and flushed at exit). Keys are added in sorted order, as QJsonDocument writes them, so
// the line reads exactly as PrintJson's would.
class TextFieldsLine {
public:
    TextFieldsLine &Add(const char *key, const QString &value);
    void Write();

private:
    QByteArray m_line;
};
// text as a JSON string, escaped as QJsonDocument escapes it.
void AppendJsonString(QByteArray &out, const QString &text);
// Writes "corvane-cli: <message>" to standard error and returns exit status 1.
int Fail(const QString &message);
// Exit status 2 with the usage of the named command group from the command table.
int UsageOf(const char *command);

// Value of "--name VALUE" in args (removing both); empty optional when absent.
bool TakeOption(QStringList &args, const QString &name, QString &value);
bool TakeFlag(QStringList &args, const QString &name);

} // namespace cli

// Command groups; each returns the process exit status. args excludes the group word.
int RunFrame(const cli::GlobalOptions &global, QStringList args);
int RunPorts(const cli::GlobalOptions &global, QStringList args);
int RunUsers(const cli::GlobalOptions &global, QStringList args);
int RunMessages(const cli::GlobalOptions &global, QStringList args);
// messages dump FILE, messages month YYYY-MM and messages take-over.
int RunMessagesDump(const QString &path);
int RunMessagesMonth(const QStringList &args);
int RunMessagesTakeOver(const QStringList &args);
int RunDb(const cli::GlobalOptions &global, QStringList args);
int RunHistory(const cli::GlobalOptions &global, QStringList args);
int RunDatafile(const cli::GlobalOptions &global, QStringList args);
int RunMonitor(const cli::GlobalOptions &global, QStringList args);
int RunPlot(const cli::GlobalOptions &global, QStringList args);
int RunNodes(const cli::GlobalOptions &global, QStringList args);
int RunScan(const cli::GlobalOptions &global, QStringList args);
int RunNode(const cli::GlobalOptions &global, QStringList args);
int RunLogging(const cli::GlobalOptions &global, QStringList args);
int RunRealtime(const cli::GlobalOptions &global, QStringList args);
int RunDownload(const cli::GlobalOptions &global, QStringList args);
int RunPlan(const cli::GlobalOptions &global, QStringList args);
int RunCollect(const cli::GlobalOptions &global, QStringList args);
int RunGprs(const cli::GlobalOptions &global, QStringList args);
