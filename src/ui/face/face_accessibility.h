// Keys and key areas are buttons to assistive technology, and their default action
// presses and releases the key.
#pragma once

namespace tw {

// Installs the accessibility factory for the face's key widgets (once per process).
void installFaceAccessibility();

} // namespace tw
