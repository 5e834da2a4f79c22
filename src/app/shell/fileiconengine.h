#pragma once

#include <QIconEngine>
#include <QMap>
#include <QPixmap>
#include <QString>

// An icon drawn at several sizes, one image file per size, that reads a file only when a
// pixmap of about its size is first asked for. QIcon::addFile reads and decodes every file at
// once, which costs a large application icon's decoding at start-up although a window shows
// only the 16 or 32 pixel one.

namespace kr44 {

class FileIconEngine final : public QIconEngine
{
public:
    // `files`: the file of each square size, by its side in pixels.
    explicit FileIconEngine(QMap<int, QString> files);

    [[nodiscard]] QIconEngine *clone() const override;
    [[nodiscard]] QString key() const override;
    [[nodiscard]] QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    [[nodiscard]] QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    // `size` in device pixels, as QIcon passes it.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    [[nodiscard]] bool isNull() override { return m_files.isEmpty(); }

    // The side of the file that serves a request of `extent` pixels: the smallest at least as
    // large, else the largest. 0 when there are no files.
    [[nodiscard]] int sideFor(int extent) const;
    // Files read so far.
    [[nodiscard]] int filesRead() const { return int(m_read.size()); }

private:
    QPixmap imageOfSide(int side);

    QMap<int, QString> m_files;
    QMap<int, QPixmap> m_read;
};

// For icon engines that make their own pixmaps: `normal` as the style shows it in `mode`
// (disabled, selected), and a paint() that draws the pixmap of `engine` at the painter's density.
[[nodiscard]] QPixmap pixmapForMode(const QPixmap &normal, QIcon::Mode mode);
void paintAtDensity(QIconEngine &engine, QPainter *painter, const QRect &rect, QIcon::Mode mode,
                    QIcon::State state);

// The application's icon in the sizes the window system asks for (16 to 256 pixels).
[[nodiscard]] QIcon applicationIcon();

} // namespace kr44
