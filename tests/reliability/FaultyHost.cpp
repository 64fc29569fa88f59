#include "FaultyHost.h"

#include <numeric>

#include "frame/HostServices.h"
#include "platform/Error.h"

namespace tavixTGCL2::faults {

namespace {

constexpr const char* kNames[kKinds] = {
    "test element", "element information", "element view", "test result",    "test setup",
    "setup view 2", "standards list",      "standard",     "DUT information", "window settings",
    "translator",   "registry",            "settings path", "settings",       "settings section",
    "utility",      "host page",           "result view",  "factory",        "event handler",
    "presenter",    "shell opener",
};

// What a failing object of each kind would raise: a missing object, a
// property it lacks, a store that cannot be read, and so on.
std::int32_t codeFor(Kind k, std::uint64_t draw) {
    switch (k) {
        case Kind::Registry: return draw % 2 ? errIo : errFileNotFound;
        case Kind::SettingsPath: return errInvalidProperty;
        case Kind::Translator: return draw % 2 ? errSubscript : errGeneric;
        case Kind::HostPage:
        case Kind::ResultView: return draw % 2 ? errNoSuchMember : errInvalidProperty;
        case Kind::Utility: return errFileNotFound;
        case Kind::Factory: return errOutOfMemory;
        case Kind::EventHandler: return draw % 2 ? errGeneric : errTypeMismatch;
        case Kind::Presenter: return errNotSupported;
        case Kind::Shell: return errFileNotFound;
        case Kind::StandardsList:
        case Kind::Standard: return errSubscript;
        default: return draw % 2 ? errObjectRequired : errDeletedObject;
    }
}

// ---------------------------------------------------------------------------

class FaultyResult : public ITestResult {
public:
    FaultyResult(InjectorPtr inj, std::shared_ptr<ITestResult> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::string Comment() const override {
        return m_inj->call<std::string>(Kind::TestResult, "Comment", [&] { return m_real->Comment(); });
    }
    void setComment(const std::string& s) override {
        m_inj->act(Kind::TestResult, "Comment", [&] { m_real->setComment(s); });
    }
    std::int32_t Status() const override {
        return m_inj->call<std::int32_t>(Kind::TestResult, "Status", [&] { return m_real->Status(); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<ITestResult> m_real;
};

class FaultyElementInfo : public IElementInfo, public IElementView {
public:
    FaultyElementInfo(InjectorPtr inj, std::shared_ptr<IElementInfo> real)
        : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::string Caption() const override {
        return m_inj->call<std::string>(Kind::ElementInfo, "Caption", [&] { return m_real->Caption(); });
    }
    std::int16_t ProcFormat() const override {
        return m_inj->call<std::int16_t>(Kind::ElementInfo, "ProcFormat", [&] { return m_real->ProcFormat(); });
    }
    std::string ProcText() const override {
        return m_inj->call<std::string>(Kind::ElementInfo, "ProcText", [&] { return m_real->ProcText(); });
    }
    // The view is asked for like an interface query: a failing one is not
    // offered, or the query itself fails.
    const IElementView* elementView() const override {
        if (!m_real->elementView()) return nullptr;
        return m_inj->call<const IElementView*>(Kind::ElementView, "elementView", [&] { return this; });
    }
    std::string PrimaryText() const override {
        return m_inj->call<std::string>(Kind::ElementView, "PrimaryText",
                                        [&] { return m_real->elementView()->PrimaryText(); });
    }
    std::string SecondaryText() const override {
        return m_inj->call<std::string>(Kind::ElementView, "SecondaryText",
                                        [&] { return m_real->elementView()->SecondaryText(); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<IElementInfo> m_real;
};

class FaultyElement : public ITestElement {
public:
    FaultyElement(InjectorPtr inj, std::shared_ptr<ITestElement> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::shared_ptr<IElementInfo> ElementInfo() const override {
        return m_inj->call<std::shared_ptr<IElementInfo>>(Kind::TestElement, "ElementInfo",
                                                          [&] { return elementInfo(m_inj, m_real->ElementInfo()); });
    }
    std::shared_ptr<ITestResult> Result() const override {
        return m_inj->call<std::shared_ptr<ITestResult>>(Kind::TestElement, "Result",
                                                         [&] { return result(m_inj, m_real->Result()); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<ITestElement> m_real;
};

class FaultyStandard : public IStandard {
public:
    FaultyStandard(InjectorPtr inj, std::shared_ptr<IStandard> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::string GroupName() const override {
        return m_inj->call<std::string>(Kind::Standard, "GroupName", [&] { return m_real->GroupName(); });
    }
    std::string CompleteName() const override {
        return m_inj->call<std::string>(Kind::Standard, "CompleteName", [&] { return m_real->CompleteName(); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<IStandard> m_real;
};

class FaultyStandardsList : public IStandardsList {
public:
    FaultyStandardsList(InjectorPtr inj, std::shared_ptr<IStandardsList> real)
        : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::int32_t Count() const override {
        return m_inj->call<std::int32_t>(Kind::StandardsList, "Count", [&] { return m_real->Count(); });
    }
    // The enumeration may fail as a whole, and each entry it yields may be
    // nothing or a failing object.
    std::vector<std::shared_ptr<IStandard>> entries() const override {
        return m_inj->call<std::vector<std::shared_ptr<IStandard>>>(Kind::StandardsList, "entries", [&] {
            std::vector<std::shared_ptr<IStandard>> out;
            for (auto& e : m_real->entries())
                out.push_back(m_inj->call<std::shared_ptr<IStandard>>(
                    Kind::Standard, "entry", [&] { return std::make_shared<FaultyStandard>(m_inj, e); }));
            return out;
        });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<IStandardsList> m_real;
};

class FaultyDutInfo : public IDutInfo {
public:
    FaultyDutInfo(InjectorPtr inj, std::shared_ptr<IDutInfo> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::vector<std::pair<std::string, std::string>> items() const override {
        return m_inj->call<std::vector<std::pair<std::string, std::string>>>(Kind::DutInfo, "items",
                                                                             [&] { return m_real->items(); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<IDutInfo> m_real;
};

class FaultyWindowSettings : public IWindowSettings {
public:
    FaultyWindowSettings(InjectorPtr inj, std::shared_ptr<IWindowSettings> real)
        : m_inj(std::move(inj)), m_real(std::move(real)) {}
    void ApplySettings(Control& f) override {
        m_inj->act(Kind::WindowSettings, "ApplySettings", [&] { m_real->ApplySettings(f); });
    }
    void StoreSettings(Control& f) override {
        m_inj->act(Kind::WindowSettings, "StoreSettings", [&] { m_real->StoreSettings(f); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<IWindowSettings> m_real;
};

class FaultySetup : public ITestSetup, public ITestSetupView2 {
public:
    FaultySetup(InjectorPtr inj, std::shared_ptr<ITestSetup> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::shared_ptr<IDutInfo> DutInfo() const override {
        return m_inj->call<std::shared_ptr<IDutInfo>>(Kind::TestSetup, "DutInfo",
                                                      [&] { return dutInfo(m_inj, m_real->DutInfo()); });
    }
    std::shared_ptr<IStandardsList> Standards() const override {
        return m_inj->call<std::shared_ptr<IStandardsList>>(Kind::TestSetup, "Standards",
                                                            [&] { return standards(m_inj, m_real->Standards()); });
    }
    ITestSetupView2* secondView() override {
        if (!m_real->secondView()) return nullptr;
        return m_inj->call<ITestSetupView2*>(Kind::SetupView2, "secondView", [&] { return this; });
    }
    std::shared_ptr<IWindowSettings> WindowSettings() const override {
        return m_inj->call<std::shared_ptr<IWindowSettings>>(Kind::SetupView2, "WindowSettings", [&] {
            return windowSettings(m_inj, m_real->secondView()->WindowSettings());
        });
    }
    bool DutEditorFlag() const override {
        return m_inj->call<bool>(Kind::SetupView2, "DutEditorFlag", [&] { return m_real->secondView()->DutEditorFlag(); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<ITestSetup> m_real;
};

class FaultyTranslator : public ITranslator {
public:
    FaultyTranslator(InjectorPtr inj, std::shared_ptr<ITranslator> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::string Translate(const std::string& context, const std::string& literal, const VariantList& args) override {
        return m_inj->call<std::string>(Kind::Translator, "Translate",
                                        [&] { return m_real->Translate(context, literal, args); });
    }
    void TranslateControls(const std::string& context, Control& root) override {
        m_inj->act(Kind::Translator, "TranslateControls", [&] { m_real->TranslateControls(context, root); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<ITranslator> m_real;
};

class FaultyRegistry : public IRegistry {
public:
    FaultyRegistry(InjectorPtr inj, std::unique_ptr<IRegistry> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    void OpenKey(SettingsHive hive, const std::string& keyPath) override {
        m_inj->act(Kind::Registry, "OpenKey", [&] { m_real->OpenKey(hive, keyPath); });
    }
    Variant ReadValue(const std::string& name) override {
        return m_inj->call<Variant>(Kind::Registry, "ReadValue", [&] { return m_real->ReadValue(name); });
    }
    void WriteValue(const std::string& name, const Variant& value) override {
        m_inj->act(Kind::Registry, "WriteValue", [&] { m_real->WriteValue(name, value); });
    }

private:
    InjectorPtr m_inj;
    std::unique_ptr<IRegistry> m_real;
};

class FaultySettingsPath : public ISettingsPath {
public:
    FaultySettingsPath(InjectorPtr inj, std::shared_ptr<ISettingsPath> real)
        : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::string Path(std::int32_t code) override {
        return m_inj->call<std::string>(Kind::SettingsPath, "Path", [&] { return m_real->Path(code); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<ISettingsPath> m_real;
};

class FaultySection : public ISettingsSection {
public:
    FaultySection(InjectorPtr inj, std::shared_ptr<ISettingsSection> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    Variant Value(const std::string& name) override {
        return m_inj->call<Variant>(Kind::SettingsSection, "Value", [&] { return m_real->Value(name); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<ISettingsSection> m_real;
};

class FaultySettings : public ISettings {
public:
    FaultySettings(InjectorPtr inj, std::shared_ptr<ISettings> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::shared_ptr<ISettingsSection> Section() override {
        return m_inj->call<std::shared_ptr<ISettingsSection>>(Kind::Settings, "Section", [&] {
            auto s = m_real->Section();
            return s ? std::make_shared<FaultySection>(m_inj, std::move(s)) : nullptr;
        });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<ISettings> m_real;
};

class FaultyUtility : public IUtility {
public:
    FaultyUtility(InjectorPtr inj, std::shared_ptr<IUtility> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    bool FileExists(const std::string& path) override {
        return m_inj->call<bool>(Kind::Utility, "FileExists", [&] { return m_real->FileExists(path); });
    }
    void Exchange(std::int32_t& a, std::int32_t& b) override {
        m_inj->act(Kind::Utility, "Exchange", [&] { m_real->Exchange(a, b); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<IUtility> m_real;
};

class FaultyControl : public Object {
public:
    FaultyControl(InjectorPtr inj, Kind kind, ObjectPtr real) : m_inj(std::move(inj)), m_kind(kind), m_real(std::move(real)) {}
    Variant invoke(const std::string& member, VariantList& args) override {
        return m_inj->call<Variant>(m_kind, member.c_str(), [&] { return m_real->invoke(member, args); });
    }
    void setProperty(const std::string& member, const Variant& value) override {
        m_inj->act(m_kind, member.c_str(), [&] { m_real->setProperty(member, value); });
    }

private:
    InjectorPtr m_inj;
    Kind m_kind;
    ObjectPtr m_real;
};

class FaultyPresenter : public Presenter {
public:
    FaultyPresenter(InjectorPtr inj, std::shared_ptr<Presenter> real) : m_inj(std::move(inj)), m_real(std::move(real)) {}
    std::int32_t popupMenu(const std::vector<MenuEntry>& menu, std::int32_t x, std::int32_t y,
                           std::int32_t flags) override {
        return m_inj->call<std::int32_t>(Kind::Presenter, "popupMenu",
                                         [&] { return m_real->popupMenu(menu, x, y, flags); });
    }
    void runModal(Form& form) override {
        m_inj->act(Kind::Presenter, "runModal", [&] { m_real->runModal(form); });
    }
    std::int32_t messageBox(const std::string& prompt, std::int32_t style, const std::string& title) override {
        return m_inj->call<std::int32_t>(Kind::Presenter, "messageBox",
                                         [&] { return m_real->messageBox(prompt, style, title); });
    }

private:
    InjectorPtr m_inj;
    std::shared_ptr<Presenter> m_real;
};

template <class T, class Wrapper, class Real>
std::shared_ptr<T> wrap(InjectorPtr inj, std::shared_ptr<Real> real) {
    if (!real) return nullptr;
    return std::make_shared<Wrapper>(std::move(inj), std::move(real));
}

}  // namespace

const char* kindName(Kind k) { return kNames[static_cast<std::size_t>(k)]; }

Fault Injector::next(Kind k) {
    ++m_calls[idx(k)];
    if (m_rate <= 0) return Fault::None;
    std::uniform_real_distribution<double> u(0.0, 1.0);
    if (u(m_rng) >= m_rate) return Fault::None;
    // Half of the faults throw, half answer with nothing.
    if (m_rng() % 2) {
        ++m_thrown[idx(k)];
        return Fault::Throw;
    }
    ++m_nothing[idx(k)];
    return Fault::Nothing;
}

void Injector::raise(Kind k, const char* member) {
    throw Error(codeFor(k, m_rng()), std::string("injected fault: ") + kindName(k) + "." + member);
}

std::uint64_t Injector::totalFaults() const {
    return std::accumulate(m_thrown.begin(), m_thrown.end(), std::uint64_t{0}) +
           std::accumulate(m_nothing.begin(), m_nothing.end(), std::uint64_t{0});
}

void Injector::addCounts(const Injector& o) {
    for (std::size_t i = 0; i < kKinds; ++i) {
        m_calls[i] += o.m_calls[i];
        m_thrown[i] += o.m_thrown[i];
        m_nothing[i] += o.m_nothing[i];
    }
}

std::shared_ptr<ITestElement> element(InjectorPtr inj, std::shared_ptr<ITestElement> real) {
    return wrap<ITestElement, FaultyElement>(std::move(inj), std::move(real));
}
std::shared_ptr<IElementInfo> elementInfo(InjectorPtr inj, std::shared_ptr<IElementInfo> real) {
    return wrap<IElementInfo, FaultyElementInfo>(std::move(inj), std::move(real));
}
std::shared_ptr<ITestResult> result(InjectorPtr inj, std::shared_ptr<ITestResult> real) {
    return wrap<ITestResult, FaultyResult>(std::move(inj), std::move(real));
}
std::shared_ptr<ITestSetup> setup(InjectorPtr inj, std::shared_ptr<ITestSetup> real) {
    return wrap<ITestSetup, FaultySetup>(std::move(inj), std::move(real));
}
std::shared_ptr<IStandardsList> standards(InjectorPtr inj, std::shared_ptr<IStandardsList> real) {
    return wrap<IStandardsList, FaultyStandardsList>(std::move(inj), std::move(real));
}
std::shared_ptr<IDutInfo> dutInfo(InjectorPtr inj, std::shared_ptr<IDutInfo> real) {
    return wrap<IDutInfo, FaultyDutInfo>(std::move(inj), std::move(real));
}
std::shared_ptr<IWindowSettings> windowSettings(InjectorPtr inj, std::shared_ptr<IWindowSettings> real) {
    return wrap<IWindowSettings, FaultyWindowSettings>(std::move(inj), std::move(real));
}
std::shared_ptr<ITranslator> translator(InjectorPtr inj, std::shared_ptr<ITranslator> real) {
    return wrap<ITranslator, FaultyTranslator>(std::move(inj), std::move(real));
}
std::unique_ptr<IRegistry> registry(InjectorPtr inj, std::unique_ptr<IRegistry> real) {
    if (!real) return nullptr;
    return std::make_unique<FaultyRegistry>(std::move(inj), std::move(real));
}
std::shared_ptr<ISettingsPath> settingsPath(InjectorPtr inj, std::shared_ptr<ISettingsPath> real) {
    return wrap<ISettingsPath, FaultySettingsPath>(std::move(inj), std::move(real));
}
std::shared_ptr<ISettings> settings(InjectorPtr inj, std::shared_ptr<ISettings> real) {
    return wrap<ISettings, FaultySettings>(std::move(inj), std::move(real));
}
std::shared_ptr<IUtility> utility(InjectorPtr inj, std::shared_ptr<IUtility> real) {
    return wrap<IUtility, FaultyUtility>(std::move(inj), std::move(real));
}

ObjectPtr control(InjectorPtr inj, Kind kind, ObjectPtr real) {
    if (!real) return nullptr;
    return std::make_shared<FaultyControl>(std::move(inj), kind, std::move(real));
}

std::shared_ptr<Presenter> presenter(InjectorPtr inj, std::shared_ptr<Presenter> real) {
    return wrap<Presenter, FaultyPresenter>(std::move(inj), std::move(real));
}

ShellOpen::Opener shellOpener(InjectorPtr inj, ShellOpen::Opener real) {
    return [inj = std::move(inj), real = std::move(real)](const std::string& target) {
        return inj->call<bool>(Kind::Shell, "open", [&] { return real(target); });
    };
}

void installServices(InjectorPtr inj, std::shared_ptr<ITranslator> tr, std::shared_ptr<ISettings> st) {
    // The factories hold the injector weakly: the library keeps them until
    // they are replaced, and the run that owns the injector may end first.
    std::weak_ptr<Injector> weak = inj;
    auto made = [weak](const char* what, auto make) -> decltype(make(std::declval<InjectorPtr>())) {
        InjectorPtr i = weak.lock();
        if (!i) return nullptr;
        switch (i->next(Kind::Factory)) {
            case Fault::Throw: i->raise(Kind::Factory, what);
            case Fault::Nothing: return nullptr;
            case Fault::None: break;
        }
        return make(i);
    };
    HostServices::setTranslatorFactory([made, tr] {
        return made("Translator", [&](InjectorPtr i) { return translator(i, tr); });
    });
    HostServices::setRegistryFactory([made] {
        return made("Registry", [](InjectorPtr i) { return registry(i, std::make_unique<StoreRegistry>()); });
    });
    HostServices::setSettingsPathFactory([made] {
        return made("SettingsPath", [](InjectorPtr i) { return settingsPath(i, std::make_shared<FixedSettingsPath>()); });
    });
    HostServices::setSettingsFactory([made, st] {
        return made("Settings", [&](InjectorPtr i) { return settings(i, st); });
    });
    HostServices::setUtilityFactory([made] {
        return made("Utility", [](InjectorPtr i) { return utility(i, std::make_shared<DefaultUtility>()); });
    });
}

void uninstallServices() { HostServices::reset(); }

}  // namespace tavixTGCL2::faults
