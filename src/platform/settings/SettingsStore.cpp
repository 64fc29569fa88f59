#include "platform/SettingsStore.h"

#include <cstdio>
#include <mutex>
#include <utility>

#include "platform/Error.h"
#include "platform/FileSettingsStore.h"
#include "platform/InstalledServices.h"

namespace tavixTGCL2 {

std::string foldSettingsName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

// --- SettingsKey -------------------------------------------------------------

const SettingsValue* SettingsKey::value(std::string_view name) const {
    auto it = m_values.find(foldSettingsName(name));
    return it == m_values.end() ? nullptr : &it->second.value;
}

bool SettingsKey::setValue(std::string_view name, SettingsValue value) {
    auto [it, inserted] = m_values.try_emplace(foldSettingsName(name));
    if (inserted) {
        it->second = SettingsNamedValue{std::string(name), std::move(value)};
        return true;
    }
    if (it->second.value == value) return false;
    it->second.value = std::move(value);
    return true;
}

bool SettingsKey::removeValue(std::string_view name) {
    return m_values.erase(foldSettingsName(name)) > 0;
}

const SettingsKey* SettingsKey::subkey(std::string_view name) const {
    auto it = m_subkeys.find(foldSettingsName(name));
    return it == m_subkeys.end() ? nullptr : it->second.get();
}

SettingsKey& SettingsKey::subkeyOrCreate(std::string_view name, bool* created) {
    auto [it, inserted] = m_subkeys.try_emplace(foldSettingsName(name));
    if (inserted) it->second = std::make_unique<SettingsKey>(std::string(name));
    if (created && inserted) *created = true;
    return *it->second;
}

bool SettingsKey::removeSubkey(std::string_view name) {
    return m_subkeys.erase(foldSettingsName(name)) > 0;
}

const SettingsKey* SettingsKey::find(const std::vector<std::string>& path) const {
    const SettingsKey* key = this;
    for (const std::string& segment : path) {
        key = key->subkey(segment);
        if (!key) return nullptr;
    }
    return key;
}

SettingsKey* SettingsKey::find(const std::vector<std::string>& path) {
    return const_cast<SettingsKey*>(std::as_const(*this).find(path));
}

SettingsKey& SettingsKey::findOrCreate(const std::vector<std::string>& path, bool* created) {
    SettingsKey* key = this;
    for (const std::string& segment : path) key = &key->subkeyOrCreate(segment, created);
    return *key;
}

bool operator==(const SettingsKey& a, const SettingsKey& b) {
    if (a.m_name != b.m_name || a.m_values.size() != b.m_values.size() ||
        a.m_subkeys.size() != b.m_subkeys.size())
        return false;
    for (auto ia = a.m_values.begin(), ib = b.m_values.begin(); ia != a.m_values.end(); ++ia, ++ib) {
        if (ia->first != ib->first || ia->second.name != ib->second.name ||
            ia->second.value != ib->second.value)
            return false;
    }
    for (auto ia = a.m_subkeys.begin(), ib = b.m_subkeys.begin(); ia != a.m_subkeys.end();
         ++ia, ++ib) {
        if (ia->first != ib->first || !(*ia->second == *ib->second)) return false;
    }
    return true;
}

// --- SettingsStore -----------------------------------------------------------

namespace {

[[noreturn]] void throwUnknownHive(SettingsHive hive) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hive));
    throw Error(errGeneric, std::string("settings hive ") + text + " is not a known hive");
}

}  // namespace

bool SettingsStore::isKnownHive(SettingsHive hive) { return !hiveName(hive).empty(); }

std::string_view SettingsStore::hiveName(SettingsHive hive) {
    switch (hive) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    case HKEY_CURRENT_CONFIG: return "HKEY_CURRENT_CONFIG";
    default: return {};
    }
}

std::vector<std::string> SettingsStore::splitKeyPath(std::string_view key) {
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= key.size()) {
        std::size_t end = key.find('\\', start);
        if (end == std::string_view::npos) end = key.size();
        if (end > start) segments.emplace_back(key.substr(start, end - start));
        start = end + 1;
    }
    return segments;
}

std::string SettingsStore::normaliseKeyPath(std::string_view key) {
    std::string joined;
    for (const std::string& segment : splitKeyPath(key)) {
        if (!joined.empty()) joined += '\\';
        joined += segment;
    }
    return joined;
}

std::optional<SettingsValue> SettingsStore::read(SettingsHive hive, std::string_view key,
                                                 std::string_view name) const {
    std::optional<SettingsValue> result;
    if (!isKnownHive(hive)) return result;
    const auto path = splitKeyPath(key);
    visit(hive, [&](const SettingsKey& root) {
        if (const SettingsKey* k = root.find(path)) {
            if (const SettingsValue* v = k->value(name)) result = *v;
        }
    });
    return result;
}

bool SettingsStore::keyExists(SettingsHive hive, std::string_view key) const {
    bool exists = false;
    if (!isKnownHive(hive)) return exists;
    const auto path = splitKeyPath(key);
    visit(hive, [&](const SettingsKey& root) { exists = root.find(path) != nullptr; });
    return exists;
}

std::vector<std::string> SettingsStore::valueNames(SettingsHive hive, std::string_view key) const {
    std::vector<std::string> names;
    if (!isKnownHive(hive)) return names;
    const auto path = splitKeyPath(key);
    visit(hive, [&](const SettingsKey& root) {
        if (const SettingsKey* k = root.find(path)) {
            for (const auto& entry : k->values()) names.push_back(entry.second.name);
        }
    });
    return names;
}

std::vector<std::string> SettingsStore::subkeyNames(SettingsHive hive, std::string_view key) const {
    std::vector<std::string> names;
    if (!isKnownHive(hive)) return names;
    const auto path = splitKeyPath(key);
    visit(hive, [&](const SettingsKey& root) {
        if (const SettingsKey* k = root.find(path)) {
            for (const auto& entry : k->subkeys()) names.push_back(entry.second->name());
        }
    });
    return names;
}

void SettingsStore::write(SettingsHive hive, std::string_view key, std::string_view name,
                          SettingsValue value) {
    if (!isKnownHive(hive)) throwUnknownHive(hive);
    const auto path = splitKeyPath(key);
    change(hive, [&](SettingsKey& root) {
        bool created = false;
        SettingsKey& k = root.findOrCreate(path, &created);
        return k.setValue(name, value) || created;
    });
}

void SettingsStore::createKey(SettingsHive hive, std::string_view key) {
    if (!isKnownHive(hive)) throwUnknownHive(hive);
    const auto path = splitKeyPath(key);
    change(hive, [&](SettingsKey& root) {
        bool created = false;
        root.findOrCreate(path, &created);
        return created;
    });
}

void SettingsStore::deleteValue(SettingsHive hive, std::string_view key, std::string_view name) {
    if (!isKnownHive(hive)) throwUnknownHive(hive);
    const auto path = splitKeyPath(key);
    change(hive, [&](SettingsKey& root) {
        SettingsKey* k = root.find(path);
        return k && k->removeValue(name);
    });
}

void SettingsStore::deleteKey(SettingsHive hive, std::string_view key) {
    if (!isKnownHive(hive)) throwUnknownHive(hive);
    auto path = splitKeyPath(key);
    if (path.empty())
        throw Error(errGeneric, "a settings hive cannot be deleted, only the keys below it");
    const std::string last = path.back();
    path.pop_back();
    change(hive, [&](SettingsKey& root) {
        SettingsKey* parent = root.find(path);
        return parent && parent->removeSubkey(last);
    });
}

// --- The process-wide store --------------------------------------------------

namespace {

std::mutex& defaultStoreMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<SettingsStore>& defaultStoreSlot() {
    static std::shared_ptr<SettingsStore> store;
    return store;
}

}  // namespace

std::shared_ptr<SettingsStore> sharedDefaultSettingsStore() {
    std::lock_guard lock(defaultStoreMutex());
    auto& slot = defaultStoreSlot();
    if (!slot) slot = std::make_shared<FileSettingsStore>();
    return slot;
}

std::shared_ptr<SettingsStore> installedDefaultSettingsStore() {
    std::lock_guard lock(defaultStoreMutex());
    return defaultStoreSlot();
}

SettingsStore& defaultSettingsStore() { return *sharedDefaultSettingsStore(); }

void setDefaultSettingsStore(std::shared_ptr<SettingsStore> store) {
    std::lock_guard lock(defaultStoreMutex());
    defaultStoreSlot() = std::move(store);
}

}  // namespace tavixTGCL2
