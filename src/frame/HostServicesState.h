#pragma once
// The host objects as installed: each factory with the instance it made, so
// that a scope can put them back without making new ones.
#include "frame/HostServices.h"

namespace tavixTGCL2::HostServices {

struct Installed {
    TranslatorFactory translatorFactory;
    std::shared_ptr<ITranslator> translator;
    RegistryFactory registryFactory;
    SettingsPathFactory settingsPathFactory;
    std::shared_ptr<ISettingsPath> settingsPath;
    SettingsFactory settingsFactory;
    std::shared_ptr<ISettings> settings;
    UtilityFactory utilityFactory;
    std::shared_ptr<IUtility> utility;
};

Installed installed();
void reinstall(Installed saved) noexcept;

}  // namespace tavixTGCL2::HostServices
