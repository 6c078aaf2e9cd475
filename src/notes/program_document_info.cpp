#include <ctime>

#include "notes/program_document_content.h"
#include "runtime/snapshot/number_text.h"

namespace tw {

std::string ProgramDocumentInfo::modelNameFor(int variant, int model) {
    if (variant == 150) return "HP-15C";
    if (variant == 152) return "HP-15C (15.2)";
    return "HP-" + decimalText(model) + "C";
}

std::string ProgramDocumentInfo::dateText() const {
    // English month names whatever the process locale: the text is the same
    // as the "d MMMM yyyy" pattern gives in en_GB.
    static constexpr const char* kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                                "July",    "August",   "September", "October", "November", "December"};
    const std::time_t seconds = std::chrono::system_clock::to_time_t(date);
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return {};
    std::string year = zeroPadded(local.tm_year + 1900, 4);
    return decimalText(local.tm_mday) + " " + kMonths[local.tm_mon % 12] + " " + year;
}

} // namespace tw
