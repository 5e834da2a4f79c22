#include "unitpanel/positionplot.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace kr44 {

namespace {

// Tolerance for comparing a value with a whole number of steps, in steps.
constexpr double kStepSlack = 1e-9;

} // namespace

QList<double> AxisScale::ticks() const
{
    QList<double> out;
    if (!(step > 0))
        return out;
    const int count = int(std::lround((max - min) / step));
    out.reserve(count + 1);
    for (int i = 0; i <= count; ++i) {
        double value = min + i * step;
        // A tick meant to be 0 can come out as a tiny negative number and print as "-0".
        if (std::abs(value) < step * 1e-6)
            value = 0;
        out.append(value);
    }
    return out;
}

QString AxisScale::label(double value) const
{
    if (std::abs(value) < step * 1e-6)
        value = 0;
    return QString::number(value, 'f', decimals);
}

AxisScale niceScale(double lo, double hi, int maxTicks)
{
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return {};
    if (lo > hi)
        std::swap(lo, hi);
    // Two ticks cannot frame a range that holds 0 strictly inside it; three always can.
    maxTicks = std::max(maxTicks, 3);
    if (hi - lo <= std::abs(hi) * 1e-12) {
        const double pad = std::max(1.0, std::abs(lo) * 0.1);
        lo -= pad;
        hi += pad;
    }
    const double raw = (hi - lo) / (maxTicks - 1);
    double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (;;) {
        for (const double mantissa : {1.0, 2.0, 5.0}) {
            const double step = mantissa * magnitude;
            const double first = std::floor(lo / step + kStepSlack);
            const double last = std::ceil(hi / step - kStepSlack);
            if (last - first + 1 > maxTicks)
                continue;
            AxisScale scale;
            scale.step = step;
            scale.min = first * step;
            scale.max = last * step;
            scale.decimals = std::max(0, -int(std::floor(std::log10(step) + kStepSlack)));
            return scale;
        }
        magnitude *= 10;
    }
}

QList<QPointF> runCurve(const QList<TracePoint> &trace, qint64 untilUs)
{
    QList<QPointF> out;
    if (trace.isEmpty())
        return out;
    const qint64 start = trace.first().timeUs;
    out.reserve(trace.size() + 1);
    for (const TracePoint &p : trace)
        out.append(QPointF(double(p.timeUs - start) / 1e6, double(p.position)));
    if (untilUs > trace.last().timeUs)
        out.append(QPointF(double(untilUs - start) / 1e6, double(trace.last().position)));
    return out;
}

QList<QPointF> thinCurve(const QList<QPointF> &points, double xMin, double xMax, int columns)
{
    if (columns <= 0 || !(xMax > xMin) || points.size() <= 4 * qsizetype(columns))
        return points;
    const auto columnOf = [&](double x) {
        return std::clamp(int((x - xMin) / (xMax - xMin) * columns), 0, columns - 1);
    };
    QList<QPointF> out;
    out.reserve(4 * columns);
    qsizetype first = 0;
    qsizetype lowest = 0;
    qsizetype highest = 0;
    int column = columnOf(points.first().x());
    const auto flush = [&](qsizetype last) {
        std::array<qsizetype, 4> keep {first, lowest, highest, last};
        std::sort(keep.begin(), keep.end());
        const auto end = std::unique(keep.begin(), keep.end());
        for (auto it = keep.begin(); it != end; ++it)
            out.append(points.at(*it));
    };
    for (qsizetype i = 1; i < points.size(); ++i) {
        const int c = columnOf(points.at(i).x());
        if (c != column) {
            flush(i - 1);
            column = c;
            first = lowest = highest = i;
            continue;
        }
        if (points.at(i).y() < points.at(lowest).y())
            lowest = i;
        if (points.at(i).y() > points.at(highest).y())
            highest = i;
    }
    flush(points.size() - 1);
    return out;
}

namespace {

// The shortest time axis: a run of a few instructions still gets a readable scale.
constexpr double kMinTimeSpan = 0.01;
constexpr int kTickLength = 4;
constexpr int kGap = 4;

} // namespace

PositionPlot::PositionPlot(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("positionPlot"));
    setAccessibleName(tr("Position over time"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    rescale();
}

void PositionPlot::setRun(const QList<kr44::TracePoint> &trace, qint64 untilUs)
{
    QList<QPointF> curve = kr44::runCurve(trace, untilUs);
    if (curve == m_curve)
        return;
    m_curve = std::move(curve);
    rescale();
    update();
}

void PositionPlot::clear() { setRun({}, 0); }

void PositionPlot::rescale()
{
    double lastTime = 0;
    double low = 0;
    double high = 0;
    if (!m_curve.isEmpty()) {
        lastTime = m_curve.last().x();
        const auto [lo, hi] = std::minmax_element(
                m_curve.cbegin(), m_curve.cend(),
                [](const QPointF &a, const QPointF &b) { return a.y() < b.y(); });
        low = lo->y();
        high = hi->y();
    }
    // A margin above and below, so a move that ends on a tick does not run along the frame.
    const double pad = (high - low) * 0.05;
    const QFontMetrics fm(font());
    m_position = kr44::niceScale(low - pad, high + pad,
                                 maxTicks(height() - 3 * fm.height(), 2.5 * fm.height()));
    // Room for the position labels and titles on the left; a time label and a gap per tick.
    const double tickPixels = 1.7 * fm.horizontalAdvance(QStringLiteral("0.00"));
    const double timePixels
            = width() - 4.0 * fm.height() - fm.horizontalAdvance(QStringLiteral("-0000"));
    m_time = kr44::niceScale(0, std::max(lastTime, kMinTimeSpan), maxTicks(timePixels, tickPixels));

    if (m_curve.isEmpty()) {
        setAccessibleDescription(tr("No run yet"));
    } else {
        setAccessibleDescription(tr("Last run: %1 s, position from %2 to %3 steps")
                                         .arg(QString::number(lastTime, 'f', 3))
                                         .arg(qint64(low))
                                         .arg(qint64(high)));
    }
}

int PositionPlot::maxTicks(double pixels, double labelPixels) const
{
    if (labelPixels <= 0)
        return 2;
    return std::clamp(int(pixels / labelPixels) + 1, 2, 11);
}

QRectF PositionPlot::plotArea() const
{
    const QFontMetrics fm(font());
    int labelWidth = 0;
    for (const double tick : m_position.ticks())
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(m_position.label(tick)));
    const double left = fm.height() + kGap + labelWidth + kGap + kTickLength;
    const double right = fm.horizontalAdvance(m_time.label(m_time.max)) / 2.0 + kGap;
    const double top = fm.height() / 2.0 + kGap;
    const double bottom = kTickLength + kGap + 2.0 * fm.height() + kGap;
    return QRectF(left, top, std::max(1.0, width() - left - right),
                  std::max(1.0, height() - top - bottom));
}

QPointF PositionPlot::mapToArea(const QPointF &value) const
{
    const QRectF area = plotArea();
    const double x
            = area.left() + (value.x() - m_time.min) / (m_time.max - m_time.min) * area.width();
    const double y = area.bottom()
            - (value.y() - m_position.min) / (m_position.max - m_position.min) * area.height();
    return {x, y};
}

QSize PositionPlot::sizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(QLatin1Char('0')) * 44, fm.height() * 14};
}

QSize PositionPlot::minimumSizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(QLatin1Char('0')) * 24, fm.height() * 8};
}

void PositionPlot::paintEvent(QPaintEvent *)
{
    // The tick counts follow the size; a resize always ends in a paint.
    rescale();
    QPainter painter(this);
    const QFontMetrics fm(font());
    const QRectF area = plotArea();
    const QColor textColor = palette().color(QPalette::Text);
    QColor gridColor = palette().color(QPalette::Mid);
    gridColor.setAlpha(110);

    for (const double t : m_time.ticks()) {
        const double x = mapToArea({t, m_position.min}).x();
        painter.setPen(QPen(gridColor, 0));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.setPen(textColor);
        painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + kTickLength));
        const QString text = m_time.label(t);
        const double w = fm.horizontalAdvance(text);
        painter.drawText(QPointF(x - w / 2, area.bottom() + kTickLength + kGap + fm.ascent()), text);
    }
    for (const double p : m_position.ticks()) {
        const double y = mapToArea({m_time.min, p}).y();
        painter.setPen(QPen(gridColor, 0));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(textColor);
        painter.drawLine(QPointF(area.left() - kTickLength, y), QPointF(area.left(), y));
        const QString text = m_position.label(p);
        const double w = fm.horizontalAdvance(text);
        painter.drawText(QPointF(area.left() - kTickLength - kGap - w,
                                 y + (fm.ascent() - fm.descent()) / 2.0),
                         text);
    }
    painter.setPen(QPen(textColor, 0));
    painter.drawRect(area);

    const QString timeTitle = tr("Time (s)");
    painter.drawText(QPointF(area.center().x() - fm.horizontalAdvance(timeTitle) / 2.0,
                             area.bottom() + kTickLength + kGap + fm.height() + kGap + fm.ascent()),
                     timeTitle);
    const QString positionTitle = tr("Position (steps)");
    painter.save();
    painter.translate(fm.ascent(), area.center().y() + fm.horizontalAdvance(positionTitle) / 2.0);
    painter.rotate(-90);
    painter.drawText(QPointF(0, 0), positionTitle);
    painter.restore();

    if (m_curve.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(area, Qt::AlignCenter, tr("No run yet"));
        return;
    }

    const QList<QPointF> shown
            = kr44::thinCurve(m_curve, m_time.min, m_time.max, int(area.width()));
    QPolygonF line;
    line.reserve(shown.size());
    for (const QPointF &p : shown)
        line.append(mapToArea(p));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(area.adjusted(-1, -1, 1, 1), Qt::IntersectClip);
    const QColor curveColor = palette().color(QPalette::Highlight);
    painter.setPen(QPen(curveColor, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
    painter.setBrush(curveColor);
    painter.drawEllipse(line.last(), 3, 3);
}

} // namespace kr44
