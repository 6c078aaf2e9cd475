#include "ui/face/face_accessibility.h"

#include "ui/face/key_view.h"
#include "ui/face/photo_key_area.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tw {

namespace {

class KeyAccessible : public QAccessibleWidget {
public:
    explicit KeyAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& name) override {
        if (name != pressAction()) return;
        if (auto* key = qobject_cast<KeyView*>(widget())) key->activate();
        else if (auto* legend = qobject_cast<LegendArea*>(widget())) legend->activate();
        else if (auto* area = qobject_cast<PhotoKeyArea*>(widget())) area->activate();
    }

    // The drawing is one element; nothing inside is exposed.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
};

QAccessibleInterface* keyAccessibleFactory(const QString&, QObject* object) {
    if (qobject_cast<KeyView*>(object) || qobject_cast<LegendArea*>(object) || qobject_cast<PhotoKeyArea*>(object))
        return new KeyAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void installFaceAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(keyAccessibleFactory);
        return true;
    }();
    (void)installed;
}

} // namespace tw
