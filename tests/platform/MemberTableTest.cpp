// Walks every late-bound member table: names and dispatch numbers are unique,
// every read-write property written by name, by a call with an argument and
// by number lands in its typed member and reads back the same by name and by
// number, read-only and write-only members refuse the other direction, and
// every method is reached by name and by number. A miswired table must fail
// the walk.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

#include "content/XPaneComment.h"
#include "content/XPaneDutInfo.h"
#include "content/XPaneProcedure.h"
#include "content/XTab.h"
#include "content/XTgContentPane.h"
#include "content/XWebToolbar.h"
#include "views/XItemCollEdit.h"
#include "views/XRichEdit.h"
#include "platform/CommandBars.h"
#include "platform/HtmlDocument.h"
#include "platform/Line.h"
#include "platform/MemberTable.h"
#include "platform/WebBrowser.h"
#include "progress/XTgProgressBar.h"

using namespace tavixTGCL2;

namespace {

template <class T>
using Readings = std::map<std::string, std::function<Variant(T&)>>;

// What a call gave, comparable across calls: the value's type and text, or
// the error's number and text. Objects compare by kind only.
std::string outcome(const std::function<Variant()>& call) {
    try {
        Variant v = call();
        if (v.isObject()) return "object";
        return std::to_string(static_cast<int>(v.type())) + ":" + v.toString();
    } catch (const Error& e) {
        return "error " + std::to_string(e.code()) + ": " + e.what();
    }
}

bool unknownMember(const std::string& o) { return o.rfind("error 438: Object doesn't support", 0) == 0; }

// A value the property does not hold yet, of the kind it holds.
Variant sampleFor(const Variant& current, const std::string& name, int round) {
    switch (current.type()) {
        case Variant::Type::Bool: return !current.toBool();
        case Variant::Type::String: return name + " " + std::to_string(round);
        case Variant::Type::Int16: return static_cast<std::int16_t>(current.toInt16() == 3 ? 2 : 3);
        default: return static_cast<std::int32_t>(current.toInt32() == 3 ? 2 : 3);
    }
}

std::string hexId(std::int32_t id) {
    std::ostringstream o;
    o << "#0x" << std::hex << static_cast<std::uint32_t>(id);
    return o.str();
}

template <class T>
std::vector<std::string> walk(const MemberTable<T>& table, const std::function<std::shared_ptr<T>()>& make,
                              const Readings<T>& typed) {
    std::vector<std::string> problems;
    auto problem = [&](const std::string& name, const std::string& what) { problems.push_back(name + ": " + what); };
    std::set<std::int32_t> ids;
    const auto& entries = table.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];
        const std::string name(e.name);
        if (i > 0 && entries[i - 1].name == e.name) problem(name, "declared twice");
        if (e.dispId && !ids.insert(*e.dispId).second) problem(name, "dispatch number used twice");
        const std::string byId = e.dispId ? hexId(*e.dispId) : name;
        auto call = [&](T& t, const std::string& member) {
            VariantList none;
            return outcome([&] { return table.invoke(t, member, none); });
        };
        if (e.call) {
            auto a = make(), b = make();
            std::string named = call(*a, name), numbered = call(*b, byId);
            if (unknownMember(named)) problem(name, "method not reached: " + named);
            if (numbered != named) problem(name, "by number " + numbered + ", by name " + named);
            continue;
        }
        auto t = make();
        if (!e.get && !e.set) {
            if (call(*t, byId) != "error 438: Object doesn't support this property or method: " + byId)
                problem(name, "an unreachable member answers");
            continue;
        }
        if (!e.get) {
            if (call(*t, name).rfind("error 438:", 0) != 0) problem(name, "a write-only property reads");
            continue;
        }
        if (!e.set) {
            if (unknownMember(call(*t, name))) problem(name, "not readable");
            if (call(*t, byId) != call(*t, name)) problem(name, "reads differently by number");
            if (!unknownMember(outcome([&] { return table.setProperty(*t, name, 1), Variant(); })))
                problem(name, "a read-only property was written");
            continue;
        }
        auto reading = typed.find(name);
        if (reading == typed.end()) {
            problem(name, "no typed reading in this test");
            continue;
        }
        const std::function<void(const Variant&)> writes[] = {
            [&](const Variant& v) { table.setProperty(*t, name, v); },
            [&](const Variant& v) {
                VariantList args{v};
                table.invoke(*t, name, args);
            },
            [&](const Variant& v) { table.setProperty(*t, byId, v); },
        };
        if (!reading->second) {  // the control keeps its own value
            VariantList none;
            Variant v = sampleFor(table.invoke(*t, name, none), name, 1);
            writes[0](v);
            if (call(*t, byId) != call(*t, name)) problem(name, "reads differently by number");
            continue;
        }
        int round = 0;
        for (const auto& write : writes) {
            Variant v = sampleFor(reading->second(*t), name, ++round);
            std::string written = outcome([&] { return write(v), v; });
            if (written.rfind("error", 0) == 0) problem(name, "write " + std::to_string(round) + ": " + written);
            else if (!(reading->second(*t) == v))
                problem(name, "write " + std::to_string(round) + " missed the typed member");
            else if (call(*t, name) != outcome([&] { return v; }) || call(*t, byId) != call(*t, name))
                problem(name, "reads back " + call(*t, name) + " after writing " + v.toString());
        }
    }
    return problems;
}

// The members every control has, read through their typed accessors.
template <class T>
Readings<T> controlReadings() {
    return {
        {"Visible", [](T& c) { return Variant(c.Visible()); }},
        {"Enabled", [](T& c) { return Variant(c.Enabled()); }},
        {"Left", [](T& c) { return Variant(c.Left()); }},
        {"Top", [](T& c) { return Variant(c.Top()); }},
        {"Width", [](T& c) { return Variant(c.Width()); }},
        {"Height", [](T& c) { return Variant(c.Height()); }},
        {"Caption", [](T& c) { return Variant(c.Control::Caption()); }},
        {"ToolTipText", [](T& c) { return Variant(c.ToolTipText()); }},
        {"Tag", [](T& c) { return c.Tag; }},
        {"TabStop", [](T& c) { return Variant(c.TabStop()); }},
        {"TabIndex", [](T& c) { return Variant(c.TabIndex()); }},
    };
}

Variant colour(OleColor c) { return static_cast<std::int32_t>(c); }

template <class T>
std::function<std::shared_ptr<T>()> onForm(const std::shared_ptr<Control>& form) {
    return [form] {
        if constexpr (std::is_same_v<T, Control>) return form->create<Control>("Control");
        else return form->create<T>();
    };
}

template <class T>
void expectClean(const std::function<std::shared_ptr<T>()>& make, Readings<T> typed) {
    for (const std::string& p : walk(MemberTables::of<T>(), make, typed)) ADD_FAILURE() << typeid(T).name() << " " << p;
}

template <class T>
Readings<T> with(Readings<T> base, const Readings<T>& own) {
    for (const auto& [name, reading] : own) base.insert_or_assign(name, reading);
    return base;
}

}  // namespace

TEST(MemberTable, EveryPlatformTableReachesItsMembers) {
    auto form = std::make_shared<Control>("Form", "frmTables");
    CommandBars bars;
    expectClean<Control>(onForm<Control>(form), controlReadings<Control>());
    expectClean<Line>(onForm<Line>(form), with<Line>(controlReadings<Line>(), {
        {"X1", [](Line& l) { return Variant(l.X1()); }},
        {"Y1", [](Line& l) { return Variant(l.Y1()); }},
        {"X2", [](Line& l) { return Variant(l.X2()); }},
        {"Y2", [](Line& l) { return Variant(l.Y2()); }},
        {"BorderWidth", [](Line& l) { return Variant(l.BorderWidth()); }},
        {"BorderColor", [](Line& l) { return colour(l.BorderColor()); }},
    }));
    expectClean<CommandBar>([&bars] {
        return bars.Add("Bar" + std::to_string(bars.Count() + 1));
    }, controlReadings<CommandBar>());
    expectClean<WebBrowser>(onForm<WebBrowser>(form), controlReadings<WebBrowser>());
    auto document = [] { return std::make_shared<HtmlDocument>("about:blank", "<html><body>x</body></html>"); };
    expectClean<HtmlDocument>(document, {});
    expectClean<HtmlBody>([document] {
        auto d = document();
        return std::shared_ptr<HtmlBody>(d, &d->body());
    }, {{"innerHTML", [](HtmlBody& b) { return Variant(b.innerHTML()); }}});
}

TEST(MemberTable, EveryControlTableReachesItsMembers) {
    auto form = std::make_shared<Control>("Form", "frmTables");
    expectClean<XRichEdit>(onForm<XRichEdit>(form), with<XRichEdit>(controlReadings<XRichEdit>(), {
        {"TextRTF", [](XRichEdit& r) { return Variant(r.TextRTF()); }},
        {"AutoURLDetect", [](XRichEdit& r) { return Variant(r.AutoURLDetect()); }},
        {"BackColor", [](XRichEdit& r) { return colour(r.BackColor()); }},
    }));
    expectClean<XItemCollEdit>(onForm<XItemCollEdit>(form), with<XItemCollEdit>(controlReadings<XItemCollEdit>(), {
        {"ReadOnly", [](XItemCollEdit& e) { return Variant(e.ReadOnly()); }},
        {"BackColor", [](XItemCollEdit& e) { return colour(e.BackColor()); }},
    }));
    expectClean<XTgProgressBar>(onForm<XTgProgressBar>(form), with<XTgProgressBar>(controlReadings<XTgProgressBar>(), {
        {"Text", [](XTgProgressBar& b) { return Variant(b.Text()); }},
        {"XpStyle", [](XTgProgressBar& b) { return Variant(b.XpStyle()); }},
        {"Value", [](XTgProgressBar& b) { return Variant(b.Value()); }},
        {"Animate", [](XTgProgressBar& b) { return Variant(b.Animate()); }},
    }));
    // A tab keeps its size whatever it is given.
    expectClean<XTab>(onForm<XTab>(form),
                      with<XTab>(controlReadings<XTab>(), {{"Width", nullptr}, {"Height", nullptr}}));
    expectClean<XPaneProcedure>(onForm<XPaneProcedure>(form), with<XPaneProcedure>(controlReadings<XPaneProcedure>(), {
        {"Caption", [](XPaneProcedure& p) { return Variant(p.Caption()); }},
        {"DotNetRtf", [](XPaneProcedure& p) { return Variant(p.DotNetRtf()); }},
    }));
    expectClean<XPaneDutInfo>(onForm<XPaneDutInfo>(form), with<XPaneDutInfo>(controlReadings<XPaneDutInfo>(), {
        {"BackColor", [](XPaneDutInfo& p) { return colour(p.BackColor()); }},
    }));
    expectClean<XWebToolbar>(onForm<XWebToolbar>(form), with<XWebToolbar>(controlReadings<XWebToolbar>(), {
        {"BackColor", [](XWebToolbar& t) { return colour(t.BackColor()); }},
    }));
    expectClean<XPaneComment>(onForm<XPaneComment>(form), with<XPaneComment>(controlReadings<XPaneComment>(), {
        {"Comment", [](XPaneComment& p) { return Variant(p.Comment()); }},
    }));
    expectClean<XTgContentPane>(onForm<XTgContentPane>(form), with<XTgContentPane>(controlReadings<XTgContentPane>(), {
        {"ResultViewState", [](XTgContentPane& p) { return Variant(p.ResultViewState()); }},
        {"SplitterCaption", [](XTgContentPane& p) { return Variant(p.SplitterCaption()); }},
        {"DotNetRtf", [](XTgContentPane& p) { return Variant(p.DotNetRtf()); }},
    }));
}

TEST(MemberTable, AMiswiredTableFailsTheWalk) {
    auto form = std::make_shared<Control>("Form", "frmTables");
    using M = MemberTable<Line>;
    auto readings = with<Line>(controlReadings<Line>(), {
        {"X1", [](Line& l) { return Variant(l.X1()); }},
        {"Y1", [](Line& l) { return Variant(l.Y1()); }},
    });
    // The setter of the neighbour, both accessors of the neighbour, a
    // number twice, a name twice, a method that is never reached.
    const M crossed({M::property("X1", &Line::X1, &Line::setY1)});
    const M both({M::property("X1", &Line::Y1, &Line::setY1)});
    const M numbers({M::property("X1", 1, &Line::X1, &Line::setX1), M::property("Y1", 1, &Line::Y1, &Line::setY1)},
                    {.dispatchId = [](const std::string&) { return std::optional<std::int32_t>(1); }});
    const M twice({M::readOnly("X1", &Line::X1), M::readOnly("X1", &Line::X2)});
    const M unreached({M::method("Swap", 7, [](Line&, MemberCall&) {})});
    for (const M* table : {&crossed, &both, &numbers, &twice, &unreached})
        EXPECT_FALSE(walk<Line>(*table, onForm<Line>(form), readings).empty());
}
