#pragma once

#include "sim/virtualunit.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

// One axis of a plot: a range widened to whole steps of 1, 2 or 5 times a power of ten, with a
// tick at every step.

namespace kr44 {

struct AxisScale
{
    double min = 0;
    double max = 1;
    double step = 1;
    int decimals = 0; // digits after the point that every tick label needs

    [[nodiscard]] QList<double> ticks() const;
    [[nodiscard]] QString label(double value) const;
};

// The smallest 1-2-5 scale that covers `lo` to `hi` with at most `maxTicks` ticks (at least 3). An
// empty range is widened around its value; ranges that are not finite give 0 to 1.
[[nodiscard]] AxisScale niceScale(double lo, double hi, int maxTicks);

// A run's trace as (seconds since the run began, position counter), held flat from the last
// point to `untilUs` when that lies later (a program still waiting or delaying).
[[nodiscard]] QList<QPointF> runCurve(const QList<TracePoint> &trace, qint64 untilUs);

// At most four points per pixel column of the x range (first, lowest, highest, last in each
// column), so that a long run draws as fast as a short one and keeps its peaks.
[[nodiscard]] QList<QPointF> thinCurve(const QList<QPointF> &points, double xMin, double xMax,
                                       int columns);

// Position over time for the virtual unit's last run, drawn with QPainter: a time axis in
// seconds, a position axis in steps, a grid at the ticks and the curve.
class PositionPlot : public QWidget
{
    Q_OBJECT

public:
    explicit PositionPlot(QWidget *parent = nullptr);

    // Shows `trace` up to `untilUs` (see kr44::runCurve). Repaints only when the curve changed.
    void setRun(const QList<kr44::TracePoint> &trace, qint64 untilUs);
    void clear();

    [[nodiscard]] const QList<QPointF> &curve() const { return m_curve; }
    [[nodiscard]] const kr44::AxisScale &timeScale() const { return m_time; }
    [[nodiscard]] const kr44::AxisScale &positionScale() const { return m_position; }
    // Where the curve is drawn, inside the axes.
    [[nodiscard]] QRectF plotArea() const;
    // The widget point of a curve point (seconds, steps).
    [[nodiscard]] QPointF mapToArea(const QPointF &value) const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void rescale();
    [[nodiscard]] int maxTicks(double pixels, double labelPixels) const;

    QList<QPointF> m_curve;
    kr44::AxisScale m_time;
    kr44::AxisScale m_position;
};

} // namespace kr44
