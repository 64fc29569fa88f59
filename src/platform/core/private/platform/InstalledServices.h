#pragma once
// What is installed in the process-wide slots, as it is (no default made on
// the way), so that ServicesScope can put each slot back exactly.
#include <memory>

#include "platform/FontEngine.h"
#include "platform/Presenter.h"
#include "platform/SettingsStore.h"
#include "platform/ShellOpen.h"
#include "platform/Theme.h"

namespace tavixTGCL2 {

std::shared_ptr<Presenter> installedPresenter();
// nullptr while the file store has not been made.
std::shared_ptr<SettingsStore> installedDefaultSettingsStore();
// nullptr for the built-in font engine.
std::shared_ptr<FontEngine> installedFontEngine();
// nullptr for the built-in theme.
std::shared_ptr<Theme> installedTheme();

namespace ShellOpen {
// nullptr for the desktop opener.
Opener installedOpener();
}  // namespace ShellOpen

}  // namespace tavixTGCL2
