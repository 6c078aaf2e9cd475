// The result table of the trial check: each outcome's action or error, with the
// texts the confirmation dialog shows.
#include "app/trial_outcome.h"

#include <gtest/gtest.h>

namespace {

using tw::MemoryCheck;
using tw::PendingAction;
using tw::trialOutcome;

const std::vector<uint8_t> image(2048, 7);
const QString source = QStringLiteral("“prog.15c”");

PendingAction action(const tw::TrialOutcome& outcome) {
    EXPECT_TRUE(std::holds_alternative<PendingAction>(outcome));
    return std::holds_alternative<PendingAction>(outcome) ? std::get<PendingAction>(outcome) : PendingAction::memoryReset();
}

QString reason(const tw::TrialOutcome& outcome) {
    const auto a = action(outcome);
    if (auto* anyway = a.as<PendingAction::LoadMemoryAnyway>()) return anyway->source == source ? anyway->reason : "?";
    ADD_FAILURE() << "not a load-anyway action: " << a.id().toStdString();
    return {};
}

TEST(TrialOutcome, AFittingImageAsksToLoadIt) {
    const auto a = action(trialOutcome(image, source, "HP-15C", MemoryCheck::fits("42."), {}));
    EXPECT_EQ(a, PendingAction::loadMemory(image, source));
    EXPECT_EQ(a.title(), "Load the memory from “prog.15c”?");
}

TEST(TrialOutcome, AWrongSizeIsAnErrorNamingTheSize) {
    const auto outcome = trialOutcome(std::vector<uint8_t>(2047), "the calculator", "HP-15C",
                                      MemoryCheck::wrongSize(2047), {});
    ASSERT_TRUE(std::holds_alternative<QString>(outcome));
    EXPECT_EQ(std::get<QString>(outcome),
              "The memory from the calculator is 2047 bytes; a calculator memory is 2048 bytes. Nothing was loaded.");
}

TEST(TrialOutcome, ATrialThatWentWrongMayStillBeLoaded) {
    EXPECT_EQ(reason(trialOutcome(image, source, "HP-15C", MemoryCheck::changed(7), {})),
              "In a trial load on this firmware's HP-15C, the calculator started but changed 7 bytes of the "
              "registers / program area (it may have cleared them). It may be from another model or firmware.");
    EXPECT_EQ(reason(trialOutcome(image, source, "HP-12C", MemoryCheck::changed(12345), {150, 152})),
              "In a trial load on this firmware's HP-12C, the calculator started but changed 12345 bytes of the "
              "registers / program area (it may have cleared them). It fits the HP-15C: choose that in the Model "
              "menu, then try again.");
    EXPECT_EQ(reason(trialOutcome(image, source, "HP-16C", MemoryCheck::rejected(), {152})),
              "In a trial load on this firmware's HP-16C, the calculator showed Pr Error with it (its memory would "
              "be cleared). It fits the HP-15C (15.2): choose that in the Model menu, then try again.");
    EXPECT_EQ(reason(trialOutcome(image, source, "HP-16C", MemoryCheck::unreadable(), {})),
              "In a trial load on this firmware's HP-16C, the calculator did not show anything after ON. It may be "
              "from another model or firmware.");
    EXPECT_EQ(action(trialOutcome(image, source, "HP-16C", MemoryCheck::unreadable(), {})).title(),
              "The memory from “prog.15c” may not fit");
}

TEST(TrialOutcome, TheDoubledMemorySwitchesFirstWhenTheFirmwareHasIt) {
    const QString needsMore = "It uses more registers than the HP-15C mode this firmware is running has (g MEM gives "
                              "Error 10, and DIM (i) cannot fix it). It is a memory from the HP-15C (15.2) "
                              "double-memory mode.";
    const auto a = action(trialOutcome(image, "the calculator", "HP-15C", MemoryCheck::needsMoreMemory(), {152, 160}));
    EXPECT_EQ(a, PendingAction::switchThenLoad(image, "the calculator", 152,
                                               needsMore + " Switch the model first (this clears the emulator's "
                                                           "memory), then load it."));
    EXPECT_EQ(a.id(), "switch 152 load the calculator");
    EXPECT_EQ(a.title(), "The memory from the calculator is for the HP-15C (15.2)");

    EXPECT_EQ(action(trialOutcome(image, source, "HP-15C", MemoryCheck::needsMoreMemory(), {})),
              PendingAction::loadMemoryAnyway(image, source, needsMore));
}

// Other images may fit a 15.2 memory too (one that keeps any memory, earlier in the
// firmware): the 15.2 image wins unless a file's extension names another model, and
// the title, the text and the button always name the same model.
TEST(TrialOutcome, TheDoubledMemoryGoesToTheImageItsContentNames) {
    const auto switchTo = [](const std::vector<int>& fitting, const QString& extension) {
        const auto a =
            action(trialOutcome(image, source, "HP-15C", MemoryCheck::needsMoreMemory(), fitting, extension));
        const auto* s = a.as<PendingAction::SwitchThenLoad>();
        return s ? s->variant : 0;
    };
    for (const QString extension : {"", "15c", "bin"})
        EXPECT_EQ(switchTo({120, 152, 160}, extension), 152) << extension.toStdString();
    EXPECT_EQ(switchTo({120, 152}, "12c"), 120);
    EXPECT_EQ(switchTo({160, 152}, "16c"), 160);
    EXPECT_EQ(switchTo({120, 160}, ""), 120);

    const auto toThe12C = action(trialOutcome(image, source, "HP-15C", MemoryCheck::needsMoreMemory(), {120, 160}));
    EXPECT_EQ(toThe12C.title(), "The memory from “prog.15c” is for the HP-12C");
    EXPECT_EQ(toThe12C.confirmButton(), "Switch to 12C and Load");
    EXPECT_EQ(toThe12C.as<PendingAction::SwitchThenLoad>()->reason,
              "It uses more registers than the HP-15C mode this firmware is running has (g MEM gives Error 10, and "
              "DIM (i) cannot fix it). It fits the HP-12C. Switch the model first (this clears the emulator's "
              "memory), then load it.");
}

} // namespace
