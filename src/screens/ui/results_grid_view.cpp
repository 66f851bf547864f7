#include "screens/ui/results_grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QScrollBar>
#include <algorithm>

namespace vestra::ui {

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
  if (newRows == oldRows) return;
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
  if (role == Qt::DisplayRole) return Q(grid_.Cell(index.row() + kHeadingRows, index.column()));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(AlignmentOf(index.column()));
  return {};
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

void ResultsGridView::Show(const screens::ResultsGrid& grid) {
  const bool newLayout = grid.ColWidth != minimumTwips_ || model_.columnCount() != grid.Cols;
  model_.Show(grid);
  minimumTwips_ = grid.ColWidth;
  if (newLayout || model_.rowCount() != shownRows_) FitColumns();
  shownRows_ = model_.rowCount();
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
