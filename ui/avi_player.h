// The clean-up window's scan animation: plays an uncompressed AVI file (24-bit DIB
// frames, as "scan.avi" beside the program is) in a label, looping, until stopped.
// A file it cannot read shows nothing and reports no error.
#pragma once

#include <QImage>
#include <QLabel>
#include <QList>

class QTimer;

namespace korvex {

class AviPlayer : public QLabel {
public:
    explicit AviPlayer(QWidget* parent = nullptr);

    // Reads the frames of the AVI file at hostPath and starts playing; false (and
    // nothing shown) when it holds no frame that can be shown.
    bool open(const QString& hostPath);
    void stop();
    bool playing() const;
    int frameCount() const { return static_cast<int>(frames_.size()); }

    // The frames of an AVI file's contents, and the time each is shown (ms).
    static QList<QImage> ReadFrames(const QByteArray& avi, int* frameMs);

private:
    void showNext();
    QList<QImage> frames_;
    int next_ = 0;
    QTimer* timer_ = nullptr;
};

}  // namespace korvex
