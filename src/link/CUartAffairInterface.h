#pragma once

#include <QString>
#include <QtGlobal>

// The parameter source of a command view: the link reads the parameters of a request for the
// node on a row of the view's list through it when the request is submitted. The base answers
// "nothing" (id -1, empty address, zero values), so a view overrides only what its commands use.
class CUartAffairInterface {
public:
    virtual ~CUartAffairInterface() = default;

    // The node's key in the network table.
    virtual qint32 NodeId(int /*row*/) { return -1; }
    // The extended address as 16 hexadecimal digits.
    virtual QString ExtAddressText(int /*row*/) { return {}; }
    virtual qint64 RtInterval(int /*row*/) { return 0; }
    virtual qint64 LogStartTime(int /*row*/) { return 0; }
    virtual qint64 LogInterval(int /*row*/) { return 0; }
    virtual quint8 AlarmMode(int /*row*/) { return 0; }
    virtual float Ch1Lower(int /*row*/) { return 0.0f; }
    virtual float Ch1Upper(int /*row*/) { return 0.0f; }
    virtual float Ch2Lower(int /*row*/) { return 0.0f; }
    virtual float Ch2Upper(int /*row*/) { return 0.0f; }
    virtual quint8 DownloadMode(int /*row*/) { return 0; }
    virtual qint64 DownloadPlanFrom(int /*row*/) { return 0; }
    virtual qint64 DownloadPlanTo(int /*row*/) { return 0; }
};
