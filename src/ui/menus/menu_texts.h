// The titles of the choices that both menus offer, and the picker submenu that
// offers them.
#pragma once

#include "app/face_style.h"
#include "app/skin_choice.h"
#include "docexport/pdf_types.h"

#include <QActionGroup>
#include <QList>
#include <QMenu>
#include <QString>

namespace tw {

QString menuTitle(SkinChoice skin);   // "Automatic (from firmware)", "16C", "15C", "12C"
QString menuTitle(FaceStyle style);   // "Photo", "Drawn"
QString menuTitle(PDFPaper paper);    // "A4", "US Letter"

// A submenu of exclusive, checkable choices, one per value in order; choosing one
// calls `choose` with it. Answers the entries; the caller sets their check marks.
template <class Value, class Values, class Choose>
QList<QAction*> addPicker(QMenu* parent, const QString& title, const Values& values, Choose choose) {
    QMenu* picker = parent->addMenu(title);
    auto* group = new QActionGroup(picker);
    QList<QAction*> actions;
    for (Value value : values) {
        QAction* item = picker->addAction(menuTitle(value));
        item->setCheckable(true);
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, picker, [choose, value] { choose(value); });
        actions.append(item);
    }
    return actions;
}

} // namespace tw
