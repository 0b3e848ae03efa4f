#pragma once

#include <QAbstractSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QPointF>
#include <QXYSeries>

#include <string>
#include <utility>
#include <vector>

namespace orvane::testing {

// Every point of the chart's series of that name, stretch after stretch, as drawn.
inline std::vector<QPointF> PointsOf(const QChart& chart, const QString& name) {
  std::vector<QPointF> points;
  for (QAbstractSeries* series : chart.series()) {
    if (auto* xy = qobject_cast<QXYSeries*>(series); xy != nullptr && series->name() == name) {
      for (const QPointF& point : xy->points()) {
        points.push_back(point);
      }
    }
  }
  return points;
}

inline std::vector<double> Xs(const std::vector<QPointF>& points) {
  std::vector<double> xs;
  for (const QPointF& point : points) {
    xs.push_back(point.x());
  }
  return xs;
}

inline std::vector<double> Ys(const std::vector<QPointF>& points) {
  std::vector<double> ys;
  for (const QPointF& point : points) {
    ys.push_back(point.y());
  }
  return ys;
}

// How many stretches the line of that name is drawn in: each gap begins another.
inline int StretchesOf(const QChart& chart, const QString& name) {
  int stretches = 0;
  for (QAbstractSeries* series : chart.series()) {
    if (auto* xy = qobject_cast<QXYSeries*>(series);
        xy != nullptr && series->name() == name && xy->count() > 0) {
      ++stretches;
    }
  }
  return stretches;
}

// The runs on the axis above the chart: each one's label with the trial axis value where it starts.
inline std::vector<std::pair<std::string, double>> RunMarks(const QChart& chart) {
  std::vector<std::pair<std::string, double>> marks;
  for (QAbstractAxis* axis : chart.axes(Qt::Horizontal)) {
    if (auto* runs = qobject_cast<QCategoryAxis*>(axis)) {
      double start = runs->startValue();
      for (const QString& label : runs->categoriesLabels()) {
        marks.emplace_back(label.toStdString(), start);
        start = runs->endValue(label);
      }
    }
  }
  return marks;
}

}  // namespace orvane::testing
