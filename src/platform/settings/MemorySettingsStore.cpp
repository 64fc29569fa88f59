#include "platform/MemorySettingsStore.h"

namespace tavixTGCL2 {

void MemorySettingsStore::visit(SettingsHive hive, const Reader& reader) const {
    std::lock_guard lock(m_mutex);
    auto it = m_hives.find(hive);
    if (it == m_hives.end()) {
        const SettingsKey empty;
        reader(empty);
        return;
    }
    reader(it->second);
}

void MemorySettingsStore::change(SettingsHive hive, const Changer& changer) {
    std::lock_guard lock(m_mutex);
    changer(m_hives[hive]);
}

}  // namespace tavixTGCL2
