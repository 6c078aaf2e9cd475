// Which panes the inspector shows; kept in the settings by its raw value.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace tw {

enum class InspectorPane { both, registers, program };

inline constexpr std::array<InspectorPane, 3> kInspectorPanes = {InspectorPane::both, InspectorPane::registers,
                                                                 InspectorPane::program};

QString rawValue(InspectorPane pane);
// Nothing for any other text.
std::optional<InspectorPane> inspectorPane(const QString& raw);
// "Both", "Registers", "Program".
QString paneTitle(InspectorPane pane);

} // namespace tw
