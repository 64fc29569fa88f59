#pragma once
// The library-wide host objects. The translator, settings-path, settings and
// utility objects are created on first use and shared until the library is
// unloaded; a registry object is made new for every use. A host installs its
// own factories before the first control is created; otherwise the embedded
// host kit serves.
#include <tavixTGCL2/Export.h>
#include <functional>
#include <memory>

#include <tavixTGCL2/frame/HostComponents.h>

namespace tavixTGCL2::HostServices {

using TranslatorFactory = std::function<std::shared_ptr<ITranslator>()>;
using RegistryFactory = std::function<std::unique_ptr<IRegistry>()>;
using SettingsPathFactory = std::function<std::shared_ptr<ISettingsPath>()>;
using SettingsFactory = std::function<std::shared_ptr<ISettings>()>;
using UtilityFactory = std::function<std::shared_ptr<IUtility>()>;

// Each getter creates the shared instance on first use. A factory that
// throws or returns nothing leaves the getter returning nullptr, and the
// next call tries again.
TGCL_API std::shared_ptr<ITranslator> Translator();
TGCL_API std::unique_ptr<IRegistry> NewRegistry();
TGCL_API std::shared_ptr<ISettingsPath> SettingsPath();
TGCL_API std::shared_ptr<ISettings> Settings();
TGCL_API std::shared_ptr<IUtility> Utility();

// Replacing a factory also drops the instance it made, so the next use
// creates one from the new factory. nullptr restores the host kit's.
TGCL_API void setTranslatorFactory(TranslatorFactory f);
TGCL_API void setRegistryFactory(RegistryFactory f);
TGCL_API void setSettingsPathFactory(SettingsPathFactory f);
TGCL_API void setSettingsFactory(SettingsFactory f);
TGCL_API void setUtilityFactory(UtilityFactory f);

// Back to the host kit everywhere (used by tests between cases).
TGCL_API void reset();

}  // namespace tavixTGCL2::HostServices
