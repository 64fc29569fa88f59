#pragma once
// A host whose objects misbehave on purpose. Every wrapper forwards to a real
// host-kit object, but before each call it asks the shared Injector whether
// this call fails: then it either throws our Error with a code such a host
// object would plausibly use, or answers with nothing (an empty string, an
// empty Variant, a null object, 0 or False, or for an operation without an
// answer: does nothing). The draws come from one seeded generator, so a run
// that goes wrong can be repeated exactly from its seed.
//
// Typical use:
//
//   auto inj = std::make_shared<faults::Injector>(seed, 0.05);
//   faults::installServices(inj);              // translator, registry, ...
//   auto element = faults::element(inj, realElement);
//   toolbar.Initialize(element, faults::setup(inj, realSetup));
//   ...
//   inj->setRate(0);                           // the host behaves again
//   faults::uninstallServices();
#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "frame/HostComponents.h"
#include "frame/HostKit.h"
#include "platform/Presenter.h"
#include "platform/ShellOpen.h"
#include "platform/Variant.h"

namespace tavixTGCL2::faults {

// One kind per host contract the library consumes (and the factories that
// make the library-wide ones).
enum class Kind : std::size_t {
    TestElement,
    ElementInfo,
    ElementView,
    TestResult,
    TestSetup,
    SetupView2,
    StandardsList,
    Standard,
    DutInfo,
    WindowSettings,
    Translator,
    Registry,
    SettingsPath,
    Settings,
    SettingsSection,
    Utility,
    HostPage,
    ResultView,
    Factory,
    EventHandler,
    Presenter,
    Shell,
    Count
};
constexpr std::size_t kKinds = static_cast<std::size_t>(Kind::Count);
const char* kindName(Kind k);

enum class Fault { None, Throw, Nothing };

class Injector {
public:
    Injector(std::uint64_t seed, double rate) : m_rng(seed), m_rate(rate) {}

    void setRate(double rate) { m_rate = rate; }
    double rate() const { return m_rate; }

    // Draws the fate of one call of kind k and counts it.
    Fault next(Kind k);
    // Throws the Error a failing object of kind k raises.
    [[noreturn]] void raise(Kind k, const char* member);

    // The common shape of a forwarded call: fail as drawn, else forward.
    template <class T, class F>
    T call(Kind k, const char* member, F&& real) {
        switch (next(k)) {
            case Fault::Throw: raise(k, member);
            case Fault::Nothing: return T{};
            case Fault::None: break;
        }
        return real();
    }
    template <class F>
    void act(Kind k, const char* member, F&& real) {
        switch (next(k)) {
            case Fault::Throw: raise(k, member);
            case Fault::Nothing: return;
            case Fault::None: break;
        }
        real();
    }

    std::uint64_t calls(Kind k) const { return m_calls[idx(k)]; }
    std::uint64_t thrown(Kind k) const { return m_thrown[idx(k)]; }
    std::uint64_t nothing(Kind k) const { return m_nothing[idx(k)]; }
    std::uint64_t totalFaults() const;
    // Adds another injector's counts to this one (for totals over runs).
    void addCounts(const Injector& other);

private:
    static std::size_t idx(Kind k) { return static_cast<std::size_t>(k); }
    std::mt19937_64 m_rng;
    double m_rate;
    std::array<std::uint64_t, kKinds> m_calls{}, m_thrown{}, m_nothing{};
};

using InjectorPtr = std::shared_ptr<Injector>;

// --- the test element and its parts ---------------------------------------

std::shared_ptr<ITestElement> element(InjectorPtr inj, std::shared_ptr<ITestElement> real);
std::shared_ptr<IElementInfo> elementInfo(InjectorPtr inj, std::shared_ptr<IElementInfo> real);
std::shared_ptr<ITestResult> result(InjectorPtr inj, std::shared_ptr<ITestResult> real);

// --- the test setup and its parts -------------------------------------------

std::shared_ptr<ITestSetup> setup(InjectorPtr inj, std::shared_ptr<ITestSetup> real);
std::shared_ptr<IStandardsList> standards(InjectorPtr inj, std::shared_ptr<IStandardsList> real);
std::shared_ptr<IDutInfo> dutInfo(InjectorPtr inj, std::shared_ptr<IDutInfo> real);
std::shared_ptr<IWindowSettings> windowSettings(InjectorPtr inj, std::shared_ptr<IWindowSettings> real);

// --- the library-wide services ----------------------------------------------

std::shared_ptr<ITranslator> translator(InjectorPtr inj, std::shared_ptr<ITranslator> real);
std::unique_ptr<IRegistry> registry(InjectorPtr inj, std::unique_ptr<IRegistry> real);
std::shared_ptr<ISettingsPath> settingsPath(InjectorPtr inj, std::shared_ptr<ISettingsPath> real);
std::shared_ptr<ISettings> settings(InjectorPtr inj, std::shared_ptr<ISettings> real);
std::shared_ptr<IUtility> utility(InjectorPtr inj, std::shared_ptr<IUtility> real);

// Installs factories that hand out faulty wrappers around the host kit's
// objects (the translator over `tr`, the registry over the default store,
// the settings over `st`). The factories fail too (kind Factory): a shared
// service the library could not create is asked for again on the next use.
void installServices(InjectorPtr inj, std::shared_ptr<ITranslator> tr, std::shared_ptr<ISettings> st);
void uninstallServices();

// --- controls the host hands over by reference ------------------------------

// A host control reached by member name ("Move", "Visible", "ZOrder", "Tag").
// kind is HostPage or ResultView.
ObjectPtr control(InjectorPtr inj, Kind kind, ObjectPtr real);

// --- what the toolkit and the desktop supply ---------------------------------

// Menus, modal forms and message boxes: a failing presenter throws, or shows
// nothing (a menu dismissed, a form never shown, a message box answered 0).
std::shared_ptr<Presenter> presenter(InjectorPtr inj, std::shared_ptr<Presenter> real);
// The desktop's opener for links: throws, or reports that nothing opened.
ShellOpen::Opener shellOpener(InjectorPtr inj, ShellOpen::Opener real);

// --- the host's event handlers ------------------------------------------------

// A handler of the host: throws, or leaves its by-reference arguments as
// nothing (0, nullptr), as drawn. Returns whether it ran normally, so the
// caller's own handling can follow.
template <class... Refs>
bool handler(Injector& inj, const char* event, Refs&... refs) {
    switch (inj.next(Kind::EventHandler)) {
        case Fault::Throw: inj.raise(Kind::EventHandler, event);
        case Fault::Nothing: ((refs = Refs{}), ...); return false;
        case Fault::None: break;
    }
    return true;
}

}  // namespace tavixTGCL2::faults
