#include "platform/PropertyBag.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "platform/Error.h"

namespace tavixTGCL2 {

namespace {

constexpr const char* kHeader = "# tavixTGCL2 property bag 1";

std::string escape(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7f) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\x%02X", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string unescape(const std::string& quoted, int line) {
    auto bad = [line](const char* why) {
        return Error(errGeneric, "property bag line " + std::to_string(line) + ": " + why);
    };
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
        throw bad("string not quoted");
    const std::string s = quoted.substr(1, quoted.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') throw bad("unescaped quote");
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= s.size()) throw bad("dangling escape");
        switch (s[i]) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'x': {
                if (i + 2 >= s.size()) throw bad("short \\x escape");
                int h = hexDigit(s[i + 1]), l = hexDigit(s[i + 2]);
                if (h < 0 || l < 0) throw bad("bad \\x escape");
                out += static_cast<char>(h * 16 + l);
                i += 2;
                break;
            }
            default: throw bad("unknown escape");
        }
    }
    return out;
}

std::string trim(const std::string& s) {
    auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

}  // namespace

bool PropertyBag::Less::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

Variant PropertyBag::ReadProperty(const std::string& name, const Variant& defaultValue) const {
    auto it = m_values.find(name);
    return it == m_values.end() ? defaultValue : it->second;
}

void PropertyBag::WriteProperty(const std::string& name, const Variant& value,
                                const Variant& defaultValue) {
    if (name.empty() || name.find_first_of("=\r\n") != std::string::npos ||
        trim(name) != name || name[0] == '#')
        throw Error(errInvalidProperty, "invalid property name '" + name + "'");
    if (value.isObject()) throw Error(errTypeMismatch, "an object cannot be stored: " + name);
    if (value == defaultValue && value.type() == defaultValue.type()) {
        m_values.erase(name);
        return;
    }
    m_values.insert_or_assign(name, value);
}

bool PropertyBag::contains(const std::string& name) const { return m_values.count(name) != 0; }

std::string PropertyBag::toText() const {
    std::ostringstream out;
    out << kHeader << '\n';
    for (const auto& [key, v] : m_values) {
        out << key << " = ";
        switch (v.type()) {
            case Variant::Type::Empty: out << "EMPTY"; break;
            case Variant::Type::Bool: out << "BOOL " << (v.toBool() ? "True" : "False"); break;
            case Variant::Type::Int16: out << "I2 " << v.toInt16(); break;
            case Variant::Type::Int32: out << "I4 " << v.toInt32(); break;
            case Variant::Type::Single: out << "R4 " << v.toString(); break;
            case Variant::Type::Double: out << "R8 " << v.toString(); break;
            case Variant::Type::String: out << "STR " << escape(v.toString()); break;
            case Variant::Type::Object: break;  // never stored
        }
        out << '\n';
    }
    return out.str();
}

PropertyBag PropertyBag::parse(const std::string& text) {
    PropertyBag bag;
    std::istringstream in(text);
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        std::string l = trim(raw);
        if (l.empty() || l[0] == '#') continue;
        auto bad = [line](const std::string& why) {
            return Error(errGeneric, "property bag line " + std::to_string(line) + ": " + why);
        };
        auto eq = l.find(" = ");
        if (eq == std::string::npos) throw bad("expected 'Key = TYPE value'");
        std::string key = trim(l.substr(0, eq));
        std::string rest = l.substr(eq + 3);
        auto sp = rest.find(' ');
        std::string type = rest.substr(0, sp);
        std::string val = sp == std::string::npos ? std::string() : rest.substr(sp + 1);
        Variant v;
        try {
            if (type == "EMPTY") v = Variant();
            else if (type == "BOOL") {
                if (val != "True" && val != "False") throw bad("BOOL must be True or False");
                v = Variant(val == "True");
            } else if (type == "I2") v = Variant(Variant(val).toInt16());
            else if (type == "I4") v = Variant(Variant(val).toInt32());
            else if (type == "R4") v = Variant(static_cast<float>(Variant(val).toDouble()));
            else if (type == "R8") v = Variant(Variant(val).toDouble());
            else if (type == "STR") v = Variant(unescape(val, line));
            else throw bad("unknown type '" + type + "'");
        } catch (const Error& e) {
            if (std::string(e.what()).rfind("property bag line", 0) == 0) throw;
            throw bad(std::string("bad ") + type + " value: " + e.what());
        }
        if (type != "EMPTY" && val.empty() && type != "STR") throw bad("missing value");
        if (key.empty()) throw bad("empty key");
        bag.m_values.insert_or_assign(key, v);
    }
    return bag;
}

std::optional<PropertyBag> PropertyBag::tryParse(const std::string& text, std::string* error) {
    try {
        return parse(text);
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return std::nullopt;
    }
}

}  // namespace tavixTGCL2
