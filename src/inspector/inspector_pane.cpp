#include "inspector/inspector_pane.h"

#include <QCoreApplication>

namespace tw {

QString rawValue(InspectorPane pane) {
    switch (pane) {
    case InspectorPane::both: return QStringLiteral("both");
    case InspectorPane::registers: return QStringLiteral("registers");
    case InspectorPane::program: return QStringLiteral("program");
    }
    return QStringLiteral("both");
}

std::optional<InspectorPane> inspectorPane(const QString& raw) {
    for (InspectorPane pane : kInspectorPanes) {
        if (rawValue(pane) == raw) return pane;
    }
    return std::nullopt;
}

QString paneTitle(InspectorPane pane) {
    switch (pane) {
    case InspectorPane::both: return QCoreApplication::translate("InspectorView", "Both");
    case InspectorPane::registers: return QCoreApplication::translate("InspectorView", "Registers");
    case InspectorPane::program: return QCoreApplication::translate("InspectorView", "Program");
    }
    return {};
}

} // namespace tw
