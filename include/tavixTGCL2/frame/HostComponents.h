#pragma once
// What the library asks of the host's objects. None of them belongs to the
// library: the host supplies them (or uses the embedded host kit). Each may
// fail by throwing our Error; the callers contain it as their own rules say.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <tavixTGCL2/platform/SettingsStore.h>  // hive numbers
#include <tavixTGCL2/platform/Variant.h>

namespace tavixTGCL2 {

class Control;

class TGCL_API ITestResult {
public:
    virtual ~ITestResult() = default;
    virtual std::string Comment() const = 0;
    virtual void setComment(const std::string& s) = 0;
    // 0 no verdict, 1 passed, 2 failed, 3 not applicable.
    virtual std::int32_t Status() const = 0;
};

// The alternative view of an element, used for the caption when the
// caption text is empty.
class TGCL_API IElementView {
public:
    virtual ~IElementView() = default;
    virtual std::string PrimaryText() const = 0;
    virtual std::string SecondaryText() const = 0;
};

class TGCL_API IElementInfo {
public:
    virtual ~IElementInfo() = default;
    virtual std::string Caption() const = 0;
    virtual std::int16_t ProcFormat() const = 0;
    virtual std::string ProcText() const = 0;
    // nullptr when the object does not offer the alternative view.
    virtual const IElementView* elementView() const { return nullptr; }
};

class TGCL_API ITestElement {
public:
    virtual ~ITestElement() = default;
    virtual std::shared_ptr<IElementInfo> ElementInfo() const = 0;
    virtual std::shared_ptr<ITestResult> Result() const = 0;
};

class TGCL_API IStandard {
public:
    virtual ~IStandard() = default;
    virtual std::string GroupName() const = 0;
    virtual std::string CompleteName() const = 0;
};

class TGCL_API IStandardsList {
public:
    virtual ~IStandardsList() = default;
    virtual std::int32_t Count() const = 0;
    // Entries in list order.
    virtual std::vector<std::shared_ptr<IStandard>> entries() const = 0;
};

class TGCL_API IWindowSettings {
public:
    virtual ~IWindowSettings() = default;
    virtual void ApplySettings(Control& hostForm) = 0;
    virtual void StoreSettings(Control& hostForm) = 0;
};

// Describes the device under test: named items with values.
class TGCL_API IDutInfo {
public:
    virtual ~IDutInfo() = default;
    virtual std::vector<std::pair<std::string, std::string>> items() const = 0;
};

// The second view of a test setup.
class TGCL_API ITestSetupView2 {
public:
    virtual ~ITestSetupView2() = default;
    virtual std::shared_ptr<IWindowSettings> WindowSettings() const = 0;
    // Handed to the DUT information editor.
    virtual bool DutEditorFlag() const = 0;
};

class TGCL_API ITestSetup {
public:
    virtual ~ITestSetup() = default;
    virtual std::shared_ptr<IDutInfo> DutInfo() const = 0;
    virtual std::shared_ptr<IStandardsList> Standards() const = 0;
    // nullptr when the setup does not offer the second view.
    virtual ITestSetupView2* secondView() { return nullptr; }
};

class TGCL_API ITranslator {
public:
    virtual ~ITranslator() = default;
    // The text for a localisable literal with its placeholder values filled
    // in; an empty string when the translator has none.
    virtual std::string Translate(const std::string& context, const std::string& literal,
                                  const VariantList& args) = 0;
    // Replaces every caption (and tooltip) of the control and its children
    // in place.
    virtual void TranslateControls(const std::string& context, Control& root) = 0;
};

// One instance per use: open a key, then read or write its values.
class TGCL_API IRegistry {
public:
    virtual ~IRegistry() = default;
    virtual void OpenKey(SettingsHive hive, const std::string& keyPath) = 0;
    // Empty when the value is missing.
    virtual Variant ReadValue(const std::string& name) = 0;
    // Strings are written as strings, integers as 32-bit integers.
    virtual void WriteValue(const std::string& name, const Variant& value) = 0;
};

class TGCL_API ISettingsPath {
public:
    virtual ~ISettingsPath() = default;
    virtual std::string Path(std::int32_t code) = 0;
};

class TGCL_API ISettingsSection {
public:
    virtual ~ISettingsSection() = default;
    virtual Variant Value(const std::string& name) = 0;
};

class TGCL_API ISettings {
public:
    virtual ~ISettings() = default;
    virtual std::shared_ptr<ISettingsSection> Section() = 0;
};

class TGCL_API IUtility {
public:
    virtual ~IUtility() = default;
    virtual bool FileExists(const std::string& path) = 0;
    virtual void Exchange(std::int32_t& a, std::int32_t& b) = 0;
};

}  // namespace tavixTGCL2
