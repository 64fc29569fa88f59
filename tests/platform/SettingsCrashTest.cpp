// A writer of the file settings store killed with SIGKILL at random points:
// whatever moment the kill hits (temporary file half written, flushed but not
// renamed, renamed but not reported), the next reader must find a whole hive
// holding every completed write and either the old or the new value of the
// one in flight.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <utility>

#include "platform/FileSettingsStore.h"

using namespace tavixTGCL2;
namespace fs = std::filesystem;

namespace {

constexpr SettingsHive kHive = HKEY_CURRENT_USER;

int envInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

// Write number i sets one value; keys, names and lengths vary so that a file
// cut anywhere differs from every whole one.
std::string keyOf(std::int64_t i) { return "Crash\\Key" + std::to_string(i % 3); }
std::string nameOf(std::int64_t i) { return "Value" + std::to_string(i % 17); }
std::string payloadOf(std::int64_t i) {
    return "write " + std::to_string(i) + " " + std::string(static_cast<std::size_t>(i * 37 % 400), 'x');
}

constexpr std::int64_t kWriteFailed = INT64_MIN;

using Model = std::map<std::pair<std::string, std::string>, std::string>;

// Writes from `first` on, reporting each completed write on the pipe, until
// killed. Never returns.
[[noreturn]] void writeForever(const fs::path& folder, std::int64_t first, int reportFd) {
    try {
        FileSettingsStore store(folder);
        for (std::int64_t i = first;; ++i) {
            store.write(kHive, keyOf(i), nameOf(i), payloadOf(i));
            if (::write(reportFd, &i, sizeof i) != sizeof i) ::_exit(3);
        }
    } catch (...) {
        (void)!::write(reportFd, &kWriteFailed, sizeof kWriteFailed);
        ::_exit(2);
    }
}

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t countNamed(const fs::path& folder, const std::string& part) {
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(folder))
        n += e.path().filename().string().find(part) != std::string::npos;
    return n;
}

class SettingsCrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("tgcl-settings-crash-" + std::to_string(::getpid()));
        fs::remove_all(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

}  // namespace

TEST_F(SettingsCrashTest, KilledWritersNeverTearOrLoseTheHive) {
    const int kills = envInt("TGCL_CRASH_KILLS", 150);
    std::mt19937_64 random(static_cast<std::uint64_t>(envInt("TGCL_CRASH_SEED", 20261206)));
    Model model;  // every write known to have landed
    std::int64_t next = 0;
    std::int64_t landedInFlight = 0;

    for (int round = 0; round < kills; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            writeForever(folder, next, fds[1]);
        }
        ::close(fds[1]);

        // Let the writer finish a random number of writes (none at all in
        // some rounds), then kill it a random time later.
        const int waitFor = static_cast<int>(random() % 3);
        std::int64_t done = next - 1;  // the last write reported complete
        std::int64_t i = 0;
        for (int n = 0; n < waitFor && ::read(fds[0], &i, sizeof i) == sizeof i; ++n) done = i;
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        while (done != kWriteFailed && ::read(fds[0], &i, sizeof i) == sizeof i) done = i;
        ::close(fds[0]);
        ASSERT_NE(done, kWriteFailed) << "round " << round << ": the writer's write failed";
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "round " << round << ": the writer stopped on its own (status " << status << ")";

        for (std::int64_t w = next; w <= done; ++w) model[{keyOf(w), nameOf(w)}] = payloadOf(w);
        const std::int64_t inFlight = done + 1;

        // The file on disk is whole: it parses exactly, with its checksum.
        const fs::path file = FileSettingsStore(folder).hiveFile(kHive);
        if (model.empty() && !fs::exists(file)) {
            next = inFlight;
            continue;
        }
        const auto parsed = FileSettingsStore::parseHive(kHive, fileText(file));
        ASSERT_TRUE(parsed) << "round " << round << ": torn or empty hive file";

        // A fresh reader sees every completed write, and for the one in flight
        // the old value or the new one; nothing else.
        FileSettingsStore reader(folder);
        const auto flight = std::make_pair(keyOf(inFlight), nameOf(inFlight));
        std::size_t seen = 0;
        for (const std::string& key : reader.subkeyNames(kHive, "Crash")) {
            for (const std::string& name : reader.valueNames(kHive, "Crash\\" + key)) {
                ++seen;
                const auto value = reader.read(kHive, "Crash\\" + key, name);
                ASSERT_TRUE(value && std::holds_alternative<std::string>(*value));
                const std::string& text = std::get<std::string>(*value);
                const auto at = model.find({"Crash\\" + key, name});
                if (std::make_pair("Crash\\" + key, name) == flight && text == payloadOf(inFlight)) {
                    model[flight] = text;  // landed, not yet reported
                    ++landedInFlight;
                } else {
                    ASSERT_NE(at, model.end()) << "round " << round << ": unknown value " << name;
                    ASSERT_EQ(text, at->second) << "round " << round << ": " << key << "\\" << name;
                }
            }
        }
        ASSERT_EQ(seen, model.size()) << "round " << round << ": a completed write was lost";
        // The dead writer leaves at most its one temporary file behind.
        ASSERT_LE(countNamed(folder, ".tmp-"), 1u);
        next = inFlight + 1;
    }

    // A later writer clears what the dead left behind, and no kill ever made
    // a hive file that had to be kept aside as damaged.
    FileSettingsStore(folder).write(kHive, "Crash\\Done", "Rounds", kills);
    EXPECT_EQ(countNamed(folder, ".tmp-"), 0u);
    EXPECT_EQ(countNamed(folder, ".damaged-"), 0u);
    RecordProperty("kills", kills);
    RecordProperty("writes", static_cast<int>(next));
    RecordProperty("landedInFlight", static_cast<int>(landedInFlight));
    std::printf("%d kills survived, %lld writes, %lld landed while in flight\n", kills,
                static_cast<long long>(next), static_cast<long long>(landedInFlight));
}
