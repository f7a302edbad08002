// The system's version as the program asks for it (the one place that calls GetVersionExW).
#pragma once

namespace base {

// The system's major version number (5 for XP, 6 and above for Vista and later); 0 when the
// system does not answer.
int OsMajorVersion();

// Whether the major version number is above 5 (also true when the system does not answer).
// Asked once per process.
bool IsVistaOrLater();

} // namespace base
