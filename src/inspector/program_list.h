// The program listing as a list model painted by a delegate: the top-of-
// memory row, then one row per step, identified by step number. A new
// snapshot repaints only the rows that changed.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>

#include <cstddef>
#include <map>
#include <string_view>
#include <vector>

#include "runtime/snapshot/program_line.h"

namespace tw {

class ProgramListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        StepRole = Qt::UserRole + 1, // the row's identity: 0 for the top row
        LabelRole,
        KeysRole,
        PrefixRole,
        MnemonicRole,
        CommentRole, // on one line; the tooltip keeps the comment's line breaks
        CurrentRole,
        RunningRole,
    };

    // The most of a comment's bytes that the listing and its tooltip show.
    static constexpr std::size_t kListedCommentBytes = 1000;

    using QAbstractListModel::QAbstractListModel;

    // `comments` as listedComment() gives them.
    void setListing(int model, const std::vector<ProgramLine>& program, int line, bool running,
                    const std::map<int, QString>& comments);

    // The row of a step number; -1 when no row carries it.
    int rowOfStep(int step) const;
    int stepOfRow(int row) const;
    bool hasComment(int step) const { return comments_.contains(step); }
    // "017" on the HP-15C and HP-16C, "17" on the HP-12C; never cut.
    static QString stepLabel(int step, int model);
    // A comment as the listing keeps it: a long one only its start, ending in "…". A row
    // shows a few dozen characters, and measuring a comment of a megabyte at every repaint
    // froze the window; the editor reads the whole text from the notes.
    static QString listedComment(std::string_view text);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QString commentOf(int step) const;
    void touchRow(int row, const QList<int>& roles = {});

    int model_ = 0;
    std::vector<ProgramLine> lines_;
    std::map<int, QString> comments_;
    int line_ = -1;
    bool running_ = false;
};

class ProgramRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class ProgramListView : public QListView {
    Q_OBJECT
public:
    explicit ProgramListView(QWidget* parent = nullptr);

    ProgramListModel* listing() const { return model_; }
    // The items of a row's context menu: one, or none for the top row.
    QString menuItemText(int row) const;

signals:
    void editRequested(int step);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    ProgramListModel* model_;
};

} // namespace tw
