#pragma once

#include <QString>
#include <QtGlobal>

// What a message-log entry is about. The program decides colours, sounds and archiving by the
// kind; the type word stored in the message files and shown beside the text is only its text
// in the current language.
enum class MessageKind : quint8 {
    None,        // nothing worth an entry
    Alarm,       // 警告: a reading outside its limits, a fault, a lost logger
    PreAlarm,    // 预警: a reading close to a limit
    Setting,     // 设置: something was set on a node, the receiver or the program
    Connection,  // 连接: a connection or the receiver's self-check
    Get,         // 获取: information read from a node
    Download,    // 下载: recorded history downloaded
    System,      // 系统: the program itself (nodes added, a database opened)
    Interrupted, // 中断: a command that did not finish
    Scan,        // 扫描: a network scan
};

// The kind's type word in the current language; empty for None.
[[nodiscard]] QString TypeWord(MessageKind kind);
// The kind whose type word (in the current language) is given; None for any other text.
[[nodiscard]] MessageKind KindOfWord(const QString &word);
