#include "app/shell/fileiconengine.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <cmath>

namespace kr44 {

FileIconEngine::FileIconEngine(QMap<int, QString> files) : m_files(std::move(files)) {}

QIconEngine *FileIconEngine::clone() const { return new FileIconEngine(*this); }

QString FileIconEngine::key() const { return QStringLiteral("FileIconEngine"); }

int FileIconEngine::sideFor(int extent) const
{
    if (m_files.isEmpty())
        return 0;
    const auto at = m_files.lowerBound(extent);
    return at == m_files.cend() ? m_files.lastKey() : at.key();
}

QPixmap FileIconEngine::imageOfSide(int side)
{
    auto at = m_read.find(side);
    if (at == m_read.end())
        at = m_read.insert(side, QPixmap(m_files.value(side)));
    return *at;
}

QSize FileIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    // Never larger than asked, as QIcon promises; a smaller file stays at its own size.
    const int side = std::min(sideFor(std::min(size.width(), size.height())),
                              std::min(size.width(), size.height()));
    return side > 0 ? QSize(side, side) : QSize();
}

QList<QSize> FileIconEngine::availableSizes(QIcon::Mode, QIcon::State)
{
    QList<QSize> sizes;
    for (auto it = m_files.cbegin(); it != m_files.cend(); ++it)
        sizes.append(QSize(it.key(), it.key()));
    return sizes;
}

QPixmap FileIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1.0);
}

// QIcon hands this the size in device pixels, with the ratio they are to be shown at.
QPixmap FileIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                                     qreal scale)
{
    const int device = actualSize(size, mode, state).width();
    if (device <= 0)
        return {};
    QPixmap image = imageOfSide(sideFor(device));
    if (image.isNull())
        return {};
    if (image.width() != device)
        image = image.scaled(device, device, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(scale);
    return pixmapForMode(image, mode);
}

void FileIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                           QIcon::State state)
{
    paintAtDensity(*this, painter, rect, mode, state);
}

QPixmap pixmapForMode(const QPixmap &normal, QIcon::Mode mode)
{
    if (mode == QIcon::Normal || !qApp)
        return normal;
    QStyleOption option;
    option.palette = QApplication::palette();
    return QApplication::style()->generatedIconPixmap(mode, normal, &option);
}

void paintAtDensity(QIconEngine &engine, QPainter *painter, const QRect &rect, QIcon::Mode mode,
                    QIcon::State state)
{
    const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    painter->drawPixmap(rect, engine.scaledPixmap(rect.size() * scale, mode, state, scale));
}

QIcon applicationIcon()
{
    QMap<int, QString> files;
    for (const int size : {16, 32, 48, 64, 128, 256})
        files.insert(size, QStringLiteral(":/kr44/icons/kr44-%1.png").arg(size));
    return QIcon(new FileIconEngine(files));
}

} // namespace kr44
