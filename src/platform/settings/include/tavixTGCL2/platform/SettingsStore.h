#pragma once
// The machine settings store: values held under (hive, key path, value name),
// the way the registry object of the host kit sees them. Stores differ only in
// where a hive lives (memory, a file per hive); what a key path means, how
// names compare and what each operation does is decided here, once.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavixTGCL2 {

using SettingsHive = std::uint32_t;

// The numbers hosts pass for the predefined hives. Only these name a hive;
// any other number is refused by writes and reads as an empty hive.
inline constexpr SettingsHive HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr SettingsHive HKEY_CURRENT_USER = 0x80000001u;
inline constexpr SettingsHive HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr SettingsHive HKEY_USERS = 0x80000003u;
inline constexpr SettingsHive HKEY_CURRENT_CONFIG = 0x80000005u;

using SettingsValue = std::variant<std::string, std::int32_t>;

// ASCII-only case folding: key and value names match regardless of ASCII
// case, while bytes above 0x7F (UTF-8 text) compare exactly, so the match
// never depends on a locale.
TGCL_API std::string foldSettingsName(std::string_view name);

struct TGCL_API SettingsNamedValue {
    std::string name;  // as first written
    SettingsValue value;
};

// One key of a hive: its values and subkeys, each filed under its folded name
// and remembering the name it was first written with. The root key of a hive
// has an empty name.
class TGCL_API SettingsKey {
public:
    using ValueMap = std::map<std::string, SettingsNamedValue, std::less<>>;
    using SubkeyMap = std::map<std::string, std::unique_ptr<SettingsKey>, std::less<>>;

    explicit SettingsKey(std::string name = {}) : m_name(std::move(name)) {}
    SettingsKey(SettingsKey&&) = default;
    SettingsKey& operator=(SettingsKey&&) = default;

    const std::string& name() const { return m_name; }

    const SettingsValue* value(std::string_view name) const;
    // Returns whether the stored value changed. The first spelling of the
    // name is kept when a later write spells it differently.
    bool setValue(std::string_view name, SettingsValue value);
    bool removeValue(std::string_view name);
    const ValueMap& values() const { return m_values; }

    const SettingsKey* subkey(std::string_view name) const;
    SettingsKey& subkeyOrCreate(std::string_view name, bool* created = nullptr);
    bool removeSubkey(std::string_view name);
    const SubkeyMap& subkeys() const { return m_subkeys; }

    // Paths are the segments of a normalised key path; an empty path is this key.
    const SettingsKey* find(const std::vector<std::string>& path) const;
    SettingsKey* find(const std::vector<std::string>& path);
    SettingsKey& findOrCreate(const std::vector<std::string>& path, bool* created = nullptr);

    bool empty() const { return m_values.empty() && m_subkeys.empty(); }

    // Deep comparison, names compared exactly (case included).
    friend bool operator==(const SettingsKey& a, const SettingsKey& b);

private:
    std::string m_name;
    ValueMap m_values;
    SubkeyMap m_subkeys;
};

class TGCL_API SettingsStore {
public:
    SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;
    virtual ~SettingsStore() = default;

    // Reads never throw for a damaged or missing store: what cannot be read
    // is simply not there.
    std::optional<SettingsValue> read(SettingsHive hive, std::string_view key,
                                      std::string_view name) const;
    bool keyExists(SettingsHive hive, std::string_view key) const;
    std::vector<std::string> valueNames(SettingsHive hive, std::string_view key) const;
    std::vector<std::string> subkeyNames(SettingsHive hive, std::string_view key) const;

    // Writes create the key and its parents as needed and throw Error when the
    // hive is unknown or the store cannot keep the change.
    void write(SettingsHive hive, std::string_view key, std::string_view name,
               SettingsValue value);
    void createKey(SettingsHive hive, std::string_view key);
    // Removing what is not there is not an error.
    void deleteValue(SettingsHive hive, std::string_view key, std::string_view name);
    // Removes the key with all its subkeys. A hive itself cannot be removed.
    void deleteKey(SettingsHive hive, std::string_view key);

    static bool isKnownHive(SettingsHive hive);
    // "HKEY_LOCAL_MACHINE" and so on; empty for a number that names no hive.
    static std::string_view hiveName(SettingsHive hive);
    // Leading, trailing and doubled backslashes carry no meaning, so
    // "\Software\\Brenn\" is the path {"Software", "Brenn"}.
    static std::vector<std::string> splitKeyPath(std::string_view key);
    static std::string normaliseKeyPath(std::string_view key);

protected:
    using Reader = std::function<void(const SettingsKey& root)>;
    // Returns whether it changed the hive; an unchanged hive is not stored again.
    using Changer = std::function<bool(SettingsKey& root)>;

    // Calls reader with the hive's current content (an empty root when the
    // hive holds nothing or cannot be read). Must not throw for I/O trouble.
    virtual void visit(SettingsHive hive, const Reader& reader) const = 0;
    // Calls changer with the hive's current content, excluding every other
    // change of the same hive until the change is kept; throws Error when it
    // cannot be kept.
    virtual void change(SettingsHive hive, const Changer& changer) = 0;
};

// The store the library's registry object uses. Until a host sets one, it is
// a FileSettingsStore in the default folder, made on first use. The reference
// stays valid until the next setDefaultSettingsStore.
TGCL_API SettingsStore& defaultSettingsStore();
TGCL_API std::shared_ptr<SettingsStore> sharedDefaultSettingsStore();
// nullptr goes back to the lazily made file store in the default folder.
TGCL_API void setDefaultSettingsStore(std::shared_ptr<SettingsStore> store);

}  // namespace tavixTGCL2
