#include "platform/Variant.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/Error.h"

namespace tavixTGCL2 {

namespace {

// Parses a whole string as a number, tolerating surrounding blanks, as a
// host's lenient conversion does. Returns false when it is not a number.
bool parseNumber(const std::string& s, double& out) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return false;
    std::size_t e = s.find_last_not_of(" \t");
    std::string t = s.substr(b, e - b + 1);
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h')) {
        long long v = 0;
        auto r = std::from_chars(t.data() + 2, t.data() + t.size(), v, 16);
        if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
        out = static_cast<double>(v);
        return true;
    }
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || errno == ERANGE || std::isnan(v)) return false;
    out = v;
    return true;
}

template <class T>
T roundChecked(double d) {
    // Banker's rounding, as the host platform's integer conversion does.
    double r = std::nearbyint(d);
    if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
          r <= static_cast<double>(std::numeric_limits<T>::max())))
        throw Error(errOverflow, "Overflow");
    return static_cast<T>(r);
}

}  // namespace

bool Variant::isNumeric() const {
    switch (type()) {
        case Type::Bool:
        case Type::Int16:
        case Type::Int32:
        case Type::Single:
        case Type::Double:
            return true;
        case Type::String: {
            double d;
            return parseNumber(std::get<std::string>(m_v), d);
        }
        default:
            return false;
    }
}

double Variant::toDouble() const {
    switch (type()) {
        case Type::Empty: return 0;
        case Type::Bool: return std::get<bool>(m_v) ? -1 : 0;  // True is -1 on the host platform
        case Type::Int16: return std::get<std::int16_t>(m_v);
        case Type::Int32: return std::get<std::int32_t>(m_v);
        case Type::Single: return std::get<float>(m_v);
        case Type::Double: return std::get<double>(m_v);
        case Type::String: {
            const auto& s = std::get<std::string>(m_v);
            double d;
            if (parseNumber(s, d)) return d;
            if (s == "True") return -1;
            if (s == "False") return 0;
            throw Error(errTypeMismatch, "Type mismatch");
        }
        case Type::Object: break;
    }
    throw Error(errTypeMismatch, "Type mismatch");
}

bool Variant::toBool() const {
    switch (type()) {
        case Type::Bool: return std::get<bool>(m_v);
        case Type::String: {
            const auto& s = std::get<std::string>(m_v);
            if (s == "True" || s == "true") return true;
            if (s == "False" || s == "false") return false;
            return toDouble() != 0;
        }
        default: return toDouble() != 0;
    }
}

std::int16_t Variant::toInt16() const {
    if (type() == Type::Bool) return std::get<bool>(m_v) ? -1 : 0;
    return roundChecked<std::int16_t>(toDouble());
}

std::int32_t Variant::toInt32() const {
    if (type() == Type::Bool) return std::get<bool>(m_v) ? -1 : 0;
    return roundChecked<std::int32_t>(toDouble());
}

std::string Variant::toString() const {
    switch (type()) {
        case Type::Empty: return {};
        case Type::Bool: return std::get<bool>(m_v) ? "True" : "False";
        case Type::Int16: return std::to_string(std::get<std::int16_t>(m_v));
        case Type::Int32: return std::to_string(std::get<std::int32_t>(m_v));
        case Type::Single:
        case Type::Double: {
            double d = toDouble();
            if (d == std::floor(d) && std::fabs(d) < 1e15)
                return std::to_string(static_cast<long long>(d));
            char buf[64];
            std::snprintf(buf, sizeof buf, type() == Type::Single ? "%.7g" : "%.15g", d);
            return buf;
        }
        case Type::String: return std::get<std::string>(m_v);
        case Type::Object: break;
    }
    throw Error(errTypeMismatch, "Type mismatch");
}

ObjectPtr Variant::toObject() const {
    if (type() == Type::Empty) return nullptr;
    if (type() == Type::Object) return std::get<ObjectPtr>(m_v);
    throw Error(errTypeMismatch, "Object required");
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.type() == b.type()) return a.m_v == b.m_v;
    if (a.isEmpty() || b.isEmpty()) return false;
    if (a.type() == Variant::Type::String || b.type() == Variant::Type::String ||
        a.isObject() || b.isObject())
        return false;
    return a.toDouble() == b.toDouble();
}

Variant Object::invoke(const std::string& member, VariantList&) {
    throw Error(errNoSuchMember, "Object doesn't support this property or method: " + member);
}

void Object::setProperty(const std::string& member, const Variant&) {
    throw Error(errNoSuchMember, "Object doesn't support this property or method: " + member);
}

Variant Object::getProperty(const std::string& member) {
    VariantList none;
    return invoke(member, none);
}

}  // namespace tavixTGCL2
