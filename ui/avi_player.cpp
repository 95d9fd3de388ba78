#include "ui/avi_player.h"

#include <QFile>
#include <QTimer>
#include <cstring>

namespace korvex {

namespace {

quint32 u32(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 4 > b.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
quint16 u16(const QByteArray& b, qsizetype at) {
    if (at < 0 || at + 2 > b.size()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return quint16(p[0] | p[1] << 8);
}

struct Format {
    int width = 0, height = 0, bits = 0, frameMs = 100;
};

// A bottom-up (or, with a negative height, top-down) 24-bit DIB as an image.
QImage dibFrame(const QByteArray& b, qsizetype at, quint32 size, const Format& f) {
    const int w = f.width, h = f.height < 0 ? -f.height : f.height;
    const qsizetype stride = ((qsizetype(w) * 3 + 3) / 4) * 4;
    if (w <= 0 || h <= 0 || f.bits != 24 || qsizetype(size) < stride * h || at + stride * h > b.size()) return {};
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(b.constData() + at +
                                                                 stride * (f.height > 0 ? h - 1 - y : y));
        uchar* out = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            out[x * 3] = row[x * 3 + 2];
            out[x * 3 + 1] = row[x * 3 + 1];
            out[x * 3 + 2] = row[x * 3];
        }
    }
    return image;
}

// Walks the chunks of [from, to): LIST chunks are entered, the main header and the
// stream format are read, and every video frame chunk ("##db", "##dc") is decoded.
void walk(const QByteArray& b, qsizetype from, qsizetype to, Format& f, QList<QImage>& frames, int depth) {
    qsizetype at = from;
    while (at + 8 <= to && depth < 8) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = u32(b, at + 4);
        const qsizetype body = at + 8;
        if (body + qsizetype(size) > to) break;
        if (id == "LIST" || id == "RIFF") {
            walk(b, body + 4, body + size, f, frames, depth + 1);
        } else if (id == "avih" && size >= 4) {
            f.frameMs = qMax(20, int(u32(b, body) / 1000));
        } else if (id == "strf" && size >= 16 && f.width == 0) {
            f.width = int(qint32(u32(b, body + 4)));
            f.height = int(qint32(u32(b, body + 8)));
            f.bits = u16(b, body + 14);
        } else if (id.size() == 4 && (id.endsWith("db") || id.endsWith("dc"))) {
            const QImage image = dibFrame(b, body, size, f);
            if (!image.isNull()) frames.append(image);
        }
        at = body + size + (size & 1);
    }
}

}  // namespace

AviPlayer::AviPlayer(QWidget* parent) : QLabel(parent), timer_(new QTimer(this)) {
    setAlignment(Qt::AlignCenter);
    QObject::connect(timer_, &QTimer::timeout, this, [this] { showNext(); });
}

QList<QImage> AviPlayer::ReadFrames(const QByteArray& avi, int* frameMs) {
    Format f;
    QList<QImage> frames;
    if (avi.size() >= 12 && avi.startsWith("RIFF") && avi.mid(8, 4) == "AVI ")
        walk(avi, 12, qMin<qsizetype>(avi.size(), 8 + qsizetype(u32(avi, 4))), f, frames, 0);
    if (frameMs) *frameMs = f.frameMs;
    return frames;
}

bool AviPlayer::open(const QString& hostPath) {
    stop();
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    int frameMs = 100;
    frames_ = ReadFrames(file.readAll(), &frameMs);
    if (frames_.isEmpty()) return false;
    next_ = 0;
    showNext();
    timer_->start(frameMs);
    return true;
}

void AviPlayer::stop() {
    timer_->stop();
    clear();
}

bool AviPlayer::playing() const { return timer_->isActive(); }

void AviPlayer::showNext() {
    if (frames_.isEmpty()) return;
    setPixmap(QPixmap::fromImage(frames_[next_]));
    next_ = (next_ + 1) % int(frames_.size());
}

}  // namespace korvex
