#pragma once

// The results grid Grd of a selection screen: the two heading rows (symbols, then units)
// as a fixed two-line header that stays in view and cannot be selected, one line per
// result row beneath. Row numbers given to the screen are those of the grid, headings
// included: the first result row is row 2.

#include <QAbstractTableModel>
#include <QPixmap>
#include <QTableView>
#include <functional>

#include "screens/results_grid.h"

namespace vestra::ui {

// The mark of a row that meets the required duty: a green tick `size` pixels high.
QPixmap DutyMarkPixmap(int size, qreal devicePixelRatio);

class ResultsGridModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Shows the grid as it now stands: a new layout resets the view, new rows at the
  // bottom are appended (so a running calculation shows its rows as they come).
  void Show(const screens::ResultsGrid& grid);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  Qt::Alignment AlignmentOf(int col) const;

  screens::ResultsGrid grid_;
  mutable QPixmap mark_;  // drawn when first shown
};

class ResultsGridView : public QTableView {
 public:
  explicit ResultsGridView(QWidget* parent = nullptr);

  void Show(const screens::ResultsGrid& grid);

  // The grid row of a click on a result cell.
  std::function<void(int gridRow)> onRowClicked;
  // Ctrl+C: the first and last selected grid rows and the last selected column.
  std::function<void(int firstRow, int lastRow, int lastCol)> onCopy;

  // The width that shows every column without scrolling.
  int ContentWidth() const;
  // The height that shows every row without scrolling.
  int ContentHeight() const;

  // The pixels of a width in twips at this screen's logical resolution.
  int PixelsOfTwips(int twips) const;

  // Selects a grid row (headings counted) and brings it into view.
  void SelectGridRow(int gridRow);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Typing a letter does not look for a row: the grid answers Ctrl+C alone.
  void keyboardSearch(const QString&) override {}

 private:
  void FitColumns();

  ResultsGridModel model_;
  std::vector<int> minimumTwips_;
  int shownRows_ = -1;
  std::size_t shownMarks_ = 0;
};

}  // namespace vestra::ui
