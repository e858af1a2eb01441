#include "views/core/ManagerPictures.h"

#include <QPainter>

namespace ManagerPictures {

namespace {

const QColor kGrey(150, 150, 150);

QImage Blank()
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void DrawReceiver(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(colour, 1.5));
    p.setBrush(colour.lighter(150));
    p.drawRect(QRectF(8, 6, 14, 8));
    p.drawLine(QPointF(15, 6), QPointF(15, 1));
    p.drawEllipse(QPointF(15, 1.5), 1.5, 1.5);
}

void DrawRouter(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(colour, 2));
    p.drawLine(QPointF(5, 5), QPointF(25, 5));
    p.drawLine(QPointF(21, 2), QPointF(25, 5));
    p.drawLine(QPointF(5, 10), QPointF(25, 10));
    p.drawLine(QPointF(5, 10), QPointF(9, 13));
}

void DrawLogger(QPainter &p, const QColor &colour)
{
    p.setPen(QPen(colour, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(13, 1, 4, 10), 2, 2);
    p.setBrush(colour);
    p.drawEllipse(QPointF(15, 12), 2.5, 2.5);
    p.drawLine(QPointF(15, 5), QPointF(15, 11));
}

} // namespace

QImage State(StatePicture picture)
{
    if (picture == StatePicture::None)
        return {};
    QImage image = Blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case StatePicture::ReceiverConnected:
        DrawReceiver(p, QColor(0xAA, 0x1E, 0xFA));
        break;
    case StatePicture::ReceiverOther:
        DrawReceiver(p, kGrey);
        break;
    case StatePicture::RouterConnected:
        DrawRouter(p, QColor(0xAA, 0x1E, 0xFA));
        break;
    case StatePicture::RouterOther:
        DrawRouter(p, kGrey);
        break;
    case StatePicture::LoggerKnown:
        DrawLogger(p, QColor(0x1E, 0x82, 0x14));
        break;
    case StatePicture::LoggerUnknown:
        DrawLogger(p, kGrey);
        break;
    case StatePicture::None:
        break;
    }
    return image;
}

QImage Rf(RfPicture picture)
{
    if (picture == RfPicture::None)
        return {};
    QImage image = Blank();
    QPainter p(&image);
    const int lit = int(picture);
    for (int bar = 1; bar <= 4; ++bar) {
        const int height = 3 * bar;
        p.fillRect(QRect(6 + (bar - 1) * 5, kHeight - 1 - height, 3, height),
                   bar <= lit ? QColor(0x20, 0x70, 0xD0) : QColor(210, 210, 210));
    }
    return image;
}

QImage Power(PowerPicture picture)
{
    if (picture == PowerPicture::None)
        return {};
    QImage image = Blank();
    QPainter p(&image);
    const int steps = int(picture);
    p.setPen(QColor(60, 60, 60));
    p.drawRect(QRect(3, 2, 22, 10));
    p.fillRect(QRect(25, 5, 2, 4), QColor(60, 60, 60));
    const QColor fill = steps <= 1 ? QColor(220, 40, 40) : QColor(40, 160, 60);
    for (int s = 0; s < steps; ++s)
        p.fillRect(QRect(5 + s * 4, 4, 3, 7), fill);
    return image;
}

} // namespace ManagerPictures
