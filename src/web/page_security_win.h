// The page process's browser security beyond the control's feature switches: the program's own
// security manager told the publisher's hosts, and the schemes no page may fetch from refused.
#pragma once

namespace web {

// Once per page process, before its first browser control. False when a part failed (traced);
// the process goes on, its controls then refusing more, never less.
bool SecurePageProcess();

} // namespace web
