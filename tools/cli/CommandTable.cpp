#include "CommandTable.h"

#include <algorithm>

namespace cli {

const std::vector<CommandInfo> &Commands()
{
    static const std::vector<CommandInfo> table = {
        {"frame", "decode, extract or build receiver frames",
         "frame decode HEX\n"
         "frame extract [--chunk N] [FILE]\n"
         "frame request JSON (or - to read it from standard input)",
         RunFrame},
        {"ports", "list the serial ports the program would probe", "[--port PATH]... ports", RunPorts},
        {"users", "list the accounts of the user file", "[--home DIR] users", RunUsers},
        {"messages", "print a message file or a month, or archive the new messages",
         "messages dump FILE\n"
         "[--home DIR] messages month YYYY-MM\n"
         "[--home DIR] messages take-over\n"
         "  take-over archives the new messages into their monthly files and prints what it archived",
         RunMessages},
        {"db", "create a database, list or add nodes",
         "db create FILE\n"
         "db nodes FILE\n"
         "db add-node FILE --address HEX16 --type BYTE [--name TEXT] [--parent ID]\n"
         "  FILE without a folder lies in the home folder's database/ folder",
         RunDb},
        {"history", "list, dump, summarise, export, print or store history records of a node",
         "history list --db FILE --node HEX16\n"
         "history dump --db FILE --node HEX16 --record ID [--from T --to T] [--csv]\n"
         "history summary [--db FILE] --node HEX16 --record ID [--from T --to T]\n"
         "history export [--db FILE] --node HEX16 --record ID [--from T --to T] OUT.xls|OUT.csv|OUT.cvdf\n"
         "history print [--db FILE] --node HEX16 --record ID [--from T --to T] --mode curve|text [--pages N] "
         "OUT.pdf\n"
         "  print writes the report pages (curve: N landscape pages, 1 to 99, default 1; text: summary page "
         "and 60 samples a page)\n"
         "history store --db FILE --node HEX16 --start T --end T --interval S --type BYTE "
         "[--alarm FLAG --limits l1,u1,l2,u2] [--offset N] < raw-bytes",
         RunHistory},
        {"datafile", "dump, save or export a data file",
         "datafile dump FILE [--csv]\n"
         "datafile save --db FILE --node HEX16 --record ID [--from T --to T] --out FILE.cvdf\n"
         "datafile export IN.cvdf OUT.xls|OUT.csv",
         RunDatafile},
        {"monitor", "connect to the receiver and print link events",
         "[--home DIR] [--port PATH | --demo] monitor [--seconds N]", RunMonitor},
        {"plot", "draw the curve plot of a sample ring or a stored record into a PNG",
         "plot --ring FILE [--limits l1,u1,l2,u2] [--zoom Z] [--first S] [--width W] --png OUT [--points]\n"
         "plot --node HEX16 --record ID [--db FILE] [--from T --to T] [--zoom Z] [--first S] [--width W] "
         "--png OUT [--points]\n"
         "  FILE: JSON lines {\"t\":..,\"c1\":..,\"c2\":..}; W: picture width (415 ring, 500 record);\n"
         "  --db defaults to the configured database; --points prints K, D and the chosen indices",
         RunPlot},
        {"nodes", "print the instrument list (connects first when a port is given)",
         "[--home DIR] [--port PATH | --demo] nodes [--seconds N]\n"
         "  one JSON object per list row; without a port only the database is read",
         RunNodes},
        {"scan", "connect, run a network scan, wait for its end and print the list",
         "[--home DIR] (--port PATH | --demo) scan [--seconds LIMIT]", RunScan},
        {"node", "add, rename or delete nodes of the database",
         "[--home DIR] node add HEX16 --type BYTE|NAME [--name TEXT]\n"
         "[--home DIR] node rename HEX16 NAME\n"
         "[--home DIR] node delete HEX16...",
         RunNode},
        {"logging", "start or stop recording on loggers, or write their alarm limits",
         "[--home DIR] [--port PATH | --demo] logging start HEX16... --start T --interval S "
         "[--ch1 LOW,HIGH] [--ch2 LOW,HIGH] [--seconds LIMIT]\n"
         "[--home DIR] [--port PATH | --demo] logging stop HEX16... [--seconds LIMIT]\n"
         "[--home DIR] [--port PATH | --demo] logging alarm HEX16... [--ch1 LOW,HIGH] [--ch2 LOW,HIGH] "
         "[--seconds LIMIT]\n"
         "  limits in degrees Celsius (%RH for a humidity channel); no limits: alarm off",
         RunLogging},
        {"realtime", "start, stop or fetch the real-time samples of loggers",
         "[--home DIR] [--port PATH | --demo] realtime start HEX16... --interval S [--samples N] "
         "[--seconds LIMIT]\n"
         "[--home DIR] [--port PATH | --demo] realtime stop HEX16... [--seconds LIMIT]\n"
         "[--home DIR] [--port PATH | --demo] realtime fetch HEX16... [--seconds LIMIT]\n"
         "  S: seconds between samples (1..86399); --samples N: after the start, wait for N samples\n"
         "  of each logger; prints every sample received and each logger's row and command state",
         RunRealtime},
        {"download", "download the recorded history of loggers into the database",
         "[--home DIR] [--port PATH | --demo] download HEX16... [--from T --to T] [--seconds LIMIT]\n"
         "  prints the stored record of each node and whether its download completed",
         RunDownload},
        {"plan", "set the download plan of a logger",
         "[--home DIR] plan HEX16 daily HH:MM:SS\n"
         "[--home DIR] plan HEX16 once \"YYYY-MM-DD HH:MM:SS\"\n"
         "[--home DIR] plan HEX16 none",
         RunPlan},
        {"collect", "stay connected, log the network's events and run the download plans",
         "[--home DIR] [--port PATH | --demo] collect [--seconds N] [--clock T]\n"
         "  without --seconds it runs until stopped; --clock T: the plans' clock starts at T",
         RunCollect},
        {"gprs", "show or edit the alarm phone book and bindings, lock them into the receiver",
         "[--home DIR] [--port PATH | --demo] gprs show [--seconds N]\n"
         "[--home DIR] gprs phone K NUMBER\n"
         "[--home DIR] gprs bind HEX16 SLOTS\n"
         "[--home DIR] (--port PATH | --demo) gprs lock [--seconds LIMIT]\n"
         "  K: phone slot 1..10, NUMBER: up to 15 digits ('' empties the slot and unbinds it);\n"
         "  SLOTS: slot numbers separated by commas, or 'none'",
         RunGprs},
    };
    return table;
}

const CommandInfo *FindCommand(const QString &name)
{
    const auto &table = Commands();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const CommandInfo &c) { return name == QLatin1String(c.name); });
    return it == table.end() ? nullptr : &*it;
}

QString HelpText()
{
    QString text = QStringLiteral("usage: corvane-cli [--home DIR] [--port PATH]... [--demo] COMMAND ...\n"
                                  "       corvane-cli COMMAND --help   shows the usage of one command\n\n"
                                  "Commands:\n");
    for (const CommandInfo &c : Commands())
        text += QStringLiteral("  %1  %2\n").arg(QLatin1String(c.name), -10).arg(QLatin1String(c.summary));
    text += QStringLiteral("\nEach command prints one JSON object per line on standard output; errors go to\n"
                           "standard error with a non-zero exit status.\n");
    return text;
}

} // namespace cli
