// ServicesScope: whatever a scope installs, every process-wide service is
// back as it was when the scope ends, by its end or by an exception.
#include <gtest/gtest.h>

#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "frame/ServicesScope.h"
#include "platform/Diagnostics.h"
#include "platform/Error.h"
#include "platform/EventLoop.h"
#include "platform/FontEngine.h"
#include "platform/InstalledServices.h"
#include "platform/MemorySettingsStore.h"
#include "platform/Presenter.h"
#include "platform/SettingsStore.h"
#include "platform/ShellOpen.h"
#include "platform/Theme.h"
#include "platform/WebBrowser.h"

using namespace tavixTGCL2;

namespace {

struct NamedTranslator : ITranslator {
    std::string Translate(const std::string&, const std::string&, const VariantList&) override { return "outer"; }
    void TranslateControls(const std::string&, Control&) override {}
};

struct SilentFetcher : IWebFetcher {
    void fetch(const std::string&, std::function<void(FetchResult)>) override {}
};

// One set of services, each one told apart from the defaults and from the
// set another scope installs.
struct Installed {
    std::shared_ptr<NamedTranslator> translator = std::make_shared<NamedTranslator>();
    int registriesMade = 0;
    std::shared_ptr<ScriptedPresenter> presenter = std::make_shared<ScriptedPresenter>();
    int reports = 0;
    std::shared_ptr<MemorySettingsStore> store = std::make_shared<MemorySettingsStore>();
    std::vector<std::string> opened;
    std::shared_ptr<SilentFetcher> fetcher = std::make_shared<SilentFetcher>();
    std::shared_ptr<BitmapFontEngine> font = std::make_shared<BitmapFontEngine>();
    std::shared_ptr<BuiltinTheme> theme = std::make_shared<BuiltinTheme>();

    void install(bool theming, bool virtualClock) {
        HostServices::setTranslatorFactory([t = translator] { return t; });
        HostServices::setRegistryFactory([this] {
            ++registriesMade;
            return std::make_unique<StoreRegistry>();
        });
        setPresenter(presenter);
        setDiagnosticsSink([this](const ContainedError&) { ++reports; });
        setDefaultSettingsStore(store);
        ShellOpen::setOpener([this](const std::string& target) {
            opened.push_back(target);
            return true;
        });
        WebBrowser::setDefaultFetcher(fetcher);
        installFontEngine(font);
        installTheme(theme);
        setThemingEnabled(theming);
        EventLoop::current().useVirtualClock(virtualClock);
    }

    // Uses each service once and checks that this set answered.
    void expectInForce(bool theming, bool virtualClock, const char* when) {
        SCOPED_TRACE(when);
        EXPECT_EQ(HostServices::Translator(), translator);
        const int made = registriesMade;
        HostServices::NewRegistry();
        EXPECT_EQ(registriesMade, made + 1);
        EXPECT_EQ(&tavixTGCL2::presenter(), presenter.get());
        const int seen = reports;
        resumeNext([] { throw Error("reported"); });
        EXPECT_EQ(reports, seen + 1);
        EXPECT_EQ(&defaultSettingsStore(), store.get());
        ShellOpen::open(when);
        EXPECT_EQ(opened.back(), when);
        EXPECT_EQ(WebBrowser::defaultFetcher(), fetcher);
        EXPECT_EQ(&fontEngine(), font.get());
        EXPECT_EQ(themingEnabled(), theming);
        setThemingEnabled(true);
        EXPECT_EQ(activeTheme(), theme.get());
        setThemingEnabled(theming);
        EXPECT_EQ(EventLoop::current().virtualClock(), virtualClock);
    }
};

}  // namespace

TEST(ServicesScope, PutsBackEveryServiceAfterTheScopeAndAfterAThrow) {
    ServicesScope untouched;  // leaves the process to the next test as found
    Installed outer;
    outer.install(false, true);
    const std::shared_ptr<ITranslator> made = HostServices::Translator();

    {
        ServicesScope scope;
        Installed inner;
        inner.install(true, false);
        inner.expectInForce(true, false, "inside");
        {
            // Scopes nest: the inner one gives back the middle set.
            ServicesScope nested;
            HostServices::reset();
            setPresenter(nullptr);
        }
        inner.expectInForce(true, false, "after the nested scope");
    }
    outer.expectInForce(false, true, "after the scope");
    // The same instance, not a new one from the same factory.
    EXPECT_EQ(HostServices::Translator(), made);

    EXPECT_THROW(
        {
            ServicesScope scope;
            Installed inner;
            inner.install(true, false);
            throw Error("the body failed");
        },
        Error);
    outer.expectInForce(false, true, "after the throw");
}

TEST(ServicesScope, DefaultsComeBackAsDefaults) {
    ServicesScope untouched;
    HostServices::reset();
    setDefaultSettingsStore(nullptr);
    ShellOpen::setOpener(nullptr);
    {
        ServicesScope scope;
        Installed inner;
        inner.install(false, true);
    }
    // The host kit's translator, the store still to be made on demand and
    // the desktop opener, not what the scope installed.
    EXPECT_NE(dynamic_cast<CatalogueTranslator*>(HostServices::Translator().get()), nullptr);
    EXPECT_EQ(installedDefaultSettingsStore(), nullptr);
    EXPECT_FALSE(ShellOpen::installedOpener());
}
