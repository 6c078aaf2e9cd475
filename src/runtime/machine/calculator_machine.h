// One emulated calculator as the application sees it: the firmware, the core that
// runs it, the emulated clock in milliseconds and the key bookkeeping that keeps a
// key down long enough for the firmware to see it. Also the model switching of a
// multi-model firmware, the ON-key chords, memory loading and the trial check of a
// memory image on a scratch machine.
//
// Not shared between threads: built and started on one thread, then handed to the
// engine thread, which alone touches it.
#pragma once

#include "core/wrapper/orvane_calculator.h"
#include "runtime/keys/key_chord.h"
#include "runtime/machine/memory_check.h"
#include "runtime/machine/saved_state.h"
#include "runtime/machine/switch_error.h"
#include "runtime/snapshot/inspector_snapshot.h"

#include <cstdint>
#include <exception>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace tw {

// SHA-256 of the bytes as 64 lower-case hexadecimal digits: a firmware's identity.
std::string sha256Hex(std::span<const uint8_t> bytes);

class CalculatorMachine {
public:
    // The types the engine works with.
    using Chord = KeyChord;
    using LCD = LCDState;
    using Inspection = InspectorSnapshot;
    using SavedState = tw::SavedState;

    static constexpr int keyON = 30;
    static constexpr int keyF = 31;
    static constexpr int keyG = 32;
    static constexpr int keyENTER = 25;
    static constexpr int keyClearError = 24; // clears "Pr Error"
    static constexpr int keyModelItem = 16;  // the service menu's model item
    static constexpr int keyRCL = 34;

    // Offsets 256 up to 2032 of a memory image: what a power cycle must keep.
    static constexpr size_t comparedBegin = 256;
    static constexpr size_t comparedEnd = 2032;

    CalculatorMachine() = default;
    CalculatorMachine(const CalculatorMachine&) = delete;
    CalculatorMachine& operator=(const CalculatorMachine&) = delete;

    // Loads and identifies the firmware; throws CalculatorError and then changes nothing.
    void load(std::span<const uint8_t> firmware);
    // Powers the calculator on and restores a saved state; answers a notice for the
    // user when the state could not be restored. Throws CalculatorError.
    std::optional<std::string> start(const std::optional<SavedState>& restoring);

    // Keys. Codes outside 0 to 39 are refused (ignored).
    void press(int code);
    void release(int code);
    void releaseAll();
    void releaseLater(const std::vector<int>& codes, int64_t afterMs);
    void pressShifted(int shift, int code);
    // True when a new press reaches the firmware alone: every key the user let go of
    // is up and has been up for the minimum hold (the firmware has seen it up), and
    // the last press has been down for the minimum hold (seen on its own). Keys the
    // user still holds stay down and make a chord with the new press.
    bool isReadyForPress() const;
    // Lets go of every key, latched and later-released ones included, each once its
    // minimum hold has passed, and runs emulated time until the firmware has seen
    // them all up. Whatever turns the calculator off or reads or replaces its
    // memory starts with this, so that no ON press becomes a chord.
    void settleKeys();
    bool areKeysSettled() const;
    // Runs emulated time until every key the user let go of is up and seen up and the
    // last press has been seen, while the keys the user holds (latched on the face)
    // stay down: a read of the memory then holds every key typed before it, and the
    // calculator still holds what the face shows held.
    void settleReleasedKeys();

    // Advances emulated time in 10 ms slices, carrying out due releases between them.
    void run(int64_t ms);

    bool isDisplayBlank() const;
    std::string displayText() const;
    LCDState lcd() const { return calc_.lcd(); }
    bool isShiftShown(int shift) const;
    int variant() const { return calc_.modelCode(); }
    int model() const { return calc_.model(); }
    int64_t simMs() const { return simMs_; }

    std::vector<uint8_t> readMemory() { return calc_.readMemory(); }
    std::vector<uint8_t> readMemoryOff(bool turnBackOn);
    SavedState savedState(bool turnBackOn);
    void turnOff();
    void turnOn();
    void clearPrError();
    bool showsPrError() const;

    static std::string variantLabel(int variant);

    // Model switching, chords and memory.
    bool canSwitchModels() const { return images_.size() >= 2; }
    void switchModel(int variant);
    void performSwitch(int variant);
    void play(const KeyChord& chord);
    void chordWithON(const std::vector<int>& codes);
    void loadMemory(std::span<const uint8_t> memory);
    std::string readMemStatus();
    static std::optional<int> selectorKey(int variant);

    // Trial checks on scratch machines; they never throw.
    static MemoryCheck checkMemory(std::span<const uint8_t> memory, std::span<const uint8_t> firmware, int variant);
    static std::vector<int> fittingVariants(std::span<const uint8_t> memory, std::span<const uint8_t> firmware,
                                            const std::vector<int>& images);
    static bool needsExtendedMemory(std::span<const uint8_t> memory, std::span<const uint8_t> firmware,
                                    const std::vector<int>& images);

    // What the memory holds, or no value when it cannot be read (not started, no model).
    std::optional<InspectorSnapshot> inspect(bool includeProgram = true, int registerLimit = 4096);

    // A fault of the emulated chip (as opposed to a refused request).
    static bool isChipFault(std::exception_ptr error);

    CalculatorFamily family() const { return family_; }
    const std::string& firmwareID() const { return firmwareID_; }
    const std::vector<uint8_t>& firmwareData() const { return firmwareData_; }
    const std::vector<int>& images() const { return images_; }
    int64_t minimumHoldMs() const { return minimumHoldMs_; }
    OrvaneCalculator& calculator() { return calc_; }

    // Key down, 120 ms, key up, 600 ms, straight through the core; simMs += 720.
    void coreTap(int code);

private:
    // The release rule shared by release() and due delayed releases.
    void releaseNow(int code);
    void keyUp(int code);

    OrvaneCalculator calc_;
    CalculatorFamily family_ = CalculatorFamily::none;
    std::string firmwareID_;
    std::vector<uint8_t> firmwareData_;
    std::vector<int> images_;
    int64_t simMs_ = 0;
    int64_t minimumHoldMs_ = 80;
    std::map<int, int64_t> downSince_;
    std::set<int> pendingRelease_;
    std::optional<int64_t> lastPressMs_; // when the last key went down
    std::optional<int64_t> lastUpMs_;    // when the last key went up
    std::vector<std::pair<int64_t, int>> delayedRelease_; // (at, code) in scheduled order
};

} // namespace tw
