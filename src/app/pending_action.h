// An action that waits for the user's confirmation in a dialog.
#pragma once

#include "notes/program_document.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace tw {

// A notes file found beside a memory file.
struct PendingSidecar {
    ProgramDocument doc;
    QString url;
    bool operator==(const PendingSidecar&) const = default;
};

// Where a memory image came from, taken over once it is loaded: the file's name
// (empty for a memory from no file, such as the calculator's; none keeps the name
// shown) and the notes found beside it.
struct MemoryOrigin {
    std::optional<QString> fileName;
    std::optional<PendingSidecar> sidecar;
    bool operator==(const MemoryOrigin&) const = default;
};

struct PendingAction {
    struct SwitchModel {
        int variant = 0;
        bool operator==(const SwitchModel&) const = default;
    };
    struct LoadMemory {
        std::vector<uint8_t> data;
        QString source;
        bool operator==(const LoadMemory&) const = default;
    };
    struct LoadMemoryAnyway {
        std::vector<uint8_t> data;
        QString source;
        QString reason;
        bool operator==(const LoadMemoryAnyway&) const = default;
    };
    struct SwitchThenLoad {
        std::vector<uint8_t> data;
        QString source;
        int variant = 0;
        QString reason;
        bool operator==(const SwitchThenLoad&) const = default;
    };
    struct MemoryReset {
        bool operator==(const MemoryReset&) const = default;
    };
    using Value = std::variant<SwitchModel, LoadMemory, LoadMemoryAnyway, SwitchThenLoad, MemoryReset>;

    Value value;
    // For the loads: the name and notes that go with the image, kept with the action
    // so that a later file cannot lend it its own.
    MemoryOrigin origin;

    static PendingAction switchModel(int variant) { return {SwitchModel{variant}, {}}; }
    static PendingAction loadMemory(std::vector<uint8_t> data, QString source, MemoryOrigin origin = {}) {
        return {LoadMemory{std::move(data), std::move(source)}, std::move(origin)};
    }
    static PendingAction loadMemoryAnyway(std::vector<uint8_t> data, QString source, QString reason,
                                          MemoryOrigin origin = {}) {
        return {LoadMemoryAnyway{std::move(data), std::move(source), std::move(reason)}, std::move(origin)};
    }
    static PendingAction switchThenLoad(std::vector<uint8_t> data, QString source, int variant, QString reason,
                                        MemoryOrigin origin = {}) {
        return {SwitchThenLoad{std::move(data), std::move(source), variant, std::move(reason)}, std::move(origin)};
    }
    static PendingAction memoryReset() { return {MemoryReset{}, {}}; }

    template <class T>
    const T* as() const { return std::get_if<T>(&value); }

    // "switch150", "load <source>", "load anyway <source>", "switch <v> load <source>", "reset".
    QString id() const;
    // The confirmation dialog's title and its confirm button.
    QString title() const;
    QString confirmButton() const;

    bool operator==(const PendingAction&) const = default;
};

} // namespace tw
