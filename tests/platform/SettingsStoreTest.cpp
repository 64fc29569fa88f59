#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "platform/FileSettingsStore.h"
#include "platform/MemorySettingsStore.h"

using namespace tavixTGCL2;
namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {

constexpr const char* kTemplateKey = "Software\\Brenn\\tavix\\Executive\\Template";

struct TempDir {
    fs::path path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "tgcl-settings-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void spill(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

std::vector<fs::path> filesStartingWith(const fs::path& folder, const std::string& prefix) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().rfind(prefix, 0) == 0) found.push_back(entry.path());
    return found;
}

// The message of the Error a statement throws with the expected code, or
// what happened instead.
template <class F>
std::string errorOf(F&& statement, std::int32_t code = errIo) {
    try {
        statement();
    } catch (const Error& e) {
        return e.code() == code ? e.what() : "code " + std::to_string(e.code()) + ": " + e.what();
    }
    return "no error";
}

// Runs body in a child process, whose exit status tells whether it threw.
pid_t inChild(const std::function<void()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        try {
            body();
            ::_exit(0);
        } catch (...) {
            ::_exit(1);
        }
    }
    return pid;
}

bool exitedCleanly(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

// Puts an environment variable back as it was, whatever the test did to it.
struct EnvGuard {
    std::string name;
    std::optional<std::string> saved;
    explicit EnvGuard(std::string n) : name(std::move(n)) {
        if (const char* v = std::getenv(name.c_str())) saved = v;
    }
    ~EnvGuard() { saved ? ::setenv(name.c_str(), saved->c_str(), 1) : ::unsetenv(name.c_str()); }
};

// Plain bitwise CRC-32, written apart from the store's table version so that
// the trailer is checked against the standard algorithm.
std::string signedText(const std::string& body) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : body) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", crc ^ 0xFFFFFFFFu);
    return body + "end crc32=" + hex + "\n";
}

// Awkward text that must come back byte for byte.
const std::vector<std::string> kAwkward = {
    "", "a=b", "[section]", "]", "%41%", "line1\nline2\r\n", "\ttab", std::string("nul\0byte", 8),
    "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC", "\xFF\x80\x7F", "  spaced  ", "C:\\Temp\\x.htm", "end crc32=0"};

// --- Behaviour shared by every store ---------------------------------------

// Runs once over a memory store and once over a file store.
class AnySettingsStore : public ::testing::TestWithParam<bool> {
protected:
    // A view of the same data; for files a new object, so that nothing cached
    // can stand in for what the file holds.
    std::shared_ptr<SettingsStore> reopen() {
        if (GetParam()) return std::make_shared<FileSettingsStore>(dir.path / "cfg");
        return memory;
    }
    TempDir dir;
    std::shared_ptr<SettingsStore> memory = std::make_shared<MemorySettingsStore>();
    std::shared_ptr<SettingsStore> store = reopen();
};

TEST_P(AnySettingsStore, RoundTripsBothTypesAndAwkwardText) {
    std::vector<std::tuple<SettingsHive, std::string, std::string, SettingsValue>> cases;
    for (std::size_t i = 0; i < kAwkward.size(); ++i) {
        cases.emplace_back(HKEY_LOCAL_MACHINE, kTemplateKey, "v" + std::to_string(i), kAwkward[i]);
        cases.emplace_back(HKEY_LOCAL_MACHINE, "Odd\\" + kAwkward[i] + "k", kAwkward[i],
                           std::int32_t(i));
    }
    for (std::int32_t n : {0, -1, 42, INT32_MIN, INT32_MAX})
        cases.emplace_back(HKEY_CURRENT_USER, "Numbers", std::to_string(n), n);
    cases.emplace_back(HKEY_LOCAL_MACHINE, "", "at the root", "root value");
    store->write(HKEY_LOCAL_MACHINE, "Numbers", "0", "a string in another hive, then replaced");
    cases.emplace_back(HKEY_LOCAL_MACHINE, "Numbers", "0", 7);
    for (const auto& [hive, key, name, value] : cases) store->write(hive, key, name, value);

    auto view = reopen();
    for (const auto& [hive, key, name, value] : cases)
        EXPECT_EQ(view->read(hive, key, name), value) << key << " / " << name;
    EXPECT_FALSE(view->read(HKEY_LOCAL_MACHINE, kTemplateKey, "never written"));
    EXPECT_FALSE(view->read(HKEY_CURRENT_USER, kTemplateKey, "v1"));
}

TEST_P(AnySettingsStore, NamesMatchIgnoringAsciiCaseAndKeepTheirFirstSpelling) {
    store->write(HKEY_LOCAL_MACHINE, "Software\\Brenn\\Test Guide", "ButtonSize", 1);
    store->write(HKEY_LOCAL_MACHINE, "\\\\SOFTWARE\\\\brenn\\TEST GUIDE\\", "BUTTONSIZE", 2);
    store->write(HKEY_LOCAL_MACHINE, "software\\BRENN\\Other", "\xC3\x84pfel", "upper");
    store->write(HKEY_LOCAL_MACHINE, "software\\BRENN\\Other", "\xC3\xA4pfel", "lower");

    auto view = reopen();
    EXPECT_EQ(view->read(HKEY_LOCAL_MACHINE, "software\\brenn\\test guide", "buttonsize"),
              SettingsValue(2));
    EXPECT_EQ(view->valueNames(HKEY_LOCAL_MACHINE, "Software\\Brenn\\Test Guide"),
              std::vector<std::string>{"ButtonSize"});
    EXPECT_EQ(view->subkeyNames(HKEY_LOCAL_MACHINE, "SOFTWARE"), std::vector<std::string>{"Brenn"});
    EXPECT_EQ(view->subkeyNames(HKEY_LOCAL_MACHINE, "software\\brenn"),
              (std::vector<std::string>{"Other", "Test Guide"}));
    // Only ASCII folds: the two UTF-8 spellings are two values.
    EXPECT_EQ(view->valueNames(HKEY_LOCAL_MACHINE, "Software\\Brenn\\Other").size(), 2u);
    EXPECT_EQ(view->read(HKEY_LOCAL_MACHINE, "Software\\Brenn\\Other", "\xC3\x84pfel"),
              SettingsValue("upper"));
    EXPECT_EQ(SettingsStore::normaliseKeyPath("\\\\a\\\\\\b\\"), "a\\b");
}

TEST_P(AnySettingsStore, KeysAndValuesAreCreatedAndRemovedInKnownHivesOnly) {
    store->createKey(HKEY_LOCAL_MACHINE, "Empty\\Leaf");
    store->write(HKEY_LOCAL_MACHINE, "Gone\\Deep\\Deeper", "x", 1);
    store->write(HKEY_LOCAL_MACHINE, "Kept", "a", 1);
    store->write(HKEY_LOCAL_MACHINE, "Kept", "b", 2);
    store->deleteValue(HKEY_LOCAL_MACHINE, "kept", "A");
    store->deleteKey(HKEY_LOCAL_MACHINE, "gone\\deep");
    EXPECT_NO_THROW(store->deleteValue(HKEY_LOCAL_MACHINE, "Kept", "never there"));
    EXPECT_NO_THROW(store->deleteKey(HKEY_LOCAL_MACHINE, "Never\\There"));
    EXPECT_THROW(store->deleteKey(HKEY_LOCAL_MACHINE, "\\"), Error);

    auto view = reopen();
    EXPECT_TRUE(view->keyExists(HKEY_LOCAL_MACHINE, "empty\\leaf"));
    EXPECT_TRUE(view->keyExists(HKEY_LOCAL_MACHINE, "Empty"));
    EXPECT_TRUE(view->keyExists(HKEY_LOCAL_MACHINE, "Gone"));
    EXPECT_FALSE(view->keyExists(HKEY_LOCAL_MACHINE, "Gone\\Deep"));
    EXPECT_FALSE(view->keyExists(HKEY_LOCAL_MACHINE, "Gone\\Deep\\Deeper"));
    EXPECT_EQ(view->valueNames(HKEY_LOCAL_MACHINE, "Kept"), std::vector<std::string>{"b"});
    EXPECT_TRUE(view->keyExists(HKEY_LOCAL_MACHINE, ""));

    // A number that names no hive: refused by writes, empty to reads.
    EXPECT_THAT(errorOf([&] { store->write(0x12345678u, "Software", "x", 1); }, errGeneric),
                HasSubstr("0x12345678"));
    EXPECT_FALSE(store->read(0x12345678u, "Software", "x"));
    EXPECT_FALSE(store->keyExists(0x12345678u, ""));
}

INSTANTIATE_TEST_SUITE_P(SettingsStore, AnySettingsStore, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "File" : "Memory"; });

// --- The file form ----------------------------------------------------------

TEST(SettingsStoreFile, WritesTheDocumentedForm) {
    TempDir dir;
    FileSettingsStore store(dir.path);
    store.write(HKEY_LOCAL_MACHINE, "Software\\Brenn\\tavix\\Executive\\Template", "",
                "/srv/tavix/template.htm");
    store.write(HKEY_LOCAL_MACHINE, "Software\\Brenn\\Test Guide", "Toolbar", "101:0;102:0;");
    store.write(HKEY_LOCAL_MACHINE, "Software\\Brenn\\Test Guide", "ButtonSize", 1);
    store.write(HKEY_LOCAL_MACHINE, "Software\\Brenn\\Test Guide", "Note", "a=b\n[\xC3\xA4]%");
    EXPECT_EQ(slurp(dir.path / "HKEY_LOCAL_MACHINE.settings"),
              signedText("tavixTGCL2-settings 1 hive=80000002\n"
                         "[Software\\Brenn\\tavix\\Executive\\Template]\n"
                         "=s:/srv/tavix/template.htm\n"
                         "[Software\\Brenn\\Test Guide]\n"
                         "ButtonSize=i:1\n"
                         "Note=s:a%3Db%0A%5B%C3%A4%5D%25\n"
                         "Toolbar=s:101:0;102:0;\n"));
    EXPECT_EQ(signedText("123456789").substr(9), "end crc32=cbf43926\n");
}

TEST(SettingsStoreFile, ParsingRefusesAnythingTheWriterDidNotWrite) {
    SettingsKey root;
    for (std::size_t i = 0; i < kAwkward.size(); ++i)
        root.findOrCreate({"K", "v" + std::to_string(i)}).setValue(kAwkward[i], std::int32_t(i));
    const std::string text = FileSettingsStore::formatHive(HKEY_CURRENT_USER, root);
    auto parsed = FileSettingsStore::parseHive(HKEY_CURRENT_USER, text);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(*parsed == root);
    EXPECT_FALSE(FileSettingsStore::parseHive(HKEY_LOCAL_MACHINE, text)) << "another hive's file";

    for (std::size_t n = 0; n < text.size(); ++n)
        EXPECT_FALSE(FileSettingsStore::parseHive(HKEY_CURRENT_USER, text.substr(0, n))) << n;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string garbled = text;
        garbled[i] = static_cast<char>(garbled[i] ^ 0x21);
        EXPECT_FALSE(FileSettingsStore::parseHive(HKEY_CURRENT_USER, garbled)) << i;
    }

    // Lines the writer never produces are refused even under a good checksum.
    const std::string head = "tavixTGCL2-settings 1 hive=80000001\n";
    auto parses = [&](const std::string& body) {
        return FileSettingsStore::parseHive(HKEY_CURRENT_USER, signedText(head + body)).has_value();
    };
    EXPECT_TRUE(parses("[A\\B]\nx=s:%41%3d\ny=i:-5\n[]\n=i:0\n"));
    EXPECT_FALSE(FileSettingsStore::parseHive(
        HKEY_CURRENT_USER, signedText("tavixTGCL2-settings 2 hive=80000001\n[A]\n")));
    for (const char* bad : {"x=s:1\n", "[A]\n[a]\n", "[A]\nx=s:1\nX=i:2\n", "[A]\nx=s:%G1\n",
                            "[A]\nx=s:%4\n", "[A]\nx=s:\xC3\xA4\n", "[A]\nx=i:2147483648\n",
                            "[A]\nx=i:\n", "[A]\nx=i:1 \n", "[A]\nx=q:1\n", "[A]\nx\n", "[A]\n\n",
                            "[A\\\\B]\n", "[A]]\n", "[A]\nx=s:a=b\n", "[%5C]\n", "[A\n"})
        EXPECT_FALSE(parses(bad)) << bad;
}

// --- Atomic replace and the lock ----------------------------------------------

TEST(SettingsStoreFile, ReplacesTheFileWholeAndIgnoresAbandonedTemporaries) {
    TempDir dir;
    const fs::path file = dir.path / "HKEY_LOCAL_MACHINE.settings";
    FileSettingsStore store(dir.path);
    store.write(HKEY_LOCAL_MACHINE, kTemplateKey, "first", 1);
    ::chmod(file.c_str(), 0640);
    spill(fs::path(file.string() + ".tmp-99999-0"), "half a file from a writer that died");
    store.write(HKEY_LOCAL_MACHINE, kTemplateKey, "second", 2);

    EXPECT_EQ(FileSettingsStore(dir.path).read(HKEY_LOCAL_MACHINE, kTemplateKey, "first"),
              SettingsValue(1));
    EXPECT_TRUE(filesStartingWith(dir.path, "HKEY_LOCAL_MACHINE.settings.tmp-").empty());
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A reader in another process must only ever meet a complete file.
    const pid_t writer = inChild([&] {
        FileSettingsStore own(dir.path);
        for (std::size_t i = 0; i < 150; ++i)
            own.write(HKEY_LOCAL_MACHINE, kTemplateKey, "n" + std::to_string(i % 7),
                      std::string(i * 37, 'x'));
    });
    ASSERT_GT(writer, 0);
    int reads = 0, incomplete = 0, status = 0;
    while (::waitpid(writer, &status, WNOHANG) == 0) {
        ++reads;
        if (!FileSettingsStore::parseHive(HKEY_LOCAL_MACHINE, slurp(file))) ++incomplete;
    }
    EXPECT_TRUE(exitedCleanly(status));
    EXPECT_GT(reads, 0);
    EXPECT_EQ(incomplete, 0);
}

TEST(SettingsStoreFile, TwoWriterProcessesThroughTheLockLoseNothing) {
    TempDir dir;
    constexpr int kPerWriter = 120;
    std::vector<pid_t> writers;
    for (int w = 0; w < 2; ++w) {
        writers.push_back(inChild([&] {
            FileSettingsStore own(dir.path);
            for (int i = 0; i < kPerWriter; ++i)
                own.write(HKEY_LOCAL_MACHINE, "Software\\Shared",
                          "w" + std::to_string(w) + "-" + std::to_string(i), i);
        }));
        ASSERT_GT(writers.back(), 0);
    }
    for (pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(exitedCleanly(status));
    }
    FileSettingsStore store(dir.path);
    EXPECT_EQ(store.valueNames(HKEY_LOCAL_MACHINE, "Software\\Shared").size(), 2u * kPerWriter);
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < kPerWriter; ++i)
            EXPECT_EQ(store.read(HKEY_LOCAL_MACHINE, "Software\\Shared",
                                 "w" + std::to_string(w) + "-" + std::to_string(i)),
                      SettingsValue(i));
}

// --- Damage and failure -------------------------------------------------------

TEST(SettingsStoreFile, ADamagedFileReadsEmptyAndIsKeptAsideBeforeTheNextWrite) {
    TempDir dir;
    const fs::path file = dir.path / "HKEY_LOCAL_MACHINE.settings";
    FileSettingsStore store(dir.path);
    for (int i = 0; i < 20; ++i) store.write(HKEY_LOCAL_MACHINE, kTemplateKey, std::to_string(i), i);

    std::string truncated = slurp(file);
    truncated.resize(truncated.size() / 2);
    std::string garbled = slurp(file);
    garbled[garbled.size() / 3] = '#';
    std::vector<std::string> kept;
    for (const std::string& damage : {truncated, garbled, std::string()}) {
        spill(file, damage);
        EXPECT_FALSE(store.read(HKEY_LOCAL_MACHINE, kTemplateKey, "3"));
        EXPECT_FALSE(store.keyExists(HKEY_LOCAL_MACHINE, kTemplateKey));
        store.write(HKEY_LOCAL_MACHINE, "After", "v", 1);
        kept.push_back(damage);

        std::vector<std::string> contents;
        for (const auto& p : filesStartingWith(dir.path, "HKEY_LOCAL_MACHINE.settings.damaged-"))
            contents.push_back(slurp(p));
        std::sort(contents.begin(), contents.end());
        std::vector<std::string> expected = kept;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(contents, expected) << "each damaged file kept aside, none overwritten";
        FileSettingsStore fresh(dir.path);
        EXPECT_EQ(fresh.valueNames(HKEY_LOCAL_MACHINE, "After"), std::vector<std::string>{"v"});
        EXPECT_FALSE(fresh.keyExists(HKEY_LOCAL_MACHINE, kTemplateKey));
    }
}

TEST(SettingsStoreFile, WhatCannotBeStoredIsAClearErrorAndWhatCannotBeReadIsQuiet) {
    TempDir dir;
    spill(dir.path / "plain-file", "x");
    FileSettingsStore blocked(dir.path / "plain-file" / "cfg");
    EXPECT_FALSE(blocked.read(HKEY_LOCAL_MACHINE, kTemplateKey, "x"));
    EXPECT_FALSE(blocked.keyExists(HKEY_LOCAL_MACHINE, kTemplateKey));
    EXPECT_THAT(errorOf([&] { blocked.write(HKEY_LOCAL_MACHINE, kTemplateKey, "x", 1); }),
                HasSubstr("cannot create the settings folder \"" + (dir.path / "plain-file").string()));

    // A hive file that can be neither read nor kept aside must not be replaced.
    const fs::path file = dir.path / "HKEY_LOCAL_MACHINE.settings";
    fs::create_directory(file);
    spill(file / "inside", "someone's data");
    FileSettingsStore store(dir.path);
    EXPECT_FALSE(store.read(HKEY_LOCAL_MACHINE, kTemplateKey, "x"));
    EXPECT_THAT(errorOf([&] { store.write(HKEY_LOCAL_MACHINE, kTemplateKey, "x", 1); }),
                HasSubstr(file.string()));
    EXPECT_EQ(slurp(file / "inside"), "someone's data");
}

// --- Where the store lives ------------------------------------------------------

TEST(SettingsStoreFile, TheFolderFollowsXdgThenHomeAndAppearsOnlyOnTheFirstWrite) {
    TempDir dir;
    EnvGuard xdg("XDG_CONFIG_HOME"), home("HOME");
    ::setenv("XDG_CONFIG_HOME", (dir.path / "xdg").c_str(), 1);
    EXPECT_EQ(FileSettingsStore::defaultFolder(), dir.path / "xdg" / "tavixTGCL2");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    ::setenv("HOME", dir.path.c_str(), 1);
    EXPECT_EQ(FileSettingsStore::defaultFolder(), dir.path / ".config" / "tavixTGCL2");

    setDefaultSettingsStore(nullptr);
    auto* fileStore = dynamic_cast<FileSettingsStore*>(&defaultSettingsStore());
    ASSERT_NE(fileStore, nullptr);
    EXPECT_EQ(fileStore->folder(), dir.path / ".config" / "tavixTGCL2");
    EXPECT_FALSE(defaultSettingsStore().read(HKEY_LOCAL_MACHINE, kTemplateKey, "x"));
    EXPECT_FALSE(fs::exists(dir.path / ".config"));
    defaultSettingsStore().write(HKEY_LOCAL_MACHINE, kTemplateKey, "x", 1);
    EXPECT_EQ(fs::status(dir.path / ".config" / "tavixTGCL2").permissions() & fs::perms::all,
              fs::perms::owner_all);

    auto memory = std::make_shared<MemorySettingsStore>();
    setDefaultSettingsStore(memory);
    EXPECT_EQ(&defaultSettingsStore(), memory.get());
    setDefaultSettingsStore(nullptr);
}

}  // namespace
