#pragma once
// The settings store on disk: one text file per hive in one folder.
//
// Every change replaces the hive's file as a whole (temporary file in the same
// folder, fsync, rename, fsync of the folder), so a reader sees the old or the
// new file and never a half-written one. Changes take an advisory lock on a
// lock file beside the hive's file and re-read the file under it, so writers
// in several processes never undo each other's values. A file that is damaged
// or cannot be read counts as an empty hive; the next change keeps it aside
// under a new name before replacing it. The format is described in
// docs/settings-store.md.
#include <tavixTGCL2/Export.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include <tavixTGCL2/platform/SettingsStore.h>

namespace tavixTGCL2 {

class TGCL_API FileSettingsStore : public SettingsStore {
public:
    // Uses defaultFolder().
    FileSettingsStore();
    // The folder is created (with its parents) on the first change, not here,
    // so that merely reading never leaves anything on disk.
    explicit FileSettingsStore(std::filesystem::path folder);

    // $XDG_CONFIG_HOME/tavixTGCL2 when that variable holds an absolute path,
    // else ~/.config/tavixTGCL2 (home from $HOME, else the user database).
    // Empty when no home can be found; such a store reads empty and refuses
    // changes.
    static std::filesystem::path defaultFolder();

    const std::filesystem::path& folder() const { return m_folder; }
    // "<folder>/HKEY_LOCAL_MACHINE.settings" and so on; empty for an unknown hive.
    std::filesystem::path hiveFile(SettingsHive hive) const;

    // The file form of a hive. parseHive refuses (nullopt) anything that is not
    // exactly what formatHive writes for that hive: a wrong header or version,
    // a missing or wrong trailer, a bad line or escape.
    static std::string formatHive(SettingsHive hive, const SettingsKey& root);
    static std::optional<SettingsKey> parseHive(SettingsHive hive, std::string_view text);

protected:
    void visit(SettingsHive hive, const Reader& reader) const override;
    void change(SettingsHive hive, const Changer& changer) override;

private:
    // The last file content seen and what it parsed to, so that repeated reads
    // of an unchanged file cost a read and a compare rather than a parse.
    struct Cached {
        bool valid = false;
        std::string text;
        SettingsKey root;
    };

    std::filesystem::path m_folder;
    mutable std::mutex m_mutex;
    mutable std::map<SettingsHive, Cached> m_cache;
};

}  // namespace tavixTGCL2
