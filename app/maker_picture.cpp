#include "app/maker_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace warenkai {
namespace {

void DrawCrate(QPainter& painter, const QRectF& box, const QColor& wood) {
    painter.setPen(QPen(wood.darker(160), 1.5));
    painter.setBrush(wood);
    painter.drawRect(box);
    // Two boards across and a brace, as on a shipping crate.
    painter.setPen(QPen(wood.darker(130), 1.0));
    const double third = box.height() / 3.0;
    painter.drawLine(QPointF(box.left(), box.top() + third), QPointF(box.right(), box.top() + third));
    painter.drawLine(QPointF(box.left(), box.top() + 2 * third), QPointF(box.right(), box.top() + 2 * third));
    painter.drawLine(box.bottomLeft(), box.topRight());
}

}  // namespace

QPixmap DrawMakerPicture() {
    QPixmap picture(kMakerPictureWidth, kMakerPictureHeight);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    // Sky.
    QLinearGradient sky(0, 0, 0, 95);
    sky.setColorAt(0.0, QColor(0x8f, 0xc3, 0xe8));
    sky.setColorAt(1.0, QColor(0xe4, 0xf1, 0xfa));
    painter.fillRect(QRectF(0, 0, kMakerPictureWidth, 95), sky);

    // Water with two swells.
    painter.fillRect(QRectF(0, 95, kMakerPictureWidth, 52), QColor(0x1f, 0x5f, 0x8b));
    painter.setPen(QPen(QColor(0x7f, 0xb2, 0xd6), 2.0));
    for (int y : {112, 130}) {
        QPainterPath wave;
        wave.moveTo(0, y);
        for (int x = 0; x < kMakerPictureWidth; x += 20) {
            wave.quadTo(x + 5, y - 4, x + 10, y);
            wave.quadTo(x + 15, y + 4, x + 20, y);
        }
        painter.drawPath(wave);
    }

    // The quay wall.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x6e, 0x6e, 0x6e));
    painter.drawRect(QRectF(0, 84, 110, 18));
    painter.setBrush(QColor(0x4a, 0x4a, 0x4a));
    for (int x = 8; x < 110; x += 20) {
        painter.drawRect(QRectF(x, 102, 5, 14));  // piles
    }

    // Crane: mast, jib and the hook line over the top crate.
    painter.setPen(QPen(QColor(0xd9, 0x8a, 0x1c), 4.0, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(QPointF(92, 84), QPointF(92, 18));
    painter.drawLine(QPointF(92, 20), QPointF(40, 14));
    painter.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.0));
    painter.drawLine(QPointF(48, 15), QPointF(48, 30));

    // Crates.
    DrawCrate(painter, QRectF(14, 56, 28, 28), QColor(0xb9, 0x7a, 0x3c));
    DrawCrate(painter, QRectF(44, 56, 28, 28), QColor(0xa8, 0x6b, 0x32));
    DrawCrate(painter, QRectF(29, 30, 28, 26), QColor(0xc6, 0x8a, 0x4a));

    // Frame.
    painter.setPen(QPen(QColor(0x1f, 0x5f, 0x8b), 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(1, 1, kMakerPictureWidth - 2, kMakerPictureHeight - 2));
    painter.end();
    return picture;
}

}  // namespace warenkai
