#include "app/shell/commandicons.h"

#include "app/shell/fileiconengine.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace kr44 {

namespace {

// Every picture is drawn on a 16 by 16 grid, scaled to the size asked for.
void draw(QPainter &p, CommandPicture picture)
{
    const QColor outline(60, 60, 60);
    const QPen line(outline, 1.0);
    p.setPen(line);
    switch (picture) {
    case CommandPicture::NewProgram: {
        QPainterPath sheet;
        sheet.moveTo(3.5, 1.5);
        sheet.lineTo(9.5, 1.5);
        sheet.lineTo(12.5, 4.5);
        sheet.lineTo(12.5, 14.5);
        sheet.lineTo(3.5, 14.5);
        sheet.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(sheet);
        p.setBrush(QColor(215, 215, 215));
        p.drawPolygon(QPolygonF({{9.5, 1.5}, {9.5, 4.5}, {12.5, 4.5}}));
        break;
    }
    case CommandPicture::OpenProgram:
        p.setBrush(QColor(214, 170, 60));
        p.drawPolygon(QPolygonF(
                {{1.5, 3.5}, {6.0, 3.5}, {7.5, 5.0}, {13.5, 5.0}, {13.5, 13.5}, {1.5, 13.5}}));
        p.setBrush(QColor(245, 205, 95));
        p.drawPolygon(QPolygonF({{3.5, 7.5}, {15.0, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
        break;
    case CommandPicture::SaveProgram:
        p.setBrush(QColor(55, 95, 170));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.0, 1.5, 8, 5.5));
        p.setBrush(QColor(190, 190, 190));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(55, 95, 170));
        p.drawRect(QRectF(9.0, 2.5, 1.8, 3.5));
        break;
    case CommandPicture::PrintProgram:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.0, 1.0);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(80, 200, 80));
        p.drawRect(QRectF(11.5, 8.0, 1.5, 1.5));
        break;
    case CommandPicture::CommandWindow: {
        p.setBrush(QColor(40, 40, 40));
        p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.0, 1.0);
        QPen prompt(QColor(120, 230, 120), 1.4);
        prompt.setCapStyle(Qt::RoundCap);
        prompt.setJoinStyle(Qt::RoundJoin);
        p.setPen(prompt);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({{4.0, 6.0}, {6.5, 8.0}, {4.0, 10.0}}));
        p.drawLine(QPointF(8.0, 10.5), QPointF(11.5, 10.5));
        break;
    }
    case CommandPicture::SendProgram:
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(9.5, 2.5, 5, 11), 1.0, 1.0);
        p.setBrush(QColor(60, 150, 60));
        p.drawPolygon(QPolygonF({{1.5, 6.0},
                                 {5.5, 6.0},
                                 {5.5, 3.5},
                                 {9.5, 8.0},
                                 {5.5, 12.5},
                                 {5.5, 10.0},
                                 {1.5, 10.0}}));
        break;
    case CommandPicture::About:
        p.setBrush(QColor(50, 110, 200));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(7.0, 3.5, 2, 2));
        p.drawRect(QRectF(7.0, 6.5, 2, 6));
        break;
    }
}

class CommandPictureEngine final : public QIconEngine
{
public:
    explicit CommandPictureEngine(CommandPicture picture) : m_picture(picture) {}

    QIconEngine *clone() const override { return new CommandPictureEngine(*this); }
    QString key() const override { return QStringLiteral("CommandPictureEngine"); }
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }
    // QIcon hands this the size in device pixels, with the ratio they are to be shown at.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        if (scale <= 0)
            scale = 1.0;
        const int side = int(std::lround(std::min(size.width(), size.height()) / scale));
        if (side <= 0)
            return {};
        const quint64 key
                = (quint64(side) << 32) | (quint64(std::lround(scale * 100)) << 2) | quint64(mode);
        auto it = m_drawn.find(key);
        if (it == m_drawn.end())
            it = m_drawn.insert(key,
                                pixmapForMode(drawCommandPicture(m_picture, side, scale), mode));
        return *it;
    }
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        paintAtDensity(*this, painter, rect, mode, state);
    }

private:
    CommandPicture m_picture;
    QHash<quint64, QPixmap> m_drawn;
};

} // namespace

QPixmap drawCommandPicture(CommandPicture picture, int side, qreal devicePixelRatio)
{
    const int pixels = std::max(1, int(std::lround(side * devicePixelRatio)));
    QPixmap image(pixels, pixels);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 16.0, side / 16.0);
    draw(p, picture);
    return image;
}

QIcon commandPictureIcon(CommandPicture picture)
{
    return QIcon(new CommandPictureEngine(picture));
}

} // namespace kr44
