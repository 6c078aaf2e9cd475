#include "app/unsaved_at_quit.h"

namespace tw {

QString UnsavedAtQuit::message() const {
    if (!any()) return {};
    QString what;
    if (state && settings) what = QStringLiteral("Your calculator's state, program notes and settings");
    else if (state) what = QStringLiteral("Your calculator's state");
    else what = QStringLiteral("Your program notes and settings");
    QString reason = state ? state->reason : settings->reason;
    if (state && settings && settings->reason != state->reason) reason += QStringLiteral("; ") + settings->reason;
    return what + QStringLiteral(" could not be saved: ") + reason + u'.';
}

} // namespace tw
