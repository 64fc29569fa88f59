#include "frame/HostServices.h"
#include "frame/HostServicesState.h"

#include <mutex>

#include "frame/HostKit.h"
#include "platform/Diagnostics.h"

namespace tavixTGCL2::HostServices {

namespace {

template <class T>
struct Shared {
    std::function<std::shared_ptr<T>()> factory;
    std::shared_ptr<T> instance;

    std::shared_ptr<T> get(const std::function<std::shared_ptr<T>()>& fallback) {
        if (!instance) {
            try {
                instance = factory ? factory() : fallback();
            } catch (...) {
                reportContained();
                instance = nullptr;  // the next use tries again
            }
        }
        return instance;
    }
    void set(std::function<std::shared_ptr<T>()> f) {
        factory = std::move(f);
        instance = nullptr;
    }
};

struct State {
    std::recursive_mutex mutex;
    Shared<ITranslator> translator;
    Shared<ISettingsPath> settingsPath;
    Shared<ISettings> settings;
    Shared<IUtility> utility;
    RegistryFactory registry;
};

State& state() {
    static State s;
    return s;
}

}  // namespace

std::shared_ptr<ITranslator> Translator() {
    std::lock_guard lock(state().mutex);
    return state().translator.get([] { return std::make_shared<CatalogueTranslator>(); });
}

std::unique_ptr<IRegistry> NewRegistry() {
    RegistryFactory f;
    {
        std::lock_guard lock(state().mutex);
        f = state().registry;
    }
    if (!f) return std::make_unique<StoreRegistry>();
    try {
        return f();
    } catch (...) {
        reportContained();
        return nullptr;
    }
}

std::shared_ptr<ISettingsPath> SettingsPath() {
    std::lock_guard lock(state().mutex);
    return state().settingsPath.get([] { return std::make_shared<FixedSettingsPath>(); });
}

std::shared_ptr<ISettings> Settings() {
    std::lock_guard lock(state().mutex);
    return state().settings.get([] { return std::make_shared<SimpleSettings>(); });
}

std::shared_ptr<IUtility> Utility() {
    std::lock_guard lock(state().mutex);
    return state().utility.get([] { return std::make_shared<DefaultUtility>(); });
}

void setTranslatorFactory(TranslatorFactory f) {
    std::lock_guard lock(state().mutex);
    state().translator.set(std::move(f));
}
void setRegistryFactory(RegistryFactory f) {
    std::lock_guard lock(state().mutex);
    state().registry = std::move(f);
}
void setSettingsPathFactory(SettingsPathFactory f) {
    std::lock_guard lock(state().mutex);
    state().settingsPath.set(std::move(f));
}
void setSettingsFactory(SettingsFactory f) {
    std::lock_guard lock(state().mutex);
    state().settings.set(std::move(f));
}
void setUtilityFactory(UtilityFactory f) {
    std::lock_guard lock(state().mutex);
    state().utility.set(std::move(f));
}

Installed installed() {
    std::lock_guard lock(state().mutex);
    State& s = state();
    return {s.translator.factory, s.translator.instance, s.registry,
            s.settingsPath.factory, s.settingsPath.instance, s.settings.factory,
            s.settings.instance, s.utility.factory, s.utility.instance};
}

void reinstall(Installed saved) noexcept {
    std::lock_guard lock(state().mutex);
    State& s = state();
    s.translator = {std::move(saved.translatorFactory), std::move(saved.translator)};
    s.registry = std::move(saved.registryFactory);
    s.settingsPath = {std::move(saved.settingsPathFactory), std::move(saved.settingsPath)};
    s.settings = {std::move(saved.settingsFactory), std::move(saved.settings)};
    s.utility = {std::move(saved.utilityFactory), std::move(saved.utility)};
}

void reset() {
    setTranslatorFactory(nullptr);
    setRegistryFactory(nullptr);
    setSettingsPathFactory(nullptr);
    setSettingsFactory(nullptr);
    setUtilityFactory(nullptr);
}

}  // namespace tavixTGCL2::HostServices
