// Linked into every GoogleTest program, whatever its main: the program runs in the locale its
// environment names, and in a test stage that runs in another language it really has the system's
// words in that language.
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

#include <gtest/gtest.h>

namespace tw {
namespace {

// The locale the environment names for messages, as setlocale(LC_ALL, "") picks it.
std::string environmentMessagesLocale() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(variable); value && *value) return value;
    return "C";
}

// strerror's words in the C locale, whichever locale the program is in.
std::string cLocaleStrerror(int errorNumber) {
    const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    std::string text = strerror_l(errorNumber, c);
    freelocale(c);
    return text;
}

TEST(StageLocale, TheProgramRunsInTheLocaleOfItsEnvironment) {
    const std::string inEffect = std::setlocale(LC_MESSAGES, nullptr);
    // scripts/test.sh names the language of its German and Turkish stages here. A stage left in
    // C (a locale missing, an environment that names C, a main that never takes the locale)
    // would let a test that compares with the system's English words pass.
    if (const char* stage = std::getenv("TW_EXPECT_LOCALE"); stage && *stage) {
        EXPECT_EQ(inEffect, stage) << "the test stage runs in " << stage << ", this program in " << inEffect
                                   << ": the locale is missing (scripts/setup.sh makes it), the environment"
                                      " names another, or the program's main never calls setlocale(LC_ALL, \"\")";
        // Not a fixed translation, which glibc may reword: only not the C locale's.
        const std::string words = std::strerror(EFBIG);
        EXPECT_NE(words, cLocaleStrerror(EFBIG))
            << "strerror(EFBIG) gives the C locale's words under " << stage
            << ": the C library's translations are missing (libc-l10n) or LANGUAGE overrides the locale";
        return;
    }
    // Elsewhere: the environment's locale, when this machine has it.
    const locale_t environment = newlocale(LC_ALL_MASK, "", locale_t{});
    if (environment == locale_t{}) return;
    freelocale(environment);
    EXPECT_EQ(inEffect, environmentMessagesLocale())
        << "the program's main never took the locale from the environment (setlocale(LC_ALL, \"\"))";
}

} // namespace
} // namespace tw
