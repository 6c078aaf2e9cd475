// The rows of a register section as a list model, painted by a delegate.
// A new snapshot touches only the rows whose values changed; a row whose
// contents change flashes its background (held, then faded out).
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <QTimer>

#include <string>
#include <unordered_map>
#include <vector>

#include "inspector/inspector_clock.h"
#include "inspector/register_row.h"

namespace tw {

class RegisterListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        BaseLetterRole,
        DecimalLineRole,
        FlashRole, // the flash background's opacity, 0 to 0.35
    };

    // The flash: full at once, held this long, then faded out over the fade.
    static constexpr qint64 kFlashHoldMs = 400;
    static constexpr qint64 kFlashFadeMs = 1200;
    static constexpr double kFlashOpacity = 0.35;

    explicit RegisterListModel(QObject* parent = nullptr);

    void setClock(InspectorClock clock) { clock_ = std::move(clock); }
    // Replaces the rows; rows keep their flash by register name.
    void setRows(std::vector<RegisterRow> rows);
    const std::vector<RegisterRow>& rows() const { return rows_; }

    // Forgets what the rows held: the next rows are a first appearance and do
    // not flash.
    void forgetChanges();

    double flashOpacity(int row) const;
    bool isFlashing(int row) const { return flashOpacity(row) > 0; }
    // Repaints the flashing rows; the animation timer calls it.
    void advanceFlash();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Editable only in the sense that a double-click opens a read-only field
    // in which the value can be selected and copied.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Flash {
        std::uint64_t key = 0;
        qint64 since = -1; // when the last change was seen; -1: never
    };
    void noteChange(const RegisterRow& row);
    double opacityAt(const Flash& flash, qint64 now) const;

    std::vector<RegisterRow> rows_;
    std::unordered_map<std::string, Flash> flash_;
    bool firstAppearance_ = false; // the next rows set the keys without a flash
    InspectorClock clock_;
    QTimer timer_;
};

class RegisterRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The value's read-only field for selecting with the pointer.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};

// A list as tall as its rows: the panel around it scrolls.
class RegisterListView : public QListView {
    Q_OBJECT
public:
    explicit RegisterListView(QWidget* parent = nullptr);

    RegisterListModel* registers() const { return model_; }
    // Hands the rows to the model and fits the list's height to them.
    void setRows(std::vector<RegisterRow> rows);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, 0}; }

    // The context menu's item of a row, carried out (tests reach it here).
    void copy(int row, int item);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void refit();

    RegisterListModel* model_;
    int lastHeight_ = -1;
};

} // namespace tw
