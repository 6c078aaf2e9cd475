// A one-line label that cuts a long text in the middle to the width it is
// given, and shows the whole text as its tooltip.
#pragma once

#include "inspector/plain_tool_tip.h"

#include <QLabel>

namespace tw {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // The whole text; the label shows as much of it as fits.
    void setText(const QString& text);
    // What the label shows at its present width.
    QString shownText() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tw
