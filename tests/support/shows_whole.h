// A size given to a window as the window manager gives one, and a check that a window
// or view shows every part of itself whole at the size it has.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QTextEdit>
#include <QWidget>
#include <QWindow>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

// Sizes in failure messages as sizes, not bytes.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QSize& size, std::ostream* out) { *out << size.width() << " x " << size.height(); }
QT_END_NAMESPACE

namespace tw::test {

// Gives `window` a size from outside, as the window manager does (the window sees it
// come in spontaneously), and lets it settle.
inline void giveSize(QWidget& window, QSize size) {
    window.windowHandle()->resize(size);
    QCoreApplication::processEvents();
}

inline std::string partName(const QWidget& part) {
    if (const auto* label = qobject_cast<const QLabel*>(&part)) return label->text().left(40).toStdString();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&part)) return button->text().toStdString();
    if (const auto* text = qobject_cast<const QTextEdit*>(&part)) return text->toPlainText().left(40).toStdString();
    return part.metaObject()->className();
}

// Once Qt has laid `view` out: each label it shows has the room for all its lines (a
// label that does not wrap, for its whole line), and so has each text that never scrolls,
// each button at least its least size, and these and `others` all lie inside the view,
// none over another.
inline void expectShowsWhole(const QWidget& view, std::vector<const QWidget*> others = {}) {
    QCoreApplication::processEvents();
    SCOPED_TRACE(testing::Message() << view.metaObject()->className() << " " << view.width() << " x "
                                    << view.height());
    std::vector<const QWidget*> parts = std::move(others);
    for (const QWidget* part : view.findChildren<QWidget*>()) {
        if (!part->isVisibleTo(&view)) continue;
        if (const auto* label = qobject_cast<const QLabel*>(part)) {
            if (label->wordWrap()) {
                EXPECT_GE(label->height(), label->heightForWidth(label->width())) << partName(*label);
            } else {
                EXPECT_GE(label->width(), label->sizeHint().width()) << partName(*label);
                EXPECT_GE(label->height(), label->sizeHint().height()) << partName(*label);
            }
            parts.push_back(label);
        } else if (const auto* text = qobject_cast<const QTextEdit*>(part);
                   text && text->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff &&
                   text->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff) {
            EXPECT_GE(text->viewport()->height(), std::ceil(text->document()->size().height())) << partName(*text);
            EXPECT_LE(text->document()->idealWidth(), text->viewport()->width()) << partName(*text);
            parts.push_back(text);
        } else if (qobject_cast<const QAbstractButton*>(part)) {
            EXPECT_GE(part->width(), part->minimumSizeHint().width()) << partName(*part);
            EXPECT_GE(part->height(), part->minimumSizeHint().height()) << partName(*part);
            parts.push_back(part);
        }
    }
    const auto inView = [&](const QWidget& part) { return QRect(part.mapTo(&view, QPoint(0, 0)), part.size()); };
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const QRect part = inView(*parts[i]);
        EXPECT_TRUE(view.rect().contains(part)) << partName(*parts[i]) << " lies outside";
        for (std::size_t j = i + 1; j < parts.size(); ++j)
            EXPECT_FALSE(part.intersects(inView(*parts[j])))
                << partName(*parts[i]) << " lies over " << partName(*parts[j]);
    }
}

} // namespace tw::test
