#pragma once
// The library-wide host objects. The translator, settings-path, settings and
// utility objects are created on first use and shared until the library is
// unloaded; a registry object is made new for every use. A host installs its
// own factories before the first control is created; otherwise the embedded
// host kit serves.
#include <functional>
#include <memory>

#include "frame/HostComponents.h"

namespace tavixTGCL2::HostServices {

using TranslatorFactory = std::function<std::shared_ptr<ITranslator>()>;
using RegistryFactory = std::function<std::unique_ptr<IRegistry>()>;
using SettingsPathFactory = std::function<std::shared_ptr<ISettingsPath>()>;
using SettingsFactory = std::function<std::shared_ptr<ISettings>()>;
using UtilityFactory = std::function<std::shared_ptr<IUtility>()>;

// Each getter creates the shared instance on first use. A factory that
// throws or returns nothing leaves the getter returning nullptr, and the
// next call tries again.
std::shared_ptr<ITranslator> Translator();
std::unique_ptr<IRegistry> NewRegistry();
std::shared_ptr<ISettingsPath> SettingsPath();
std::shared_ptr<ISettings> Settings();
std::shared_ptr<IUtility> Utility();

// Replacing a factory also drops the instance it made, so the next use
// creates one from the new factory. nullptr restores the host kit's.
void setTranslatorFactory(TranslatorFactory f);
void setRegistryFactory(RegistryFactory f);
void setSettingsPathFactory(SettingsPathFactory f);
void setSettingsFactory(SettingsFactory f);
void setUtilityFactory(UtilityFactory f);

// Back to the host kit everywhere (used by tests between cases).
void reset();

}  // namespace tavixTGCL2::HostServices
