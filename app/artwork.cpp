#include "app/artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace korvex {

QPixmap KorvexLogo(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    QLinearGradient back(0, 0, 0, 64);
    back.setColorAt(0, QColor(0x2f, 0x6f, 0xb5));
    back.setColorAt(1, QColor(0x1b, 0x3f, 0x73));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    // A page with lines: what an installation left behind.
    p.setBrush(QColor(0xf4, 0xf6, 0xf8));
    p.drawRect(QRectF(12, 10, 28, 38));
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 2.5));
    for (int y = 18; y <= 38; y += 7) p.drawLine(QPointF(17, y), QPointF(35, y));

    // The magnifying glass that finds it.
    p.setPen(QPen(QColor(0xf0, 0x9a, 0x1a), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(46, 46), QPointF(55, 55));
    p.setPen(QPen(QColor(0xff, 0xc1, 0x4d), 4.5));
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QPointF(38, 38), 11, 11);
    return pixmap;
}

QIcon KorvexIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(KorvexLogo(size));
    return icon;
}

QPixmap KorvexNameBanner(int height) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setBold(true);
    font.setItalic(true);
    font.setPixelSize(height * 3 / 4);
    const QString name = QStringLiteral("Korvex!");
    const int width = QFontMetrics(font).horizontalAdvance(name) + height / 2;
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font);
    p.setPen(QColor(0x1b, 0x3f, 0x73));
    p.drawText(QRect(0, 0, width, height), Qt::AlignCenter, name);
    return pixmap;
}

}  // namespace korvex
