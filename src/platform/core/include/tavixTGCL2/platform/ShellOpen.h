#pragma once
// Opening a document or address with the desktop's opener, as a shell's
// "open" verb does: "xdg-open" started directly with the target as its one
// argument, never through a command line, so no character of the target can
// run a command. A host or a test may install its own opener.
#include <tavixTGCL2/Export.h>
#include <functional>
#include <string>
#include <vector>

namespace tavixTGCL2::ShellOpen {

// Returns whether the target was handed over.
using Opener = std::function<bool(const std::string& target)>;

// Opens target with the installed opener (the desktop's by default). An
// empty target opens nothing. Never throws: a failure to start gives false.
TGCL_API bool open(const std::string& target);

// nullptr restores the desktop opener.
TGCL_API void setOpener(Opener opener);

// The desktop opener itself: runs `xdg-open target`.
TGCL_API bool openWithDesktop(const std::string& target);

// Starts program (looked up in PATH when it has no '/') with args as its
// arguments, detached: it is not a child the caller must wait for. Returns
// false when it could not be started (not found, not executable, no
// process). Never throws.
TGCL_API bool launchDetached(const std::string& program, const std::vector<std::string>& args);

}  // namespace tavixTGCL2::ShellOpen
