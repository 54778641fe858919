// Whole-file writes that never leave half a file: the new content goes into a temporary file beside
// the target, is flushed to disk and renamed over the old file. A failed write (full disk, no
// right) leaves the old file as it was and no temporary file behind. A symbolic link is followed,
// so the link stays and its target gets the new content; an existing file keeps its permissions.
#pragma once

#include <string>

namespace pf {

// True when path holds exactly content afterwards.
bool WriteFileAtomically(const std::string& path, const std::string& content);

} // namespace pf
