#pragma once
// The late-bound members of a class, each declared once with its name, its
// dispatch number where the interface has one, and what reading, writing or
// calling it does. A class's invoke and setProperty hand over to its table;
// a derived class's table starts from its base's and replaces entries of the
// same name, so one lookup finds any member however deep the class is.
//
// The rules every table follows are those hosts have always seen:
// - names are case-sensitive; "#<number>" names a member by dispatch number
//   when the class reads such names (an unknown number is just an unknown name);
// - a method is called whatever the arguments;
// - a property named with at least one argument is set from the first one
//   (through the object's setProperty, so an override further down is honoured);
// - without arguments a property is read;
// - anything else is Object's "doesn't support this property or method"
//   error, naming the member as the caller wrote it.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/Control.h"
#include "platform/Error.h"
#include "platform/Variant.h"

namespace tavixTGCL2 {

// What a method gets: its arguments, which it may write back (by-reference
// parameters), and its name for the errors it reports.
struct TGCL_HIDDEN MemberCall {
    std::string_view name;
    VariantList& args;

    const Variant& arg(std::size_t i) const {
        if (i >= args.size()) throw Error(errGeneric, "Argument not optional: " + std::string(name));
        return args[i];
    }
};

template <class T>
struct TGCL_HIDDEN Member {
    std::string_view name;
    std::optional<std::int32_t> dispId;
    std::function<Variant(T&)> get;
    std::function<void(T&, const Variant&)> set;
    std::function<Variant(T&, MemberCall&)> call;
};

struct TGCL_HIDDEN MemberTableOptions {
    // How the class reads "#<number>" names; nullptr when it has no numbers.
    std::optional<std::int32_t> (*dispatchId)(const std::string&) = nullptr;
    // Reading a property that can only be written says so, instead of the
    // unknown-member error (the content pane's interface reports it).
    bool reportWriteOnly = false;
};

namespace member_detail {

template <class R>
Variant toVariant(R&& r) {
    using V = std::remove_cvref_t<R>;
    if constexpr (std::is_same_v<V, Variant> || std::is_same_v<V, bool> || std::is_same_v<V, std::int16_t> ||
                  std::is_same_v<V, std::int32_t> || std::is_same_v<V, float> || std::is_same_v<V, double> ||
                  std::is_same_v<V, std::string> || std::is_same_v<V, ObjectPtr>)
        return Variant(std::forward<R>(r));
    else if constexpr (std::is_same_v<V, OleColor>)
        // Colours travel as Long, the high bit marking a system colour.
        return Variant(static_cast<std::int32_t>(r));
    else
        static_assert(sizeof(V) == 0, "no late-bound form for this type; give the entry a lambda");
}

template <class V>
V fromVariant(const Variant& v) {
    if constexpr (std::is_same_v<V, Variant>) return v;
    else if constexpr (std::is_same_v<V, bool>) return v.toBool();
    else if constexpr (std::is_same_v<V, std::int16_t>) return v.toInt16();
    else if constexpr (std::is_same_v<V, std::int32_t>) return v.toInt32();
    else if constexpr (std::is_same_v<V, double>) return v.toDouble();
    else if constexpr (std::is_same_v<V, std::string>) return v.toString();
    else if constexpr (std::is_same_v<V, ObjectPtr>) return v.toObject();
    else if constexpr (std::is_same_v<V, OleColor>) return static_cast<OleColor>(v.toInt32());
    else static_assert(sizeof(V) == 0, "no late-bound form for this type; give the entry a lambda");
}

template <class S>
struct SetterArg;
template <class C, class A>
struct SetterArg<void (C::*)(A)> {
    using type = std::remove_cvref_t<A>;
};
template <class C, class A>
struct SetterArg<A C::*> {
    using type = A;
};

template <class T, class G>
std::function<Variant(T&)> getter(G g) {
    return [g](T& t) { return toVariant(std::invoke(g, t)); };
}

template <class T, class S>
std::function<void(T&, const Variant&)> setter(S s) {
    if constexpr (std::is_invocable_v<S, T&, const Variant&>) {
        return s;
    } else if constexpr (std::is_member_function_pointer_v<S>) {
        using A = typename SetterArg<S>::type;
        return [s](T& t, const Variant& v) { (t.*s)(fromVariant<A>(v)); };
    } else {
        static_assert(std::is_member_object_pointer_v<S>, "a setter is a member, a data member or a lambda");
        using A = typename SetterArg<S>::type;
        return [s](T& t, const Variant& v) { t.*s = fromVariant<A>(v); };
    }
}

}  // namespace member_detail

template <class T>
class TGCL_HIDDEN MemberTable {
public:
    using Entry = Member<T>;

    // A property read and written by name.
    template <class G, class S>
    static Entry property(std::string_view name, G get, S set) {
        return {name, std::nullopt, member_detail::getter<T>(get), member_detail::setter<T>(set), {}};
    }
    template <class G, class S>
    static Entry property(std::string_view name, std::int32_t dispId, G get, S set) {
        Entry e = property(name, get, set);
        e.dispId = dispId;
        return e;
    }
    template <class G>
    static Entry readOnly(std::string_view name, G get) {
        return {name, std::nullopt, member_detail::getter<T>(get), {}, {}};
    }
    template <class G>
    static Entry readOnly(std::string_view name, std::int32_t dispId, G get) {
        Entry e = readOnly(name, get);
        e.dispId = dispId;
        return e;
    }
    template <class S>
    static Entry writeOnly(std::string_view name, S set) {
        return {name, std::nullopt, {}, member_detail::setter<T>(set), {}};
    }
    template <class S>
    static Entry writeOnly(std::string_view name, std::int32_t dispId, S set) {
        Entry e = writeOnly(name, set);
        e.dispId = dispId;
        return e;
    }
    // fn(T&, MemberCall&) returning a value or nothing.
    template <class F>
    static Entry method(std::string_view name, F fn) {
        Entry e{name, std::nullopt, {}, {}, {}};
        if constexpr (std::is_void_v<std::invoke_result_t<F, T&, MemberCall&>>)
            e.call = [fn](T& t, MemberCall& c) {
                fn(t, c);
                return Variant();
            };
        else
            e.call = [fn](T& t, MemberCall& c) { return Variant(fn(t, c)); };
        return e;
    }
    template <class F>
    static Entry method(std::string_view name, std::int32_t dispId, F fn) {
        Entry e = method(name, fn);
        e.dispId = dispId;
        return e;
    }
    // A member of the interface that late-bound callers cannot use (it takes
    // host objects a Variant cannot carry): its number still resolves, to the
    // unknown-member error a caller has always had.
    static Entry unreachable(std::string_view name, std::int32_t dispId) { return {name, dispId, {}, {}, {}}; }

    explicit MemberTable(std::initializer_list<Entry> own, MemberTableOptions options = {})
        : m_entries(own), m_options(options) {
        index();
    }

    template <class Base>
        requires(std::is_base_of_v<Base, T> && !std::is_same_v<Base, T>)
    MemberTable(const MemberTable<Base>& base, std::initializer_list<Entry> own, MemberTableOptions options = {})
        : m_entries(own), m_options(options) {
        for (const Member<Base>& b : base.entries()) {
            bool replaced = std::any_of(own.begin(), own.end(), [&](const Entry& e) { return e.name == b.name; });
            if (replaced) continue;
            Entry e{b.name, b.dispId, {}, {}, {}};
            if (b.get) e.get = b.get;
            if (b.set) e.set = b.set;
            if (b.call) e.call = b.call;
            m_entries.push_back(std::move(e));
        }
        index();
    }

    // Sorted by name; duplicates are kept, so a test can find them.
    const std::vector<Entry>& entries() const { return m_entries; }
    const MemberTableOptions& options() const { return m_options; }

    const Entry* find(const std::string& member) const {
        if (m_options.dispatchId && !member.empty() && member[0] == '#') {
            if (std::optional<std::int32_t> id = m_options.dispatchId(member))
                for (const auto& [dispId, at] : m_ids)
                    if (dispId == *id) return &m_entries[at];
        }
        const std::string_view name(member);
        auto it = std::lower_bound(m_entries.begin(), m_entries.end(), name,
                                   [](const Entry& e, std::string_view n) { return e.name < n; });
        return it != m_entries.end() && it->name == name ? &*it : nullptr;
    }

    Variant invoke(T& self, const std::string& member, VariantList& args) const {
        const Entry* e = find(member);
        if (e && e->call) {
            MemberCall call{e->name, args};
            return e->call(self, call);
        }
        if (!args.empty()) {
            self.setProperty(member, args[0]);
            return {};
        }
        if (e && e->get) return e->get(self);
        if (e && e->set && m_options.reportWriteOnly)
            throw Error(errNoSuchMember, "Property is write-only: " + std::string(e->name));
        return self.Object::invoke(member, args);
    }

    void setProperty(T& self, const std::string& member, const Variant& value) const {
        const Entry* e = find(member);
        if (e && e->set) e->set(self, value);
        else self.Object::setProperty(member, value);
    }

private:
    void index() {
        // The order is found on positions and the entries moved once: a
        // standard algorithm run on the entries themselves would be
        // instantiated over this private type with the library's exported
        // visibility, putting its name in the binary interface.
        std::vector<std::size_t> order(m_entries.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return m_entries[a].name < m_entries[b].name; });
        std::vector<Entry> sorted;
        sorted.reserve(m_entries.size());
        for (std::size_t i : order) sorted.push_back(std::move(m_entries[i]));
        m_entries = std::move(sorted);
        for (std::size_t i = 0; i < m_entries.size(); ++i)
            if (m_entries[i].dispId) m_ids.emplace_back(*m_entries[i].dispId, i);
    }

    std::vector<Entry> m_entries;
    std::vector<std::pair<std::int32_t, std::size_t>> m_ids;
    MemberTableOptions m_options;
};

// The one door to the tables, which are private to their classes: derived
// tables start from their base's, and the tests walk them.
struct TGCL_HIDDEN MemberTables {
    template <class T>
    static const auto& of() {
        return T::members();
    }
};

}  // namespace tavixTGCL2
