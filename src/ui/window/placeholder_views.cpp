#include "ui/window/placeholder_views.h"

#include "app/app_model.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tw {

PlaceholderInspectorView::PlaceholderInspectorView(AppModel& app, QWidget* parent)
    : QWidget(parent), app_(app), text_(new QLabel(this)) {
    setObjectName(QStringLiteral("inspector"));
    text_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    text_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    connect(&app, &AppModel::inspectionChanged, this, &PlaceholderInspectorView::refresh);
    refresh();
}

void PlaceholderInspectorView::refresh() {
    const auto& inspection = app_.inspection();
    QString text = QStringLiteral("Registers & Program");
    if (inspection) text += QStringLiteral("\n\n%1 program lines").arg(inspection->program.size());
    text_->setText(text);
}

} // namespace tw
