#pragma once
// The container's property store: design-time properties of the controls,
// read when a control is sited and written when the host saves its form.
#include <tavixTGCL2/Export.h>
#include <map>
#include <optional>
#include <string>

#include <tavixTGCL2/platform/Variant.h>

namespace tavixTGCL2 {

class TGCL_API PropertyBag {
public:
    // The default is returned when the key was never written (keys match
    // case-insensitively, as the host platform's bags do).
    Variant ReadProperty(const std::string& name, const Variant& defaultValue = {}) const;
    // A value equal to its default is not stored, so a bag holds only what
    // differs from the design defaults. Object values cannot be persisted
    // and throw Error(errTypeMismatch); an empty or multi-line key throws.
    void WriteProperty(const std::string& name, const Variant& value,
                       const Variant& defaultValue = {});
    bool contains(const std::string& name) const;
    std::size_t size() const { return m_values.size(); }
    void clear() { m_values.clear(); }

    // Text form, one "Key = TYPE value" line per property, so a host can
    // keep its forms in files. parse() throws Error naming the bad line;
    // tryParse() reports the same error as text and leaves out nothing that
    // was readable before it.
    std::string toText() const;
    static PropertyBag parse(const std::string& text);
    static std::optional<PropertyBag> tryParse(const std::string& text, std::string* error = nullptr);

private:
    struct Less {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, Variant, Less> m_values;
};

}  // namespace tavixTGCL2
