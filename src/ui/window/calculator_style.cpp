#include "ui/window/calculator_style.h"

#include <QApplication>
#include <QStyleFactory>

namespace tw {

namespace {
QStyle* styleNamed(const QString& name) {
    if (!name.isEmpty()) {
        if (QStyle* style = QStyleFactory::create(name)) return style;
    }
    if (QApplication::style()) {
        if (QStyle* style = QStyleFactory::create(QApplication::style()->name())) return style;
    }
    return QStyleFactory::create(QStringLiteral("Fusion"));
}
} // namespace

CalculatorStyle::CalculatorStyle(const QString& baseStyleName) : QProxyStyle(styleNamed(baseStyleName)) {}

int CalculatorStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* returnData) const {
    if (hint == QStyle::SH_MenuBar_AltKeyNavigation) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void installCalculatorStyle() {
    if (qobject_cast<CalculatorStyle*>(QApplication::style())) return;
    QApplication::setStyle(new CalculatorStyle);
}

} // namespace tw
