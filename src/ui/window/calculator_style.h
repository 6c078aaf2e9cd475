// The application's widget style: the platform's own, except that a lone Alt tap
// does not move the focus to the menu bar. Alt is a calculator key here (the blue
// g shift) and must reach the calculator every time.
#pragma once

#include <QProxyStyle>

namespace tw {

class CalculatorStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Wraps the named style (the application's current one when empty).
    explicit CalculatorStyle(const QString& baseStyleName = {});

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

// Puts CalculatorStyle over the application's current style.
void installCalculatorStyle();

} // namespace tw
