#pragma once
// What is installed in the process-wide slots, as it is (no default made on
// the way), so that ServicesScope can put each slot back exactly.
#include <memory>

#include "platform/Presenter.h"
#include "platform/ShellOpen.h"

namespace tavixTGCL2 {

// Each slot is defined by the layer that owns it; declared only here so
// that this header, which ServicesScope needs whole, stays in the lowest layer.
class FontEngine;
class SettingsStore;
class Theme;

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
