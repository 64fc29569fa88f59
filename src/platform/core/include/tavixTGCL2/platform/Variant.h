#pragma once
// A small late-binding value: what the property store holds, what by-name
// calls on host controls take and return, and the arguments of generic events.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tavixTGCL2 {

class Object;
using ObjectPtr = std::shared_ptr<Object>;

class TGCL_API Variant {
public:
    enum class Type { Empty, Bool, Int16, Int32, Single, Double, String, Object };

    Variant() = default;
    Variant(bool v) : m_v(v) {}
    Variant(std::int16_t v) : m_v(v) {}
    Variant(std::int32_t v) : m_v(v) {}
    Variant(float v) : m_v(v) {}
    Variant(double v) : m_v(v) {}
    Variant(std::string v) : m_v(std::move(v)) {}
    Variant(const char* v) : m_v(std::string(v ? v : "")) {}
    Variant(ObjectPtr v) : m_v(std::move(v)) {}

    Type type() const { return static_cast<Type>(m_v.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isObject() const { return type() == Type::Object; }
    bool isNumeric() const;

    // Conversions follow the lenient rules a host expects of such a value:
    // empty converts to 0, "" or False; a numeric string converts to its
    // number; anything that cannot convert throws Error(errTypeMismatch).
    bool toBool() const;
    std::int16_t toInt16() const;   // throws errOverflow when out of range
    std::int32_t toInt32() const;   // throws errOverflow when out of range
    double toDouble() const;
    std::string toString() const;
    ObjectPtr toObject() const;     // empty gives nullptr; others throw

    friend bool operator==(const Variant& a, const Variant& b);

private:
    std::variant<std::monostate, bool, std::int16_t, std::int32_t, float, double, std::string,
                 ObjectPtr>
        m_v;
};

using VariantList = std::vector<Variant>;

// Anything that can be called by member name: host controls ("Move",
// "Visible", "ZOrder"), host objects and the controls of our own tree.
class TGCL_API Object {
public:
    virtual ~Object() = default;
    // Calls a method or reads a property by name. Unknown members throw
    // Error(errNoSuchMember).
    virtual Variant invoke(const std::string& member, VariantList& args);
    // Writes a property by name. Unknown members throw Error(errNoSuchMember).
    virtual void setProperty(const std::string& member, const Variant& value);
    Variant getProperty(const std::string& member);
};

// A class's late-bound members are declared once, in a table private to the
// library (each class's members(), reached through MemberTables).
template <class T>
class TGCL_HIDDEN MemberTable;
struct TGCL_HIDDEN MemberTables;

}  // namespace tavixTGCL2
