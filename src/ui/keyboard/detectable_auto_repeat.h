// Asks the X server to report a held key's auto-repeat as presses alone.
#pragma once

namespace tw {

// On X (the xcb platform), asks the server, through its keyboard extension, not to
// send a release before each repeated press of a held key, so that a hold is never
// seen as a string of taps. True when the server agreed; false on other platforms.
// Asks once per process.
bool requestDetectableAutoRepeat();

} // namespace tw
