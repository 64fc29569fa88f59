#include "frame/HostKit.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "frame/TextLookup.h"
#include "platform/Control.h"
#include "platform/Error.h"
#include "platform/StandardControls.h"
#include "resources/Resources.h"

namespace tavixTGCL2 {

// --- catalogues ------------------------------------------------------------

namespace {

// The number of a numbered literal, or nothing.
std::optional<std::int32_t> literalNumber(const std::string& literal) {
    auto pos = literal.find("::");
    if (pos == std::string::npos || pos == 0 || pos > 9) return std::nullopt;
    std::int64_t n = 0;
    for (std::size_t i = 0; i < pos; ++i) {
        if (literal[i] < '0' || literal[i] > '9') return std::nullopt;
        n = n * 10 + (literal[i] - '0');
    }
    if (n > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(n);
}

std::string unescapeCatalogue(const std::string& s, int line) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i >= s.size())
            throw Error(errGeneric, "catalogue line " + std::to_string(line) + ": dangling \\");
        switch (s[i]) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case '\\': out += '\\'; break;
            default:
                throw Error(errGeneric, "catalogue line " + std::to_string(line) + ": unknown escape \\" +
                                            std::string(1, s[i]));
        }
    }
    return out;
}

}  // namespace

TextCatalogue TextCatalogue::parse(const std::string& text) {
    TextCatalogue c;
    std::istringstream in(text);
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        auto first = raw.find_first_not_of(" \t");
        if (first == std::string::npos || raw[first] == '#') continue;
        auto eq = raw.find('=');
        auto bad = [line](const std::string& why) {
            return Error(errGeneric, "catalogue line " + std::to_string(line) + ": " + why);
        };
        if (eq == std::string::npos) throw bad("expected '<number> = <text>'");
        std::string num = raw.substr(first, eq - first);
        while (!num.empty() && (num.back() == ' ' || num.back() == '\t')) num.pop_back();
        // Only plain digits: through the literal rule "1::2" or "30:" would
        // quietly file the text under another number.
        auto n = num.find_first_not_of("0123456789") == std::string::npos ? literalNumber(num + "::")
                                                                           : std::nullopt;
        if (!n) throw bad("'" + num + "' is not a text number");
        std::string t = raw.substr(eq + 1);
        if (!t.empty() && t[0] == ' ') t.erase(0, 1);
        c.m_texts[*n] = unescapeCatalogue(t, line);
    }
    return c;
}

TextCatalogue TextCatalogue::builtInEnglish() {
    static const TextCatalogue c = parse(std::string(Resources::get("catalogue_en.txt")));
    return c;
}

TextCatalogue TextCatalogue::load(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) throw Error(errFileNotFound, "cannot read catalogue " + path);
    std::ostringstream s;
    s << f.rdbuf();
    return parse(s.str());
}

std::optional<std::string> TextCatalogue::text(std::int32_t number) const {
    auto it = m_texts.find(number);
    if (it == m_texts.end()) return std::nullopt;
    return it->second;
}

void TextCatalogue::merge(const TextCatalogue& other) {
    for (const auto& [n, t] : other.m_texts) m_texts[n] = t;
}

std::string fillPlaceholders(const std::string& text, const VariantList& args) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "%%") == 0 && i + 2 < text.size() && text[i + 2] >= '1' &&
            text[i + 2] <= '9') {
            std::size_t k = static_cast<std::size_t>(text[i + 2] - '1');
            if (k < args.size()) {
                try {
                    out += args[k].toString();
                } catch (const Error&) {
                    out += "?";  // an object cannot be shown as text
                }
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

CatalogueTranslator::CatalogueTranslator() : m_catalogue(TextCatalogue::builtInEnglish()) {}

std::string CatalogueTranslator::Translate(const std::string&, const std::string& literal,
                                           const VariantList& args) {
    auto n = literalNumber(literal);
    if (!n) return {};
    auto t = m_catalogue.text(*n);
    if (!t) return {};
    return fillPlaceholders(*t, args);
}

void CatalogueTranslator::TranslateControls(const std::string& context, Control& root) {
    auto one = [&](const std::string& s) {
        if (s.empty()) return s;
        std::string t = Translate(context, s, {});
        return t.empty() ? literalDefaultText(s) : t;
    };
    root.setCaption(one(root.Caption()));
    root.setToolTipText(one(root.ToolTipText()));
    if (auto* tabs = dynamic_cast<TabControl*>(&root))
        for (std::int32_t i = 0; i < tabs->itemCount(); ++i)
            tabs->setItemCaption(i, one(tabs->itemCaption(i)));
    if (auto* combo = dynamic_cast<ComboBox*>(&root)) {
        // Items are re-added in place so that the selection stays.
        std::int32_t sel = combo->ListIndex();
        std::vector<std::string> items;
        std::vector<std::int32_t> data;
        for (std::int32_t i = 0; i < combo->ListCount(); ++i) {
            items.push_back(one(combo->List(i)));
            data.push_back(combo->ItemData(i));
        }
        bool differs = false;
        for (std::int32_t i = 0; i < combo->ListCount(); ++i) differs |= items[i] != combo->List(i);
        if (differs) {
            auto silent = combo->Click;  // keep handlers; re-adding must not look like a choice
            combo->Click.disconnectAll();
            combo->Clear();
            for (std::size_t i = 0; i < items.size(); ++i) {
                combo->AddItem(items[i]);
                combo->setItemData(static_cast<std::int32_t>(i), data[i]);
            }
            if (sel >= 0) combo->setListIndex(sel);
            combo->Click = silent;
        }
    }
    for (auto& c : root.Children()) TranslateControls(context, *c);
}

// --- registry --------------------------------------------------------------

StoreRegistry::StoreRegistry(std::shared_ptr<SettingsStore> store) : m_store(std::move(store)) {}

SettingsStore& StoreRegistry::store() { return m_store ? *m_store : defaultSettingsStore(); }

void StoreRegistry::OpenKey(SettingsHive hive, const std::string& keyPath) {
    if (!SettingsStore::isKnownHive(hive))
        throw Error(errGeneric, "unknown settings hive " + std::to_string(hive));
    m_hive = hive;
    m_key = keyPath;
    m_open = true;
}

Variant StoreRegistry::ReadValue(const std::string& name) {
    if (!m_open) throw Error(errGeneric, "no settings key is open");
    auto v = store().read(m_hive, m_key, name);
    if (!v) return {};
    if (auto* s = std::get_if<std::string>(&*v)) return *s;
    return std::get<std::int32_t>(*v);
}

void StoreRegistry::WriteValue(const std::string& name, const Variant& value) {
    if (!m_open) throw Error(errGeneric, "no settings key is open");
    switch (value.type()) {
        case Variant::Type::Bool:
        case Variant::Type::Int16:
        case Variant::Type::Int32:
            store().write(m_hive, m_key, name, value.toInt32());
            break;
        case Variant::Type::Object:
            throw Error(errTypeMismatch, "an object cannot be stored in the settings");
        default:
            store().write(m_hive, m_key, name, value.toString());
    }
}

// --- settings path, settings, utility ---------------------------------------

FixedSettingsPath::FixedSettingsPath() { m_paths[1004] = "Software\\Brenn\\tavix\\Executive\\Settings"; }

std::string FixedSettingsPath::Path(std::int32_t code) {
    auto it = m_paths.find(code);
    if (it == m_paths.end()) throw Error(errInvalidProperty, "no settings path for code " + std::to_string(code));
    return it->second;
}

Variant SimpleSettingsSection::Value(const std::string& name) {
    auto it = m_values.find(name);
    return it == m_values.end() ? Variant() : it->second;
}

bool DefaultUtility::FileExists(const std::string& path) {
    std::string p = path;
    if (p.rfind("file://", 0) == 0) p = p.substr(7);
    if (p.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec);
}

void DefaultUtility::Exchange(std::int32_t& a, std::int32_t& b) { std::swap(a, b); }

// --- simple host objects -----------------------------------------------------

SimpleStandardsList::SimpleStandardsList(std::vector<std::pair<std::string, std::string>> items) {
    for (auto& [g, c] : items) add(g, c);
}

void SimpleStandardsList::add(std::string group, std::string complete) {
    m_items.push_back(std::make_shared<SimpleStandard>(std::move(group), std::move(complete)));
}

void SimpleWindowSettings::ApplySettings(Control& form) {
    Rect r{};
    if (!m_key.empty()) {
        StoreRegistry reg;
        reg.OpenKey(HKEY_CURRENT_USER, m_key + "\\" + form.Name());
        Variant l = reg.ReadValue("Left"), t = reg.ReadValue("Top"), w = reg.ReadValue("Width"),
                h = reg.ReadValue("Height");
        if (l.isEmpty() || t.isEmpty() || w.isEmpty() || h.isEmpty()) return;
        r = {l.toInt32(), t.toInt32(), w.toInt32(), h.toInt32()};
    } else {
        auto it = m_rects.find(form.Name());
        if (it == m_rects.end()) return;
        r = it->second;
    }
    if (r.w > 0 && r.h > 0) form.Move(r.l, r.t, r.w, r.h);
}

void SimpleWindowSettings::StoreSettings(Control& form) {
    Rect r{form.Left(), form.Top(), form.Width(), form.Height()};
    if (m_key.empty()) {
        m_rects[form.Name()] = r;
        return;
    }
    StoreRegistry reg;
    reg.OpenKey(HKEY_CURRENT_USER, m_key + "\\" + form.Name());
    reg.WriteValue("Left", r.l);
    reg.WriteValue("Top", r.t);
    reg.WriteValue("Width", r.w);
    reg.WriteValue("Height", r.h);
}

}  // namespace tavixTGCL2
