#include "base/NodeType.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

namespace NodeType {

namespace {
// The classes in the order of their string ids 117..121.
constexpr quint8 kClasses[] = {Receiver, Router, SingleTemp, DualTemp, TempHumidity};
} // namespace

int NameId(quint8 type)
{
    for (int i = 0; i < 5; ++i) {
        if (Class(type) == kClasses[i])
            return Sid::FirstTypeName + i;
    }
    return Sid::FirstTypeName + 5;
}

QString Name(quint8 type)
{
    return LoadStr(NameId(type));
}

quint8 FromName(const QString &name)
{
    quint8 type = 0;
    for (int i = 0; i < 5; ++i) {
        if (name == LoadStr(Sid::FirstTypeName + i))
            type = kClasses[i];
    }
    return type;
}

} // namespace NodeType
