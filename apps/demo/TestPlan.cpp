#include "TestPlan.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <sstream>
#include <system_error>

#include <tavixTGCL2/frame/GPublicDeclares.h>

namespace tavixTGCL2::demo {


namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Thrown inside the reader only; parsePlan turns it into its message.
struct PlanError {
    std::string message;
};

[[noreturn]] void fail(const std::string& where, const std::string& what) {
    throw PlanError{where.empty() ? what : where + ": " + what};
}

// nlohmann's parser keeps its own stack, but a value nested thousands deep
// still costs a frame per level on destruction and in our walk; no plan
// needs more than a handful of levels.
constexpr int kMaxDepth = 32;

bool nestingWithin(std::string_view text, int limit) {
    int depth = 0;
    bool inString = false, escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') inString = false;
            continue;
        }
        if (c == '"') inString = true;
        else if (c == '{' || c == '[') {
            if (++depth > limit) return false;
        } else if (c == '}' || c == ']') --depth;
    }
    return true;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

class Reader {
public:
    explicit Reader(fs::path base) : m_base(std::move(base)) {}

    TestPlan read(const json& root) {
        if (!root.is_object()) fail("", "a plan is a JSON object");
        allowOnly(root, "", {"format", "title", "dut", "standards", "styleSheet", "styleSheetFile", "help",
                             "customTab", "elements", "script"});
        TestPlan plan;
        if (root.contains("format") && str(root, "format", "") != "tgcl-demo-plan 1")
            fail("format", "only \"tgcl-demo-plan 1\" is understood");
        plan.title = optStr(root, "title", "");
        if (root.contains("dut")) plan.dut = namedValues(root.at("dut"), "dut", "name", "value");
        if (root.contains("standards")) plan.standards = namedValues(root.at("standards"), "standards", "group", "name");
        if (root.contains("styleSheet") && root.contains("styleSheetFile"))
            fail("styleSheet", "give styleSheet or styleSheetFile, not both");
        if (root.contains("styleSheet")) plan.styleSheet = str(root, "styleSheet", "");
        if (root.contains("styleSheetFile")) plan.styleSheet = readFile(str(root, "styleSheetFile", ""), "styleSheetFile");
        if (root.contains("help")) plan.help = textOrFile(root.at("help"), "help");
        if (root.contains("customTab")) {
            const json& ct = root.at("customTab");
            if (!ct.is_object()) fail("customTab", "expected an object");
            allowOnly(ct, "customTab", {"tooltip"});
            plan.customTabTip = optStr(ct, "tooltip", "customTab");
        }
        if (!root.contains("elements")) fail("elements", "a plan needs at least one element");
        const json& els = root.at("elements");
        if (!els.is_array() || els.empty()) fail("elements", "expected a non-empty array");
        if (els.size() > kMaxElements) fail("elements", "more than " + std::to_string(kMaxElements) + " elements");
        for (std::size_t i = 0; i < els.size(); ++i)
            plan.elements.push_back(element(els[i], "elements[" + std::to_string(i) + "]"));
        if (root.contains("script")) {
            const json& sc = root.at("script");
            if (!sc.is_array()) fail("script", "expected an array");
            if (sc.size() > kMaxScriptSteps) fail("script", "more than " + std::to_string(kMaxScriptSteps) + " steps");
            for (std::size_t i = 0; i < sc.size(); ++i)
                plan.script.push_back(step(sc[i], "script[" + std::to_string(i) + "]"));
        }
        return plan;
    }

private:
    static std::string join(const std::string& where, const std::string& key) {
        return where.empty() ? key : where + "." + key;
    }

    static void allowOnly(const json& obj, const std::string& where, std::initializer_list<std::string_view> keys) {
        for (auto it = obj.begin(); it != obj.end(); ++it)
            if (std::find(keys.begin(), keys.end(), it.key()) == keys.end())
                fail(join(where, it.key()), "unknown field");
    }

    static std::string str(const json& obj, const char* key, const std::string& where) {
        const json& v = obj.at(key);
        if (!v.is_string()) fail(join(where, key), "expected a string");
        return v.get<std::string>();
    }
    static std::string optStr(const json& obj, const char* key, const std::string& where) {
        return obj.contains(key) ? str(obj, key, where) : std::string();
    }

    static NamedValues namedValues(const json& arr, const std::string& where, const char* k1, const char* k2) {
        if (!arr.is_array()) fail(where, "expected an array");
        NamedValues out;
        for (std::size_t i = 0; i < arr.size(); ++i) {
            const std::string at = where + "[" + std::to_string(i) + "]";
            const json& e = arr[i];
            if (!e.is_object()) fail(at, "expected an object");
            allowOnly(e, at, {k1, k2});
            if (!e.contains(k1) || !e.contains(k2))
                fail(at, std::string("needs \"") + k1 + "\" and \"" + k2 + "\"");
            std::string a = str(e, k1, at), b = str(e, k2, at);
            if (a.empty()) fail(join(at, k1), "must not be empty");
            out.emplace_back(std::move(a), std::move(b));
        }
        return out;
    }

    // A relative path that stays inside the plan's folder; neither
    // absolute paths nor ".." may reach the rest of the machine.
    fs::path inside(const std::string& rel, const std::string& where) const {
        if (rel.empty()) fail(where, "empty file name");
        if (rel.find('\0') != std::string::npos) fail(where, "file name contains a NUL");
        fs::path p(rel);
        if (p.is_absolute() || p.has_root_name() || p.has_root_directory())
            fail(where, "files must be named relative to the plan");
        for (const auto& part : p)
            if (part == "..") fail(where, "files must lie inside the plan's folder");
        std::error_code ec;
        fs::path base = fs::weakly_canonical(m_base, ec);
        if (ec) base = m_base;
        fs::path full = fs::weakly_canonical(base / p, ec);
        if (ec) full = base / p;
        // A symbolic link inside the folder may still lead out of it.
        auto [b, f] = std::mismatch(base.begin(), base.end(), full.begin(), full.end());
        if (b != base.end()) fail(where, "files must lie inside the plan's folder");
        return full;
    }

    std::string readFile(const std::string& rel, const std::string& where) const {
        const fs::path full = inside(rel, where);
        std::error_code ec;
        if (!fs::is_regular_file(full, ec)) fail(where, "'" + rel + "' is not a readable file");
        const auto size = fs::file_size(full, ec);
        if (ec) fail(where, "cannot read '" + rel + "'");
        if (size > kMaxFileBytes) fail(where, "'" + rel + "' is larger than " + std::to_string(kMaxFileBytes) + " bytes");
        std::ifstream in(full, std::ios::binary);
        if (!in) fail(where, "cannot open '" + rel + "'");
        std::ostringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    std::string textOrFile(const json& v, const std::string& where) const {
        if (v.is_string()) return v.get<std::string>();
        if (!v.is_object()) fail(where, "expected a string or an object with \"text\" or \"file\"");
        allowOnly(v, where, {"text", "file"});
        if (v.contains("text") == v.contains("file")) fail(where, "give exactly one of \"text\" and \"file\"");
        return v.contains("text") ? str(v, "text", where) : readFile(str(v, "file", where), join(where, "file"));
    }

    static std::string fileUrl(const fs::path& p) {
        static constexpr char hex[] = "0123456789ABCDEF";
        std::string out = "file://";
        for (unsigned char c : p.generic_string()) {
            if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
                out += static_cast<char>(c);
            } else {
                out += '%';
                out += hex[c >> 4];
                out += hex[c & 15];
            }
        }
        return out;
    }

    Procedure procedure(const json& v, const std::string& where) const {
        if (!v.is_object()) fail(where, "expected an object");
        allowOnly(v, where, {"format", "text", "file", "url"});
        if (!v.contains("format")) fail(where, "needs a \"format\"");
        const std::string fmt = lower(str(v, "format", where));
        Procedure p;
        if (fmt == "link") {
            p.format = 4;
            if (v.contains("text")) fail(join(where, "text"), "a link gives \"url\" or \"file\"");
            if (v.contains("url") == v.contains("file")) fail(where, "a link gives exactly one of \"url\" and \"file\"");
            if (v.contains("url")) {
                p.text = str(v, "url", where);
                if (p.text.empty()) fail(join(where, "url"), "must not be empty");
            } else {
                // Need not exist: a link that cannot be loaded is part of what
                // a plan may show.
                p.text = fileUrl(inside(str(v, "file", where), join(where, "file")));
            }
            return p;
        }
        if (fmt == "plain") p.format = 0;
        else if (fmt == "rtf") p.format = 1;
        else if (fmt == "html") p.format = 3;
        else fail(join(where, "format"), "unknown format '" + fmt + "' (plain, rtf, html or link)");
        if (v.contains("url")) fail(join(where, "url"), "only a link has a url");
        if (v.contains("text") == v.contains("file")) fail(where, "give exactly one of \"text\" and \"file\"");
        p.text = v.contains("text") ? str(v, "text", where) : readFile(str(v, "file", where), join(where, "file"));
        return p;
    }

    static std::int32_t integer(const json& v, const std::string& where, std::int32_t lo, std::int32_t hi) {
        if (!v.is_number_integer()) fail(where, "expected a whole number");
        const auto n = v.get<long long>();
        if (n < lo || n > hi) fail(where, "must lie between " + std::to_string(lo) + " and " + std::to_string(hi));
        return static_cast<std::int32_t>(n);
    }

    PlanElement element(const json& v, const std::string& where) const {
        if (!v.is_object()) fail(where, "expected an object");
        allowOnly(v, where, {"caption", "procedure", "verdict", "message", "durationMs", "measurements", "comment"});
        PlanElement e;
        if (!v.contains("caption")) fail(where, "needs a \"caption\"");
        e.caption = str(v, "caption", where);
        if (!v.contains("procedure")) fail(where, "needs a \"procedure\"");
        e.procedure = procedure(v.at("procedure"), join(where, "procedure"));
        if (v.contains("verdict")) {
            const std::string s = lower(str(v, "verdict", where));
            if (s == "passed") e.verdict = Verdict::Passed;
            else if (s == "failed") e.verdict = Verdict::Failed;
            else if (s == "na") e.verdict = Verdict::NotApplicable;
            else if (s == "none") e.verdict = Verdict::None;
            else fail(join(where, "verdict"), "unknown verdict '" + s + "' (passed, failed, na or none)");
        }
        e.message = optStr(v, "message", where);
        if (v.contains("durationMs")) e.durationMs = integer(v.at("durationMs"), join(where, "durationMs"), 0, kMaxDurationMs);
        if (v.contains("measurements")) e.measurements = namedValues(v.at("measurements"), join(where, "measurements"), "name", "value");
        e.comment = optStr(v, "comment", where);
        return e;
    }

    static CustomizeAction customize(const json& v, const std::string& where) {
        if (!v.is_object()) fail(where, "expected an object");
        allowOnly(v, where, {"size", "labels", "faded", "move", "restore", "finish"});
        CustomizeAction c;
        auto pick = [&](const char* key, std::array<const char*, 3> names) -> std::optional<std::int32_t> {
            if (!v.contains(key)) return std::nullopt;
            const std::string s = lower(str(v, key, where));
            for (std::int32_t i = 0; i < 3; ++i)
                if (s == names[static_cast<std::size_t>(i)]) return i;
            fail(join(where, key), "unknown value '" + s + "'");
        };
        c.buttonSize = pick("size", {"small", "medium", "large"});
        c.labels = pick("labels", {"none", "selective", "all"});
        if (v.contains("faded")) {
            if (!v.at("faded").is_boolean()) fail(join(where, "faded"), "expected true or false");
            c.faded = v.at("faded").get<bool>();
        }
        if (v.contains("move")) {
            const json& m = v.at("move");
            const std::string at = join(where, "move");
            if (!m.is_object()) fail(at, "expected an object");
            allowOnly(m, at, {"entry", "by"});
            if (!m.contains("entry") || !m.contains("by")) fail(at, "needs \"entry\" and \"by\"");
            c.moveEntry = str(m, "entry", at);
            c.moveBy = integer(m.at("by"), join(at, "by"), -20, 20);
        }
        if (v.contains("restore")) {
            if (!v.at("restore").is_boolean()) fail(join(where, "restore"), "expected true or false");
            c.restore = v.at("restore").get<bool>();
        }
        if (v.contains("finish")) {
            const std::string f = lower(str(v, "finish", where));
            if (f != "ok" && f != "cancel") fail(join(where, "finish"), "ok or cancel");
            c.ok = f == "ok";
        }
        return c;
    }

    static ScriptStep step(const json& v, const std::string& where) {
        if (!v.is_object()) fail(where, "expected an object");
        static constexpr std::array<std::string_view, 8> actions = {"key",  "click",    "tab",       "splitter",
                                                                    "type", "standard", "customize", "wait"};
        std::string action;
        for (auto it = v.begin(); it != v.end(); ++it) {
            if (it.key() == "note") continue;
            if (std::find(actions.begin(), actions.end(), it.key()) == actions.end())
                fail(join(where, it.key()), "unknown action");
            if (!action.empty()) fail(where, "one action per step ('" + action + "' and '" + it.key() + "')");
            action = it.key();
        }
        if (action.empty()) fail(where, "a step names an action");
        ScriptStep s;
        s.note = optStr(v, "note", where);
        const std::string at = join(where, action);
        if (action == "key") {
            s.kind = ScriptStep::Kind::Key;
            s.key = str(v, "key", where);
            if (s.key.empty() || s.key.size() > 40) fail(at, "expected a key such as \"F9\" or \"Ctrl+N\"");
        } else if (action == "click") {
            s.kind = ScriptStep::Kind::Click;
            s.command = commandByName(lower(str(v, "click", where)));
            if (s.command == 0) fail(at, "unknown command (abort, previous, next, stop, start, step, na, skip)");
        } else if (action == "tab") {
            s.kind = ScriptStep::Kind::Tab;
            const json& t = v.at("tab");
            if (t.is_number_integer()) {
                s.tab = integer(t, at, 0, 255);
            } else {
                const std::string name = lower(str(v, "tab", where));
                static constexpr std::array<std::string_view, 5> tabs = {"procedure", "comment", "dut", "help", "custom"};
                auto it = std::find(tabs.begin(), tabs.end(), name);
                if (it == tabs.end()) fail(at, "unknown tab (procedure, comment, dut, help, custom or a number)");
                s.tab = static_cast<std::int32_t>(it - tabs.begin());
            }
        } else if (action == "splitter") {
            const std::string how = lower(str(v, "splitter", where));
            static constexpr std::array<std::string_view, 4> items = {"up", "down", "maximize", "minimize"};
            if (how == "click") {
                s.kind = ScriptStep::Kind::Splitter;
            } else if (auto it = std::find(items.begin(), items.end(), how); it != items.end()) {
                s.kind = ScriptStep::Kind::SplitterMenu;
                s.menuItem = static_cast<std::int32_t>(it - items.begin());
            } else {
                fail(at, "click, or a menu item: up, down, maximize, minimize");
            }
        } else if (action == "type") {
            s.kind = ScriptStep::Kind::Type;
            s.text = str(v, "type", where);
        } else if (action == "standard") {
            s.kind = ScriptStep::Kind::Standard;
            s.text = str(v, "standard", where);
        } else if (action == "customize") {
            s.kind = ScriptStep::Kind::Customize;
            s.customize = customize(v.at("customize"), at);
        } else {
            s.kind = ScriptStep::Kind::Wait;
            const json& w = v.at("wait");
            if (w.is_string()) {
                if (lower(w.get<std::string>()) != "idle") fail(at, "a number of milliseconds or \"idle\"");
                s.untilIdle = true;
            } else {
                s.ms = integer(w, at, 0, 60000);
            }
        }
        return s;
    }

    fs::path m_base;
};

}  // namespace

std::string_view verdictName(Verdict v) {
    switch (v) {
        case Verdict::Passed: return "passed";
        case Verdict::Failed: return "failed";
        case Verdict::NotApplicable: return "not applicable";
        case Verdict::None: break;
    }
    return "no verdict";
}

std::int32_t commandByName(std::string_view name) {
    static constexpr std::pair<std::string_view, std::int32_t> names[] = {
        {"abort", ID_TGTBAR_ABORT}, {"previous", ID_TGTBAR_PREV}, {"next", ID_TGTBAR_NEXT},
        {"stop", ID_TGTBAR_STOP},   {"start", ID_TGTBAR_START},   {"step", ID_TGTBAR_STEP},
        {"na", ID_TGTBAR_NA},       {"skip", ID_TGTBAR_SKIP}};
    for (const auto& [n, id] : names)
        if (n == name) return id;
    return 0;
}

PlanResult parsePlan(std::string_view text, const std::filesystem::path& baseDir) {
    PlanResult r;
    if (text.size() > kMaxPlanBytes) {
        r.error = "the plan is larger than " + std::to_string(kMaxPlanBytes) + " bytes";
        return r;
    }
    if (!nestingWithin(text, kMaxDepth)) {
        r.error = "the plan is nested deeper than " + std::to_string(kMaxDepth) + " levels";
        return r;
    }
    try {
        const json root = json::parse(text.begin(), text.end());
        r.plan = Reader(baseDir).read(root);
    } catch (const PlanError& e) {
        r.error = e.message;
    } catch (const json::exception& e) {
        // Parse errors name the byte; type errors cannot happen after the
        // checks above, but a plan must never take the host down.
        r.error = std::string("not valid JSON: ") + e.what();
    } catch (const std::exception& e) {
        r.error = e.what();
    }
    if (!r.error.empty()) r.plan.reset();
    return r;
}

PlanResult loadPlan(const std::filesystem::path& file) {
    PlanResult r;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        r.error = file.string() + ": not a readable file";
        return r;
    }
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size > kMaxPlanBytes) {
        r.error = file.string() + (ec ? ": cannot be read" : ": larger than " + std::to_string(kMaxPlanBytes) + " bytes");
        return r;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    if (!in && !in.eof()) {
        r.error = file.string() + ": cannot be read";
        return r;
    }
    r = parsePlan(ss.str(), file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path());
    if (!r.plan) r.error = file.string() + ": " + r.error;
    return r;
}

}  // namespace tavixTGCL2::demo
