// Hive files of the settings store as they may be found on disk: written by
// another version, edited by hand, cut short or garbled.
//
// Most garbled files fail the checksum at once, so the first byte chooses
// whether the rest is taken as it is or as a file body that gets a correct
// trailer; the latter lets the fuzzer reach every line rule. Some inputs are
// also put on disk and read and changed through a store, in a scratch folder
// on a memory file system when there is one.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "platform/FileSettingsStore.h"

using namespace tavixTGCL2;
namespace fs = std::filesystem;

namespace {

// CRC-32 of zlib and PNG, computed bit by bit so that it shares nothing with
// the store's table.
std::uint32_t crc32(std::string_view data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string withTrailer(std::string body) {
    char trailer[32];
    std::snprintf(trailer, sizeof trailer, "end crc32=%08x\n", crc32(body));
    return body + trailer;
}

const fs::path& scratch() {
    static const fs::path folder = [] {
        const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path f = base / ("tgcl-fuzz-hive-" + std::to_string(::getpid()));
        fs::remove_all(f);
        return f;
    }();
    return folder;
}

void checkThroughStore(SettingsHive hive, const std::string& text, const std::optional<SettingsKey>& parsed) {
    fs::create_directories(scratch());
    FileSettingsStore store(scratch());
    const fs::path file = store.hiveFile(hive);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;

    // A readable file shows its values; a damaged one reads as empty.
    const auto names = store.subkeyNames(hive, "");
    if (parsed) {
        FUZZ_REQUIRE(names.size() == parsed->subkeys().size());
    } else {
        FUZZ_REQUIRE(names.empty() && store.valueNames(hive, "").empty());
    }

    // A change keeps every value that was readable, and a damaged file is
    // kept aside rather than lost.
    store.write(hive, "Fuzz\\Probe", "Written", std::int32_t{7});
    std::ifstream back(file, std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(back)), std::istreambuf_iterator<char>());
    auto reread = FileSettingsStore::parseHive(hive, after);
    FUZZ_REQUIRE(reread);
    const SettingsValue* probe = nullptr;
    if (const SettingsKey* k = reread->find({"Fuzz", "Probe"})) probe = k->value("Written");
    FUZZ_REQUIRE(probe && *probe == SettingsValue(std::int32_t{7}));
    if (parsed) {
        for (const auto& [folded, entry] : parsed->values())
            FUZZ_REQUIRE(reread->value(entry.name) && *reread->value(entry.name) == entry.value);
        FUZZ_REQUIRE(reread->subkeys().size() >= parsed->subkeys().size());
    } else {
        bool keptAside = false;
        for (const auto& entry : fs::directory_iterator(scratch()))
            keptAside |= entry.path().filename().string().find(".damaged-") != std::string::npos;
        FUZZ_REQUIRE(keptAside);
    }
    fs::remove_all(scratch());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bytes in(data, size);
    const std::uint8_t mode = in.byte();
    static constexpr SettingsHive kHives[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,
                                              HKEY_CLASSES_ROOT, HKEY_USERS, HKEY_CURRENT_CONFIG};
    const SettingsHive hive = kHives[(mode >> 1) % 5];
    std::string text(in.rest());
    if (mode & 1u) text = withTrailer(std::move(text));

    const auto parsed = FileSettingsStore::parseHive(hive, text);
    if (parsed) {
        // What was read writes out as a file that reads back to the same
        // tree, and writing that again gives the same bytes.
        const std::string written = FileSettingsStore::formatHive(hive, *parsed);
        const auto again = FileSettingsStore::parseHive(hive, written);
        FUZZ_REQUIRE(again && *again == *parsed);
        FUZZ_REQUIRE(FileSettingsStore::formatHive(hive, *again) == written);
        // Escapes are at most three bytes per byte, and nothing is invented.
        FUZZ_REQUIRE(written.size() <= 3 * text.size() + 64);
        // A file for one hive is never taken for another's.
        FUZZ_REQUIRE(!FileSettingsStore::parseHive(hive == HKEY_USERS ? HKEY_CURRENT_USER : HKEY_USERS, text));
    }
    if ((mode & 0xF0u) == 0xF0u) checkThroughStore(hive, text, parsed);
    return 0;
}
