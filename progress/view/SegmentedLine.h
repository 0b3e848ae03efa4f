#pragma once

#include <QImage>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QString>

#include <vector>

class QAbstractAxis;
class QChart;
class QLineSeries;
class QXYSeries;

// Adds the points at the end of the series, laying it out once.
void AppendPoints(QXYSeries& series, const QList<QPointF>& points);

// One named line of a chart that can break: each stretch is a series of its own, since a line
// series joins all of its points, and only the first one is shown in the legend. Points are
// gathered and handed to the chart in one go by Flush(), so that long stretches draw quickly.
class SegmentedLine {
 public:
  // Each point is marked on the line with `point_mark`, unless it is a null picture.
  SegmentedLine(QChart& chart, const QString& name, const QPen& pen, const QImage& point_mark,
                QAbstractAxis& x_axis, QAbstractAxis& y_axis);

  // Continues the current stretch, or begins one after a Break().
  void Append(const QPointF& point);
  // The next point begins a new stretch.
  void Break() { broken_ = true; }
  // Empties every stretch; their series stay for later points.
  void Clear();
  // Hands the gathered points to their series.
  void Flush();

  const std::vector<QLineSeries*>& Stretches() const { return stretches_; }

 private:
  QLineSeries& AddStretch();

  QChart& chart_;
  QString name_;
  QPen pen_;
  QImage point_mark_;
  QAbstractAxis& x_axis_;
  QAbstractAxis& y_axis_;
  std::vector<QLineSeries*> stretches_;
  std::vector<QList<QPointF>> pending_;  // per stretch, not yet handed to it
  std::size_t used_ = 0;                 // stretches holding this drawing's points
  bool broken_ = true;
};
