#include "log/view/ReportListView.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "log/view/LayoutRules.h"
#include "log/view/TextHeight.h"

namespace {

constexpr int kFrame = 1;
constexpr int kTextIndent = 4;
constexpr int kTitleTextTop = 2;
constexpr int kCellMargins = 9;
constexpr int kSortedTitleExtra = 13;
constexpr int kDefaultColumnWidth = 64;
constexpr int kWheelRows = 3;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// `text` cut to fit `available` pixels, by character count, with "..." after what is kept.
QString Elided(const QString& text, const QFontMetrics& metrics, int available, int reserve) {
  const int width = metrics.horizontalAdvance(text);
  if (width <= available) {
    return text;
  }
  const int characters = static_cast<int>(text.size());
  int kept = std::min(orvane::ElidedLength(characters, width, available, reserve), characters);
  if (kept < characters && text.at(kept - 1).isHighSurrogate() && kept > 1) {
    --kept;
  }
  return text.left(kept) + QStringLiteral("...");
}

// Shows the wait cursor for as long as it lives.
class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

TReportListView::TReportListView(QWidget* parent)
    : QWidget(parent),
      rows_bar_(new QScrollBar(Qt::Vertical, this)),
      columns_bar_(new QScrollBar(Qt::Horizontal, this)),
      col_widths_{234, 143, 129} {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  rows_bar_->setTracking(true);
  rows_bar_->setSingleStep(1);
  connect(rows_bar_, &QScrollBar::valueChanged, this, [this] { update(); });
  columns_bar_->setTracking(true);
  columns_bar_->setSingleStep(8);
  connect(columns_bar_, &QScrollBar::valueChanged, this, [this] { update(); });
  table_.SetObserver(this);
  Relayout();
}

TReportListView::~TReportListView() {
  table_.SetObserver(nullptr);
}

int TReportListView::topPosition() const {
  return rows_bar_->value() + 1;
}

int TReportListView::titleRowHeight() const {
  return orvane::TextHeight(font()) + 6;
}

void TReportListView::setColWidths(const QList<int>& widths) {
  col_widths_ = widths;
  Relayout();
  update();
}

void TReportListView::setDefaultRowHeight(int height) {
  row_height_ = std::max(height, 1);
  Relayout();
  update();
}

void TReportListView::setRowColPattern(int pattern) {
  row_col_pattern_ = pattern;
  update();
}

void TReportListView::setColorText(const QColor& colour) {
  color_text_ = colour;
  update();
}

void TReportListView::setColorBkgdNormal(const QColor& colour) {
  color_normal_ = colour;
  update();
}

void TReportListView::setColorBkgdShaded(const QColor& colour) {
  color_shaded_ = colour;
  update();
}

void TReportListView::setColorSelectedRow(const QColor& colour) {
  color_selected_ = colour;
  update();
}

void TReportListView::setColorSelectedRowText(const QColor& colour) {
  color_selected_text_ = colour;
  update();
}

QColor TReportListView::colorColumnHd() const {
  return color_title_.isValid() ? color_title_ : palette().color(QPalette::Button);
}

void TReportListView::setColorColumnHd(const QColor& colour) {
  color_title_ = colour;
  update();
}

void TReportListView::setColorColumnHdText(const QColor& colour) {
  color_title_text_ = colour;
  update();
}

QSize TReportListView::sizeHint() const {
  return {514, 385};
}

void TReportListView::TableChanged(orvane::TableChange change) {
  if (change == orvane::TableChange::kRowCount) {
    cursor_ = 1;
    Relayout();
  }
  update();
}

int TReportListView::ColumnWidth(int column) const {
  return column <= col_widths_.size() ? col_widths_[column - 1] : kDefaultColumnWidth;
}

std::vector<int> TReportListView::ColumnWidths() const {
  std::vector<int> widths;
  for (int column = 1; column <= table_.GetNrColumns(); ++column) {
    widths.push_back(ColumnWidth(column));
  }
  return widths;
}

int TReportListView::FullyVisibleRows() const {
  return std::max(1, (grid_.height() - titleRowHeight()) / row_height_);
}

int TReportListView::ShownRows() const {
  return std::max(table_.GetNrRows(), 1);
}

void TReportListView::Relayout() {
  const QRect inner = rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);
  const int bar_width = rows_bar_->sizeHint().width();
  const int bar_height = columns_bar_->sizeHint().height();
  int total_width = 0;
  for (const int width : ColumnWidths()) {
    total_width += width;
  }
  // Each bar takes room from the other's direction, so settle which are needed in two rounds.
  bool rows_bar_needed = false;
  bool columns_bar_needed = false;
  for (int round = 0; round < 2; ++round) {
    const int grid_width = inner.width() - (rows_bar_needed ? bar_width : 0);
    const int grid_height = inner.height() - (columns_bar_needed ? bar_height : 0);
    columns_bar_needed = total_width > grid_width;
    rows_bar_needed = ShownRows() > std::max(1, (grid_height - titleRowHeight()) / row_height_);
  }
  grid_ =
      inner.adjusted(0, 0, rows_bar_needed ? -bar_width : 0, columns_bar_needed ? -bar_height : 0);

  const int visible = FullyVisibleRows();
  rows_bar_->setRange(0, std::max(0, ShownRows() - visible));
  rows_bar_->setPageStep(visible);
  rows_bar_->setGeometry(grid_.right() + 1, inner.top(), bar_width, grid_.height());
  rows_bar_->setVisible(rows_bar_needed);
  columns_bar_->setRange(0, std::max(0, total_width - grid_.width()));
  columns_bar_->setPageStep(std::max(1, grid_.width()));
  columns_bar_->setGeometry(inner.left(), grid_.bottom() + 1, grid_.width(), bar_height);
  columns_bar_->setVisible(columns_bar_needed);
}

void TReportListView::resizeEvent(QResizeEvent* /*event*/) {
  Relayout();
}

void TReportListView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    Relayout();
  }
  QWidget::changeEvent(event);
}

bool TReportListView::InTitleRow(const QPoint& point) const {
  return point.y() >= grid_.top() && point.y() < grid_.top() + titleRowHeight();
}

int TReportListView::TitleX(const QPoint& point) const {
  return point.x() - grid_.left() + columns_bar_->value();
}

int TReportListView::PositionAt(const QPoint& point) const {
  const int y = point.y() - grid_.top() - titleRowHeight();
  if (y < 0 || !grid_.contains(point)) {
    return 0;
  }
  const int position = topPosition() + y / row_height_;
  return position <= table_.GetNrRows() ? position : 0;
}

void TReportListView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    return;
  }
  const QPoint point = event->position().toPoint();
  if (InTitleRow(point)) {
    const orvane::TitleHit hit = orvane::HitTitle(ColumnWidths(), TitleX(point));
    if (hit.kind == orvane::TitleHit::Kind::kBorder) {
      resizing_column_ = hit.column;
      resize_origin_x_ = point.x();
      resize_origin_width_ = ColumnWidth(hit.column);
    } else if (hit.kind == orvane::TitleHit::Kind::kSort && sort_enabled_) {
      SortBy(hit.column);
    }
    return;
  }
  const int position = PositionAt(point);
  if (position != 0) {
    MoveCursorTo(position);
  }
}

void TReportListView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (resizing_column_ != 0 && !(event->buttons() & Qt::LeftButton)) {
    resizing_column_ = 0;
  }
  if (resizing_column_ != 0) {
    while (col_widths_.size() < resizing_column_) {
      col_widths_.append(kDefaultColumnWidth);
    }
    col_widths_[resizing_column_ - 1] =
        std::max(1, resize_origin_width_ + point.x() - resize_origin_x_);
    Relayout();
    update();
    return;
  }
  const bool on_border =
      InTitleRow(point) &&
      orvane::HitTitle(ColumnWidths(), TitleX(point)).kind == orvane::TitleHit::Kind::kBorder;
  setCursor(on_border ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void TReportListView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    resizing_column_ = 0;
  }
}

void TReportListView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (event->button() == Qt::LeftButton && InTitleRow(point)) {
    const orvane::TitleHit hit = orvane::HitTitle(ColumnWidths(), TitleX(point));
    if (hit.kind == orvane::TitleHit::Kind::kBorder) {
      resizing_column_ = 0;
      FitColumn(hit.column);
      return;
    }
  }
  mousePressEvent(event);
}

void TReportListView::SortBy(int column) {
  const WaitCursor wait;
  const int noted_entry = table_.StoredRowAt(cursor_);
  table_.SortByColumn(column);
  cursor_ = noted_entry != 0 ? table_.DisplayPositionOf(noted_entry) : 1;
  update();
}

void TReportListView::FitColumn(int column) {
  const QFontMetrics metrics = fontMetrics();
  int widest = 0;
  for (int row = 1; row <= table_.GetNrRows(); ++row) {
    const std::string_view cell = table_.GetElem(column, row);
    if (!cell.empty()) {
      widest = std::max(widest, metrics.horizontalAdvance(FromUtf8(cell)));
    }
  }
  const int title_width = metrics.horizontalAdvance(FromUtf8(table_.GetColName(column)));
  const int extra = table_.Sort().column == column ? kSortedTitleExtra : 0;
  while (col_widths_.size() < column) {
    col_widths_.append(kDefaultColumnWidth);
  }
  col_widths_[column - 1] = orvane::FittedColumnWidth(widest, title_width, extra);
  Relayout();
  update();
}

void TReportListView::MoveCursorTo(int position) {
  const int rows = table_.GetNrRows();
  if (rows == 0) {
    return;
  }
  cursor_ = std::clamp(position, 1, rows);
  EnsureVisible(cursor_);
  table_.MarkRow(table_.StoredRowAt(cursor_));
}

void TReportListView::EnsureVisible(int position) {
  const int visible = FullyVisibleRows();
  if (position < topPosition()) {
    rows_bar_->setValue(position - 1);
  } else if (position >= topPosition() + visible) {
    rows_bar_->setValue(position - visible);
  }
}

void TReportListView::keyPressEvent(QKeyEvent* event) {
  const int page = FullyVisibleRows();
  switch (event->key()) {
    case Qt::Key_Up:
      MoveCursorTo(cursor_ - 1);
      break;
    case Qt::Key_Down:
      MoveCursorTo(cursor_ + 1);
      break;
    case Qt::Key_PageUp:
      MoveCursorTo(cursor_ - page);
      break;
    case Qt::Key_PageDown:
      MoveCursorTo(cursor_ + page);
      break;
    case Qt::Key_Home:
      MoveCursorTo(1);
      break;
    case Qt::Key_End:
      MoveCursorTo(table_.GetNrRows());
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TReportListView::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  rows_bar_->setValue(rows_bar_->value() - steps * kWheelRows);
  event->accept();
}

void TReportListView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  const QRect grid = grid_;
  painter.setClipRect(grid);
  PaintTitles(painter, grid);
  PaintRows(painter, grid);
}

void TReportListView::PaintTitles(QPainter& painter, const QRect& grid) const {
  const QFontMetrics metrics = fontMetrics();
  const int height = titleRowHeight();
  const orvane::ReportTable::SortState& sort = table_.Sort();
  const QColor light(255, 255, 255);
  const QColor shadow(128, 128, 128);
  int left = grid.left() - columns_bar_->value();
  for (int column = 1; column <= table_.GetNrColumns() && left <= grid.right(); ++column) {
    const int width = ColumnWidth(column);
    const QRect cell(left, grid.top(), width, height);
    painter.fillRect(cell, colorColumnHd());
    // Lines only around the titles: a raised edge on each title cell.
    painter.setPen(light);
    painter.drawLine(cell.topLeft(), cell.topRight());
    painter.drawLine(cell.topLeft(), cell.bottomLeft());
    painter.setPen(shadow);
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
    painter.drawLine(cell.topRight(), cell.bottomRight());

    const bool sorted = sort.column == column;
    const int available = width - kCellMargins - (sorted ? kSortedTitleExtra : 0);
    const QString title = Elided(FromUtf8(table_.GetColName(column)), metrics, available, 3);
    painter.setPen(color_title_text_);
    const QRect text_box(cell.left() + kTextIndent, cell.top() + kTitleTextTop,
                         std::max(0, width - kTextIndent), height - kTitleTextTop);
    painter.drawText(text_box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title);
    if (sorted) {
      PaintSortTriangle(painter, cell, text_box.left() + metrics.horizontalAdvance(title));
    }
    left += width;
  }
}

void TReportListView::PaintSortTriangle(QPainter& painter, const QRect& cell, int title_end) const {
  const int centre_x = std::min(title_end + 10, cell.left() + cell.width() - 7);
  const int centre_y = cell.top() + cell.height() / 2;
  // 8 by 6 pixels, ends included.
  const int left = centre_x - 4;
  const int right = centre_x + 3;
  const int top = centre_y - 3;
  const int bottom = centre_y + 2;
  const QColor light(255, 255, 255);
  const QColor shadow(128, 128, 128);
  if (table_.Sort().direction == orvane::SortDirection::kAscending) {
    painter.setPen(shadow);
    painter.drawLine(left, bottom, centre_x, top);
    painter.setPen(light);
    painter.drawLine(centre_x, top, right, bottom);
    painter.drawLine(left, bottom, right, bottom);
  } else {
    painter.setPen(shadow);
    painter.drawLine(left, top, right, top);
    painter.drawLine(left, top, centre_x, bottom);
    painter.setPen(light);
    painter.drawLine(centre_x, bottom, right, top);
  }
}

void TReportListView::PaintRows(QPainter& painter, const QRect& grid) const {
  const QFontMetrics metrics = fontMetrics();
  const int rows = table_.GetNrRows();
  const int last_shown = std::min(ShownRows(), topPosition() + FullyVisibleRows());
  int top = grid.top() + titleRowHeight();
  for (int position = topPosition(); position <= last_shown && top <= grid.bottom(); ++position) {
    const int stored_row = position <= rows ? table_.StoredRowAt(position) : 0;
    const bool marked = stored_row != 0 && table_.IsMarked(stored_row);
    const bool shaded = row_col_pattern_ > 0 && ((position - 1) / row_col_pattern_) % 2 == 0;
    const QColor background = marked ? color_selected_ : shaded ? color_shaded_ : color_normal_;
    painter.setPen(marked ? color_selected_text_ : color_text_);
    int left = grid.left() - columns_bar_->value();
    for (int column = 1; column <= table_.GetNrColumns() && left <= grid.right(); ++column) {
      const int width = ColumnWidth(column);
      const QRect cell(left, top, width, row_height_);
      painter.fillRect(cell, background);
      const std::string_view text = table_.GetElem(column, stored_row);
      if (!text.empty()) {
        const QString shown = Elided(FromUtf8(text), metrics, width - kCellMargins, 4);
        painter.drawText(cell.adjusted(kTextIndent, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
      }
      left += width;
    }
    top += row_height_;
  }
}
