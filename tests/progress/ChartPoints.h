#pragma once

#include <QPointF>
#include <QString>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "qcustomplot.h"

namespace orvane::testing {

inline QCPGraph* GraphOf(const QCPAxisRect& chart, const QString& name) {
  for (QCPGraph* graph : chart.graphs()) {
    if (graph->name() == name) {
      return graph;
    }
  }
  return nullptr;
}

// Every point of the chart's graph of that name, as drawn, gaps left out.
inline std::vector<QPointF> PointsOf(const QCPAxisRect& chart, const QString& name) {
  std::vector<QPointF> points;
  if (const QCPGraph* graph = GraphOf(chart, name)) {
    for (const QCPGraphData& point : *graph->data()) {
      if (!std::isnan(point.value)) {
        points.emplace_back(point.key, point.value);
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
inline int StretchesOf(const QCPAxisRect& chart, const QString& name) {
  int stretches = 0;
  bool in_gap = true;
  if (const QCPGraph* graph = GraphOf(chart, name)) {
    for (const QCPGraphData& point : *graph->data()) {
      stretches += in_gap && !std::isnan(point.value) ? 1 : 0;
      in_gap = std::isnan(point.value);
    }
  }
  return stretches;
}

// The runs over the chart: each one's label, from the axis above it, with the trial axis value at
// which the line down the chart marks its start.
inline std::vector<std::pair<std::string, double>> RunMarks(const QCPAxisRect& chart) {
  std::vector<std::pair<std::string, double>> marks;
  const auto ticker = chart.axis(QCPAxis::atTop)->ticker().dynamicCast<QCPAxisTickerText>();
  for (const QString& label : ticker->ticks()) {
    marks.emplace_back(label.toStdString(), std::nan(""));
  }
  std::size_t run = 0;
  for (QCPAbstractItem* item : chart.items()) {
    if (auto* line = qobject_cast<QCPItemStraightLine*>(item);
        line != nullptr && line->objectName() == "run start" && run < marks.size()) {
      marks[run++].second = line->point1->key();
    }
  }
  return marks;
}

// The labelled marks on the chart, each with the trial axis value it stands at.
inline std::vector<std::pair<double, std::string>> ChangeMarks(const QCPAxisRect& chart) {
  std::vector<std::pair<double, std::string>> marks;
  for (QCPAbstractItem* item : chart.items()) {
    if (auto* label = qobject_cast<QCPItemText*>(item)) {
      marks.emplace_back(label->position->key(), label->text().toStdString());
    }
  }
  return marks;
}

// The names the chart's legend shows, in its order.
inline std::vector<std::string> LegendOf(const QCPLegend& legend) {
  std::vector<std::string> names;
  for (int i = 0; i < legend.itemCount(); ++i) {
    if (auto* item = qobject_cast<QCPPlottableLegendItem*>(legend.item(i))) {
      names.push_back(item->plottable()->name().toStdString());
    }
  }
  return names;
}

}  // namespace orvane::testing
