#pragma once
// A settings store that lives only as long as the object: for tests and for
// hosts that must not leave anything behind on disk.
#include <tavixTGCL2/Export.h>
#include <map>
#include <mutex>

#include <tavixTGCL2/platform/SettingsStore.h>

namespace tavixTGCL2 {

class TGCL_API MemorySettingsStore : public SettingsStore {
public:
    MemorySettingsStore() = default;

protected:
    void visit(SettingsHive hive, const Reader& reader) const override;
    void change(SettingsHive hive, const Changer& changer) override;

private:
    mutable std::mutex m_mutex;
    std::map<SettingsHive, SettingsKey> m_hives;
};

}  // namespace tavixTGCL2
