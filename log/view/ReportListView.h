#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

#include "log/ReportTable.h"

class QScrollBar;

// The trial log's table on screen: a title row and shaded data rows painted over the model it
// owns. A left press on a title sorts (away from its borders), a press on a row marks it, the
// navigation keys move the cursor and the mark, and title borders can be dragged or
// double-clicked to fit. Constructible from a Designer form with only a parent.
class TReportListView : public QWidget, private orvane::ReportTableObserver {
  Q_OBJECT
  Q_PROPERTY(int nrOfRows READ nrOfRows WRITE setNrOfRows)
  Q_PROPERTY(QList<int> colWidths READ colWidths WRITE setColWidths)
  Q_PROPERTY(int defaultRowHeight READ defaultRowHeight WRITE setDefaultRowHeight)
  Q_PROPERTY(int rowColPattern READ rowColPattern WRITE setRowColPattern)
  Q_PROPERTY(bool sortEnabled READ sortEnabled WRITE setSortEnabled)
  Q_PROPERTY(QColor colorText READ colorText WRITE setColorText)
  Q_PROPERTY(QColor colorBkgdNormal READ colorBkgdNormal WRITE setColorBkgdNormal)
  Q_PROPERTY(QColor colorBkgdShaded READ colorBkgdShaded WRITE setColorBkgdShaded)
  Q_PROPERTY(QColor colorSelectedRow READ colorSelectedRow WRITE setColorSelectedRow)
  Q_PROPERTY(QColor colorSelectedRowText READ colorSelectedRowText WRITE setColorSelectedRowText)
  Q_PROPERTY(QColor colorColumnHd READ colorColumnHd WRITE setColorColumnHd)
  Q_PROPERTY(QColor colorColumnHdText READ colorColumnHdText WRITE setColorColumnHdText)

 public:
  explicit TReportListView(QWidget* parent = nullptr);
  ~TReportListView() override;

  orvane::ReportTable& table() { return table_; }
  const orvane::ReportTable& table() const { return table_; }

  // The display position of the keyboard cursor (1 is the top row).
  int cursorPosition() const { return cursor_; }
  // The display position shown first below the titles.
  int topPosition() const;
  int titleRowHeight() const;

  int nrOfRows() const { return table_.GetNrRows(); }
  void setNrOfRows(int rows) { table_.SetNrRows(rows); }
  QList<int> colWidths() const { return col_widths_; }
  void setColWidths(const QList<int>& widths);
  int defaultRowHeight() const { return row_height_; }
  void setDefaultRowHeight(int height);
  int rowColPattern() const { return row_col_pattern_; }
  void setRowColPattern(int pattern);
  bool sortEnabled() const { return sort_enabled_; }
  void setSortEnabled(bool enabled) { sort_enabled_ = enabled; }
  QColor colorText() const { return color_text_; }
  void setColorText(const QColor& colour);
  QColor colorBkgdNormal() const { return color_normal_; }
  void setColorBkgdNormal(const QColor& colour);
  QColor colorBkgdShaded() const { return color_shaded_; }
  void setColorBkgdShaded(const QColor& colour);
  QColor colorSelectedRow() const { return color_selected_; }
  void setColorSelectedRow(const QColor& colour);
  QColor colorSelectedRowText() const { return color_selected_text_; }
  void setColorSelectedRowText(const QColor& colour);
  // The button face of the current palette until set.
  QColor colorColumnHd() const;
  void setColorColumnHd(const QColor& colour);
  QColor colorColumnHdText() const { return color_title_text_; }
  void setColorColumnHdText(const QColor& colour);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void TableChanged(orvane::TableChange change) override;

  int ColumnWidth(int column) const;
  std::vector<int> ColumnWidths() const;
  int FullyVisibleRows() const;
  int ShownRows() const;
  // Places both scroll bars and the grid between them for the current size, rows and widths.
  void Relayout();
  // The display position under a point of the data area, or 0.
  int PositionAt(const QPoint& point) const;
  bool InTitleRow(const QPoint& point) const;
  int TitleX(const QPoint& point) const;
  void SortBy(int column);
  void FitColumn(int column);
  void MoveCursorTo(int position);
  void EnsureVisible(int position);

  void PaintTitles(QPainter& painter, const QRect& grid) const;
  void PaintSortTriangle(QPainter& painter, const QRect& cell, int title_end) const;
  void PaintRows(QPainter& painter, const QRect& grid) const;

  orvane::ReportTable table_;
  QScrollBar* rows_bar_;
  QScrollBar* columns_bar_;
  QRect grid_;  // the title row and the data rows, inside the frame and the scroll bars
  QList<int> col_widths_;
  int row_height_ = 24;
  int row_col_pattern_ = 1;
  bool sort_enabled_ = true;
  QColor color_text_{0, 32, 0};
  QColor color_normal_{255, 255, 255};
  QColor color_shaded_{208, 224, 240};
  QColor color_selected_{237, 186, 148};
  QColor color_selected_text_{0, 0, 128};
  QColor color_title_;  // invalid: the palette's button face
  QColor color_title_text_{0, 0, 0};
  int cursor_ = 1;
  int resizing_column_ = 0;
  int resize_origin_x_ = 0;
  int resize_origin_width_ = 0;
};
