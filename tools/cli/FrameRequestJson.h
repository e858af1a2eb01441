#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// What "frame request" prints for a request JSON: the frame as JSON, or the first problem found.
struct FrameRequestResult {
    QJsonObject json;
    QString error; // empty on success
};

// Reads the request's fields (unknown fields, wrong types and out-of-range numbers are
// refused) and builds the request buffer as the link does; defaultNow stands for a missing "now".
[[nodiscard]] FrameRequestResult BuildFrameRequest(const QByteArray &text, qint64 defaultNow);
