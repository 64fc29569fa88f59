#include "frame/ServicesScope.h"

#include "frame/HostServicesState.h"
#include "platform/Diagnostics.h"
#include "platform/Error.h"
#include "platform/EventLoop.h"
#include "platform/FontEngine.h"
#include "platform/InstalledServices.h"
#include "platform/SettingsStore.h"
#include "platform/Theme.h"
#include "platform/WebBrowser.h"

namespace tavixTGCL2 {

struct ServicesScope::Saved {
    HostServices::Installed host;
    std::shared_ptr<Presenter> presenter;
    DiagnosticsSink sink;
    std::shared_ptr<SettingsStore> settingsStore;
    ShellOpen::Opener opener;
    std::shared_ptr<IWebFetcher> fetcher;
    std::shared_ptr<FontEngine> fontEngine;
    std::shared_ptr<Theme> theme;
    bool theming = true;
    bool virtualClock = false;
};

ServicesScope::ServicesScope() : m_saved(std::make_unique<Saved>()) {
    Saved& s = *m_saved;
    s.host = HostServices::installed();
    s.presenter = installedPresenter();
    // The sink has no getter: it is read by swapping it out and back.
    s.sink = setDiagnosticsSink(nullptr);
    setDiagnosticsSink(s.sink);
    s.settingsStore = installedDefaultSettingsStore();
    s.opener = ShellOpen::installedOpener();
    s.fetcher = WebBrowser::defaultFetcher();
    s.fontEngine = installedFontEngine();
    s.theme = installedTheme();
    s.theming = themingEnabled();
    s.virtualClock = EventLoop::current().virtualClock();
}

ServicesScope::~ServicesScope() {
    Saved& s = *m_saved;
    // Each slot on its own: one that cannot be restored leaves the others
    // restored.
    HostServices::reinstall(std::move(s.host));
    resumeNext([&] { setPresenter(std::move(s.presenter)); });
    resumeNext([&] { setDiagnosticsSink(std::move(s.sink)); });
    resumeNext([&] { setDefaultSettingsStore(std::move(s.settingsStore)); });
    resumeNext([&] { ShellOpen::setOpener(std::move(s.opener)); });
    resumeNext([&] { WebBrowser::setDefaultFetcher(std::move(s.fetcher)); });
    resumeNext([&] { installFontEngine(std::move(s.fontEngine)); });
    resumeNext([&] { installTheme(std::move(s.theme)); });
    resumeNext([&] { setThemingEnabled(s.theming); });
    resumeNext([&] { EventLoop::current().useVirtualClock(s.virtualClock); });
}

}  // namespace tavixTGCL2
