#pragma once
// The embedded host kit: working host components a host can use as they are,
// and that the tests and the demo use. A host with objects of its own
// installs them through HostServices instead.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <tavixTGCL2/frame/HostComponents.h>

namespace tavixTGCL2 {

// Text catalogues: "<number> = <text>" lines (see catalogue_en.txt for the
// format). The built-in English catalogue is always loaded first; catalogues
// added later override it number by number.
class TGCL_API TextCatalogue {
public:
    // Throws Error naming the line of the first malformed entry.
    static TextCatalogue parse(const std::string& text);
    static TextCatalogue builtInEnglish();
    // Throws Error(errFileNotFound) when the file cannot be read.
    static TextCatalogue load(const std::string& path);

    std::optional<std::string> text(std::int32_t number) const;
    void merge(const TextCatalogue& other);
    std::size_t size() const { return m_texts.size(); }

private:
    std::map<std::int32_t, std::string> m_texts;
};

// Fills "%%1" ... "%%9" from args (1-based); a placeholder without a value
// stays as it is, so a missing argument is visible rather than silently lost.
TGCL_API std::string fillPlaceholders(const std::string& text, const VariantList& args);

class TGCL_API CatalogueTranslator : public ITranslator {
public:
    CatalogueTranslator();
    void addCatalogue(const TextCatalogue& c) { m_catalogue.merge(c); }
    // The catalogue's text for the literal's number, placeholders filled;
    // "" for a literal without a number or a number the catalogue lacks.
    std::string Translate(const std::string& context, const std::string& literal,
                          const VariantList& args) override;
    // Captions, tooltips and tab captions of every control under root: a
    // numbered literal becomes its text (its default text when the number is
    // unknown); plain text stays as it is.
    void TranslateControls(const std::string& context, Control& root) override;

private:
    TextCatalogue m_catalogue;
};

// The registry object over the library's settings store.
class TGCL_API StoreRegistry : public IRegistry {
public:
    // nullptr uses the process-wide default store.
    explicit StoreRegistry(std::shared_ptr<SettingsStore> store = nullptr);
    void OpenKey(SettingsHive hive, const std::string& keyPath) override;
    Variant ReadValue(const std::string& name) override;
    // Booleans and integers within 32 bits are stored as integers, anything
    // else as its text. Writing before OpenKey throws.
    void WriteValue(const std::string& name, const Variant& value) override;

private:
    SettingsStore& store();
    std::shared_ptr<SettingsStore> m_store;
    SettingsHive m_hive = 0;
    std::string m_key;
    bool m_open = false;
};

// Code 1004 (the only code the library uses) gives
// "Software\Brenn\tavix\Executive\Settings"; a host may map others.
class TGCL_API FixedSettingsPath : public ISettingsPath {
public:
    FixedSettingsPath();
    void setPath(std::int32_t code, std::string path) { m_paths[code] = std::move(path); }
    // Throws Error(errInvalidProperty) for an unknown code.
    std::string Path(std::int32_t code) override;

private:
    std::map<std::int32_t, std::string> m_paths;
};

class TGCL_API SimpleSettingsSection : public ISettingsSection {
public:
    Variant Value(const std::string& name) override;
    void setValue(const std::string& name, Variant v) { m_values[name] = std::move(v); }

private:
    std::map<std::string, Variant> m_values;
};

// Holds one section of named values; "ProcCSS" is the only name the library
// reads (the style sheet for template pages).
class TGCL_API SimpleSettings : public ISettings {
public:
    SimpleSettings() : m_section(std::make_shared<SimpleSettingsSection>()) {}
    std::shared_ptr<ISettingsSection> Section() override { return m_section; }
    void setValue(const std::string& name, Variant v) { m_section->setValue(name, std::move(v)); }

private:
    std::shared_ptr<SimpleSettingsSection> m_section;
};

class TGCL_API DefaultUtility : public IUtility {
public:
    // True for an existing file (a folder is not a file); a "file://" URL is
    // accepted as well. Never throws.
    bool FileExists(const std::string& path) override;
    void Exchange(std::int32_t& a, std::int32_t& b) override;
};

// --- simple host objects for tests and the demo --------------------------

class TGCL_API SimpleTestResult : public ITestResult {
public:
    explicit SimpleTestResult(std::int32_t status = 0, std::string comment = {})
        : m_status(status), m_comment(std::move(comment)) {}
    std::string Comment() const override { return m_comment; }
    void setComment(const std::string& s) override { m_comment = s; }
    std::int32_t Status() const override { return m_status; }
    void setStatus(std::int32_t s) { m_status = s; }

private:
    std::int32_t m_status;
    std::string m_comment;
};

class TGCL_API SimpleElementInfo : public IElementInfo, public IElementView {
public:
    SimpleElementInfo(std::string caption, std::int16_t format, std::string text)
        : m_caption(std::move(caption)), m_format(format), m_text(std::move(text)) {}
    std::string Caption() const override { return m_caption; }
    std::int16_t ProcFormat() const override { return m_format; }
    std::string ProcText() const override { return m_text; }
    // The alternative view is offered once a primary or secondary text is set.
    const IElementView* elementView() const override { return m_hasView ? this : nullptr; }
    std::string PrimaryText() const override { return m_primary; }
    std::string SecondaryText() const override { return m_secondary; }
    void setView(std::string primary, std::string secondary) {
        m_primary = std::move(primary);
        m_secondary = std::move(secondary);
        m_hasView = true;
    }

private:
    std::string m_caption;
    std::int16_t m_format;
    std::string m_text;
    std::string m_primary, m_secondary;
    bool m_hasView = false;
};

class TGCL_API SimpleTestElement : public ITestElement {
public:
    SimpleTestElement(std::shared_ptr<IElementInfo> info, std::shared_ptr<ITestResult> result)
        : m_info(std::move(info)), m_result(std::move(result)) {}
    std::shared_ptr<IElementInfo> ElementInfo() const override { return m_info; }
    std::shared_ptr<ITestResult> Result() const override { return m_result; }

private:
    std::shared_ptr<IElementInfo> m_info;
    std::shared_ptr<ITestResult> m_result;
};

class TGCL_API SimpleStandard : public IStandard {
public:
    SimpleStandard(std::string group, std::string complete)
        : m_group(std::move(group)), m_complete(std::move(complete)) {}
    std::string GroupName() const override { return m_group; }
    std::string CompleteName() const override { return m_complete; }

private:
    std::string m_group, m_complete;
};

class TGCL_API SimpleStandardsList : public IStandardsList {
public:
    SimpleStandardsList() = default;
    explicit SimpleStandardsList(std::vector<std::pair<std::string, std::string>> groupAndComplete);
    void add(std::string group, std::string complete);
    std::int32_t Count() const override { return static_cast<std::int32_t>(m_items.size()); }
    std::vector<std::shared_ptr<IStandard>> entries() const override { return m_items; }

private:
    std::vector<std::shared_ptr<IStandard>> m_items;
};

// Keeps a form's position and size per form name, in memory or, when given
// a registry key, in the settings store.
class TGCL_API SimpleWindowSettings : public IWindowSettings {
public:
    SimpleWindowSettings() = default;
    explicit SimpleWindowSettings(std::string registryKey) : m_key(std::move(registryKey)) {}
    void ApplySettings(Control& hostForm) override;
    void StoreSettings(Control& hostForm) override;

private:
    struct Rect {
        std::int32_t l, t, w, h;
    };
    std::string m_key;
    std::map<std::string, Rect> m_rects;
};

class TGCL_API SimpleDutInfo : public IDutInfo {
public:
    SimpleDutInfo() = default;
    explicit SimpleDutInfo(std::vector<std::pair<std::string, std::string>> items)
        : m_items(std::move(items)) {}
    std::vector<std::pair<std::string, std::string>> items() const override { return m_items; }
    void add(std::string name, std::string value) { m_items.emplace_back(std::move(name), std::move(value)); }

private:
    std::vector<std::pair<std::string, std::string>> m_items;
};

class TGCL_API SimpleTestSetup : public ITestSetup, public ITestSetupView2 {
public:
    SimpleTestSetup(std::shared_ptr<IDutInfo> dut, std::shared_ptr<IStandardsList> standards)
        : m_dut(std::move(dut)), m_standards(std::move(standards)) {}
    std::shared_ptr<IDutInfo> DutInfo() const override { return m_dut; }
    std::shared_ptr<IStandardsList> Standards() const override { return m_standards; }
    // The second view is offered once window settings or the flag are set.
    ITestSetupView2* secondView() override { return m_hasView ? this : nullptr; }
    std::shared_ptr<IWindowSettings> WindowSettings() const override { return m_window; }
    bool DutEditorFlag() const override { return m_flag; }
    void setSecondView(std::shared_ptr<IWindowSettings> ws, bool dutFlag) {
        m_window = std::move(ws);
        m_flag = dutFlag;
        m_hasView = true;
    }

private:
    std::shared_ptr<IDutInfo> m_dut;
    std::shared_ptr<IStandardsList> m_standards;
    std::shared_ptr<IWindowSettings> m_window;
    bool m_flag = false;
    bool m_hasView = false;
};

}  // namespace tavixTGCL2
