#include "screens/ui/results_grid_view.h"

#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QPolygonF>
#include <QScrollBar>
#include <algorithm>

namespace vestra::ui {

QPixmap DutyMarkPixmap(int size, qreal devicePixelRatio) {
  QPixmap tick(QSize(size, size) * devicePixelRatio);
  tick.setDevicePixelRatio(devicePixelRatio);
  tick.fill(Qt::transparent);
  QPainter p(&tick);
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(QColor(0x1B, 0x7F, 0x3B), std::max(1.5, size / 6.0));
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  p.setPen(pen);
  const double s = size;
  p.drawPolyline(QPolygonF{QPointF(0.15 * s, 0.55 * s), QPointF(0.4 * s, 0.8 * s),
                           QPointF(0.85 * s, 0.2 * s)});
  return tick;
}

namespace {

constexpr int kHeadingRows = 2;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

bool SameLayout(const screens::ResultsGrid& a, const screens::ResultsGrid& b) {
  if (a.Cols != b.Cols || a.ColWidth != b.ColWidth || a.ColAlignRight != b.ColAlignRight)
    return false;
  for (int row = 0; row < kHeadingRows; ++row)
    for (int col = 0; col < a.Cols; ++col)
      if (a.Cell(row, col) != b.Cell(row, col)) return false;
  return true;
}

bool SameMarks(const screens::ResultsGrid& a, const screens::ResultsGrid& b) {
  if (a.Marks.size() != b.Marks.size()) return false;
  for (std::size_t i = 0; i < a.Marks.size(); ++i)
    if (a.Marks[i].kind != b.Marks[i].kind || a.Marks[i].margins != b.Marks[i].margins)
      return false;
  return true;
}

}  // namespace

void ResultsGridModel::Show(const screens::ResultsGrid& grid) {
  const int oldRows = rowCount();
  const bool appendOnly = SameLayout(grid_, grid) && grid.RowCount() >= grid_.RowCount() &&
                          std::equal(grid_.Rows.begin(), grid_.Rows.end(), grid.Rows.begin());
  if (!appendOnly) {
    beginResetModel();
    grid_ = grid;
    endResetModel();
    return;
  }
  const int newRows = std::max(0, grid.RowCount() - kHeadingRows);
  if (newRows == oldRows) {
    // The marks of a required duty come once the rows are all there.
    if (!SameMarks(grid_, grid)) {
      grid_.Marks = grid.Marks;
      if (newRows > 0) emit dataChanged(index(0, 0), index(newRows - 1, grid_.Cols - 1));
    }
    return;
  }
  beginInsertRows({}, oldRows, newRows - 1);
  grid_ = grid;
  endInsertRows();
}

int ResultsGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return std::max(0, grid_.RowCount() - kHeadingRows);
}

int ResultsGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.Cols;
}

Qt::Alignment ResultsGridModel::AlignmentOf(int col) const {
  const bool right = col >= 0 && col < static_cast<int>(grid_.ColAlignRight.size()) &&
                     grid_.ColAlignRight[static_cast<std::size_t>(col)];
  return (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant ResultsGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int gridRow = index.row() + kHeadingRows;
  if (role == Qt::DisplayRole) return Q(grid_.Cell(gridRow, index.column()));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(AlignmentOf(index.column()));
  // A row that meets the required duty: a tick before the model, a green ground (deeper
  // for the one chosen) and its margins in the tooltip.
  const screens::ResultsGrid::RowMark* mark = grid_.MarkOf(gridRow);
  if (!mark || mark->kind == screens::ResultsGrid::RowMark::kNone) return {};
  const bool chosen = mark->kind == screens::ResultsGrid::RowMark::kChosen;
  switch (role) {
    case Qt::DecorationRole:
      if (index.column() != 0) return {};
      if (mark_.isNull()) mark_ = DutyMarkPixmap(12, 2);
      return mark_;
    case Qt::BackgroundRole:
      return chosen ? QColor(0xB7, 0xE4, 0xC0) : QColor(0xE2, 0xF4, 0xE5);
    case Qt::ForegroundRole:
      return QColor(Qt::black);
    case Qt::FontRole: {
      if (!chosen) return {};
      QFont bold;
      bold.setBold(true);
      return bold;
    }
    case Qt::ToolTipRole:
      return Q(mark->margins);
    default:
      return {};
  }
}

QVariant ResultsGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) {
    if (grid_.RowCount() < kHeadingRows) return Q(grid_.Cell(0, section));
    return Q(grid_.Cell(0, section)) + QLatin1Char('\n') + Q(grid_.Cell(1, section));
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(AlignmentOf(section));
  return {};
}

ResultsGridView::ResultsGridView(QWidget* parent) : QTableView(parent) {
  setModel(&model_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setAlternatingRowColors(true);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  // The heading rows stay in view and cannot be selected.
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setStretchLastSection(false);
  connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
    if (index.isValid() && onRowClicked) onRowClicked(index.row() + kHeadingRows);
  });
}

int ResultsGridView::PixelsOfTwips(int twips) const {
  return (twips * logicalDpiX() + 720) / 1440;
}

int ResultsGridView::ContentWidth() const {
  const int scrollBar = verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0;
  return horizontalHeader()->length() + 2 * frameWidth() + scrollBar;
}

int ResultsGridView::ContentHeight() const {
  const int scrollBar = horizontalScrollBar()->isVisible() ? horizontalScrollBar()->height() : 0;
  return verticalHeader()->length() + horizontalHeader()->height() + 2 * frameWidth() + scrollBar;
}

void ResultsGridView::SelectGridRow(int gridRow) {
  const int row = gridRow - kHeadingRows;
  if (row < 0 || row >= model_.rowCount()) return;
  const QModelIndex first = model_.index(row, 0);
  setCurrentIndex(first);
  selectionModel()->select(QItemSelection(first, model_.index(row, model_.columnCount() - 1)),
                           QItemSelectionModel::ClearAndSelect);
  scrollTo(first, QAbstractItemView::EnsureVisible);
}

void ResultsGridView::Show(const screens::ResultsGrid& grid) {
  const bool newLayout = grid.ColWidth != minimumTwips_ || model_.columnCount() != grid.Cols;
  model_.Show(grid);
  minimumTwips_ = grid.ColWidth;
  // The duty's tick widens the model column.
  if (newLayout || model_.rowCount() != shownRows_ || grid.Marks.size() != shownMarks_)
    FitColumns();
  shownRows_ = model_.rowCount();
  shownMarks_ = grid.Marks.size();
}

void ResultsGridView::FitColumns() {
  // The layout's widths are the least a column takes; a wider heading or cell widens it.
  const int padding = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  for (int col = 0; col < model_.columnCount(); ++col) {
    const int minimum = col < static_cast<int>(minimumTwips_.size())
                            ? PixelsOfTwips(minimumTwips_[static_cast<std::size_t>(col)])
                            : 0;
    const int content = std::max(sizeHintForColumn(col), horizontalHeader()->sectionSizeHint(col));
    setColumnWidth(col, std::max(minimum, content + padding));
  }
}

void ResultsGridView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    int first = -1, last = -1, lastCol = model_.columnCount() - 1;
    const QItemSelection selection = selectionModel()->selection();
    if (!selection.isEmpty()) {
      first = selection.first().top();
      last = selection.first().bottom();
      lastCol = selection.first().right();
      for (const QItemSelectionRange& range : selection) {
        first = std::min(first, range.top());
        last = std::max(last, range.bottom());
        lastCol = std::max(lastCol, range.right());
      }
    } else if (currentIndex().isValid()) {
      first = last = currentIndex().row();
      lastCol = currentIndex().column();
    }
    if (onCopy)
      onCopy(first < 0 ? kHeadingRows : first + kHeadingRows,
             last < 0 ? kHeadingRows - 1 : last + kHeadingRows, lastCol);
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace vestra::ui
