// One HP-15C matrix in the registers panel: a header line with its letter,
// size and registers, unfolding into a grid of its values; copied as
// tab-separated text from the header's context menu.
#pragma once

#include <QAbstractTableModel>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QWidget>

#include "runtime/snapshot/matrix_value.h"

namespace tw {

class Tag;

// The grid shows at most this many rows and columns; the copy has them all.
inline constexpr int kMatrixGridRows = 99;
inline constexpr int kMatrixGridCols = 6;

// The matrix as tab-separated text: every element, rows on lines.
QString matrixTsv(const MatrixValue& m);
// "(6 regs, Nut A5–AA)"; empty for an undimensioned matrix.
QString matrixSpanText(const MatrixValue& m);

class MatrixGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setMatrix(const MatrixValue& m);
    void setNumberColour(const QColor& colour) { numberColour_ = colour; }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    MatrixValue m_;
    int rows_ = 0; // shown
    int cols_ = 0;
    QColor numberColour_;
};

// The grid's cells: a number shrinks to half its size at most before it is cut,
// and is cut at its end, so that its sign and leading digits stay.
class MatrixCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // The text a cell shows in `option`'s rectangle.
    QString shownText(QStyleOptionViewItem option, const QModelIndex& index) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

class MatrixGridView : public QTableView {
    Q_OBJECT
public:
    explicit MatrixGridView(QWidget* parent = nullptr);
    // What the cell of grid row `row` and matrix column `col` (from 1) shows.
    QString shownText(int row, int col) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }
    // The selected cells as tab-separated text.
    QString selectedText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class MatrixRow : public QWidget {
    Q_OBJECT
public:
    explicit MatrixRow(QWidget* parent = nullptr);

    // Keeps `expanded`; redraws only when the matrix changed.
    void setMatrix(const MatrixValue& m);
    const MatrixValue& matrix() const { return m_; }

    bool isExpanded() const { return expanded_; }
    // What a click on the header does: unfolds or folds a dimensioned matrix.
    void toggle();
    // The context menu's item, "Copy Matrix A as TSV"; empty for an undimensioned matrix.
    QString copyItemText() const;
    void copy() const;

    // Shown parts, for tests.
    QString headerText() const;
    bool gridShown() const;
    QString moreText() const;
    bool resultShown() const;
    MatrixGridView* grid() const { return grid_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void applyColours();

    MatrixValue m_;
    bool expanded_ = false;
    bool first_ = true;
    QWidget* header_;
    QWidget* chevron_;
    QLabel* letter_;
    QLabel* dims_;
    QLabel* span_;
    Tag* result_;
    MatrixGridModel* gridModel_;
    MatrixGridView* grid_;
    QLabel* more_;
};

} // namespace tw
