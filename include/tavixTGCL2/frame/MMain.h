#pragma once
// Library start-up and the template page: the page the procedure pane loads
// before it writes an HTML procedure into it.
#include <tavixTGCL2/Export.h>
#include <string>

namespace tavixTGCL2::MMain {

// Start-up runs once, before the first control or class of the library is
// created (every control's constructor and the accessor below ensure it).
// It reads the template page location from the settings store and never
// fails: a missing, empty or unreadable value gives "about:blank".
TGCL_API void ensureStarted();

// A copy of the template page.
TGCL_API std::string TemplatePage();

// Runs start-up again, as a fresh load of the library would. For tests and
// for hosts that change the store before creating controls.
TGCL_API void restart();

}  // namespace tavixTGCL2::MMain
