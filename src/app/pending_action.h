// An action that waits for the user's confirmation in a dialog.
#pragma once

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace tw {

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

    static PendingAction switchModel(int variant) { return {SwitchModel{variant}}; }
    static PendingAction loadMemory(std::vector<uint8_t> data, QString source) {
        return {LoadMemory{std::move(data), std::move(source)}};
    }
    static PendingAction loadMemoryAnyway(std::vector<uint8_t> data, QString source, QString reason) {
        return {LoadMemoryAnyway{std::move(data), std::move(source), std::move(reason)}};
    }
    static PendingAction switchThenLoad(std::vector<uint8_t> data, QString source, int variant, QString reason) {
        return {SwitchThenLoad{std::move(data), std::move(source), variant, std::move(reason)}};
    }
    static PendingAction memoryReset() { return {MemoryReset{}}; }

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
