// Design-time bar definitions: reading them into a CommandBars and writing
// the bars back. The format is described in docs/command-bars.md.
#include <cctype>
#include <charconv>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/CommandBars.h"

namespace tavixTGCL2 {

namespace {

struct ControlDef {
    std::int32_t line = 0;
    std::int32_t type = cbcButton;
    std::int32_t id = 0;
    std::string caption, toolTip, parameter;
    std::optional<std::string> category, menuTitle;
    bool group = false, visible = true, enabled = true, checked = false;
    std::int32_t style = cbsAutomatic, flags = 0, iconId = 0;
    std::vector<ControlDef> menu;
};

struct BarDef {
    std::int32_t line = 0;
    bool menuBar = false;
    std::int32_t id = 0;
    std::string name;
    std::optional<std::string> category;
    std::int32_t position = cbpTop;
    std::optional<std::int32_t> docking;
    std::int32_t iconWidth = 0, iconHeight = 0;  // 0: the bar's default
    bool visible = true, textBelow = false;
    std::optional<bool> gripper, expand, customizable, contextMenu;
    std::vector<ControlDef> controls;
};

struct Token {
    enum Kind { Word, String, Assign, Open, Close } kind;
    std::string text;   // word, string, or the key of an assignment
    std::string value;  // value of an assignment
};

const char* const kControlKinds[] = {nullptr, "button", "popup", "buttonpopup", "split", nullptr, nullptr, "custom"};
const char* const kStyles[] = {"automatic", "caption", "icon", "iconcaption", "iconcaptionbelow"};
const char* const kPositions[] = {"top", "bottom", "left", "right", "floating", "popup"};

class Parser {
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    std::vector<BarDef> parse() {
        std::istringstream in(m_text);
        std::string line;
        bool headerSeen = false;
        while (std::getline(in, line)) {
            ++m_line;
            if (m_line == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            auto tokens = tokenize(line);
            if (tokens.empty()) continue;
            if (!headerSeen) {
                header(tokens);
                headerSeen = true;
                continue;
            }
            statement(tokens);
        }
        if (!headerSeen) fail(std::max(m_line, 1), "the text is empty; it must start with \"commandbars 1\"");
        if (!m_open.empty())
            fail(m_line, "the block opened on line " + std::to_string(m_open.back()) + " is not closed");
        return std::move(m_bars);
    }

private:
    [[noreturn]] void fail(std::int32_t line, const std::string& problem) const {
        throw CommandBarDefinitionError(line, problem);
    }
    [[noreturn]] void fail(const std::string& problem) const { fail(m_line, problem); }

    std::vector<Token> tokenize(const std::string& line) const {
        std::vector<Token> out;
        std::size_t i = 0;
        auto isWordChar = [](char c) {
            return c != ' ' && c != '\t' && c != '"' && c != '=' && c != '{' && c != '}' && c != '#';
        };
        while (i < line.size()) {
            char c = line[i];
            if (c == ' ' || c == '\t') {
                ++i;
            } else if (c == '#') {
                break;
            } else if (c == '{' || c == '}') {
                out.push_back({c == '{' ? Token::Open : Token::Close, std::string(1, c), {}});
                ++i;
            } else if (c == '"') {
                out.push_back({Token::String, quoted(line, i), {}});
            } else if (c == '=') {
                fail("\"=\" without a name before it");
            } else {
                std::size_t start = i;
                while (i < line.size() && isWordChar(line[i])) ++i;
                Token t{Token::Word, line.substr(start, i - start), {}};
                if (i < line.size() && line[i] == '=') {
                    ++i;
                    t.kind = Token::Assign;
                    if (i < line.size() && line[i] == '"') {
                        t.value = quoted(line, i);
                    } else {
                        std::size_t vs = i;
                        while (i < line.size() && isWordChar(line[i])) ++i;
                        if (i == vs) fail("no value after \"" + t.text + "=\"");
                        t.value = line.substr(vs, i - vs);
                    }
                }
                out.push_back(std::move(t));
            }
        }
        return out;
    }

    // Reads a quoted string starting at line[i] == '"'; i ends past it.
    std::string quoted(const std::string& line, std::size_t& i) const {
        std::string out;
        for (++i; i < line.size(); ++i) {
            char c = line[i];
            if (c == '"') {
                ++i;
                return out;
            }
            if (c == '\\') {
                if (++i >= line.size()) break;
                switch (line[i]) {
                    case '\\': out += '\\'; break;
                    case '"': out += '"'; break;
                    case 'n': out += '\n'; break;
                    case 't': out += '\t'; break;
                    default: fail(std::string("unknown escape \"\\") + line[i] + "\" in a quoted text");
                }
            } else {
                out += c;
            }
        }
        fail("a quoted text is not closed");
    }

    std::int32_t number(const std::string& text, const char* what) const {
        std::int32_t v = 0;
        const char* first = text.data();
        const char* last = first + text.size();
        int base = 10;
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            first += 2;
            base = 16;
        }
        auto [end, ec] = std::from_chars(first, last, v, base);
        if (ec != std::errc() || end != last || first == last)
            fail(std::string(what) + " must be a whole number, got \"" + text + "\"");
        return v;
    }

    bool boolean(const Token& t) const {
        if (t.value == "yes" || t.value == "true" || t.value == "1") return true;
        if (t.value == "no" || t.value == "false" || t.value == "0") return false;
        fail("\"" + t.text + "\" must be yes or no, got \"" + t.value + "\"");
    }

    std::int32_t named(const std::string& value, const char* const* names, std::size_t count, const char* what) {
        for (std::size_t i = 0; i < count; ++i)
            if (names[i] && value == names[i]) return static_cast<std::int32_t>(i);
        if (!value.empty() && (std::isdigit(static_cast<unsigned char>(value[0])) != 0)) {
            std::int32_t v = number(value, what);
            if (v >= 0 && static_cast<std::size_t>(v) < count && names[v]) return v;
        }
        fail(std::string("unknown ") + what + " \"" + value + "\"");
    }

    void header(const std::vector<Token>& t) {
        if (t.size() != 2 || t[0].kind != Token::Word || t[0].text != "commandbars" || t[1].kind != Token::Word)
            fail("a command-bar definition starts with \"commandbars 1\"");
        if (number(t[1].text, "the format version") != 1)
            fail("format version " + t[1].text + " is not known; this reader knows version 1");
    }

    void statement(const std::vector<Token>& t) {
        if (t[0].kind == Token::Close) {
            if (t.size() != 1) fail("\"}\" stands alone on its line");
            if (m_open.empty()) fail("\"}\" without an open block");
            m_open.pop_back();
            m_containers.pop_back();
            return;
        }
        if (t[0].kind != Token::Word) fail("a line starts with a keyword");
        const std::string& keyword = t[0].text;
        if (keyword == "bar" || keyword == "menubar") {
            if (!m_open.empty()) fail("a bar cannot be defined inside another block");
            barStatement(t);
            return;
        }
        std::int32_t type = 0;
        for (std::int32_t k = 0; k < 8; ++k)
            if (kControlKinds[k] && keyword == kControlKinds[k]) type = k;
        if (type == 0) fail("unknown statement \"" + keyword + "\"");
        if (m_open.empty()) fail("a control must be inside a bar");
        controlStatement(t, type);
    }

    bool endsWithOpen(const std::vector<Token>& t, std::size_t from) const {
        for (std::size_t i = from; i < t.size(); ++i)
            if (t[i].kind == Token::Open && i + 1 != t.size()) fail("\"{\" must end its line");
        return t.back().kind == Token::Open;
    }

    void barStatement(const std::vector<Token>& t) {
        BarDef bar;
        bar.line = m_line;
        std::size_t i = 1;
        if (t[0].text == "menubar") {
            if (m_menuBarSeen) fail("the menu bar is defined twice");
            m_menuBarSeen = true;
            bar.menuBar = true;
            bar.name = "Menu Bar";
        } else {
            if (t.size() < 3 || t[1].kind != Token::Word || t[2].kind != Token::String)
                fail("a bar is written: bar <id> \"<name>\" [attributes] {");
            bar.id = number(t[1].text, "a bar identifier");
            if (!m_barIds.insert(bar.id).second) fail("bar identifier " + t[1].text + " is used twice");
            bar.name = t[2].text;
            i = 3;
        }
        if (!endsWithOpen(t, i)) fail("a bar's controls follow in a block: end the line with \"{\"");
        for (; i + 1 < t.size(); ++i) {
            const Token& a = t[i];
            if (a.kind != Token::Assign) fail("unexpected \"" + a.text + "\" in a bar line");
            if (bar.menuBar && a.text != "visible") fail("the menu bar takes no attribute \"" + a.text + "\"");
            if (a.text == "position") bar.position = named(a.value, kPositions, 6, "bar position");
            else if (a.text == "docking") bar.docking = number(a.value, "docking");
            else if (a.text == "iconsize") iconSize(a.value, bar);
            else if (a.text == "visible") bar.visible = boolean(a);
            else if (a.text == "textbelow") bar.textBelow = boolean(a);
            else if (a.text == "gripper") bar.gripper = boolean(a);
            else if (a.text == "expand") bar.expand = boolean(a);
            else if (a.text == "customizable") bar.customizable = boolean(a);
            else if (a.text == "contextmenu") bar.contextMenu = boolean(a);
            else if (a.text == "category") bar.category = a.value;
            else fail("unknown bar attribute \"" + a.text + "\"");
        }
        static const std::int32_t dockBits[] = {cbdTop, cbdBottom, cbdLeft, cbdRight, cbdFloating, 0};
        if (bar.docking && bar.position != cbpPopup && !(*bar.docking & dockBits[bar.position]))
            fail("docking " + std::to_string(*bar.docking) + " does not allow the bar's position");
        m_bars.push_back(std::move(bar));
        m_open.push_back(m_line);
        m_containers.push_back({&m_bars.back().controls, m_bars.back().category});
    }

    void iconSize(const std::string& value, BarDef& bar) const {
        auto x = value.find('x');
        std::int32_t w = number(value.substr(0, x), "an icon size");
        std::int32_t h = x == std::string::npos ? w : number(value.substr(x + 1), "an icon size");
        if (w < 1 || w > 256 || h < 1 || h > 256) fail("an icon size is 1 to 256 pixels, got \"" + value + "\"");
        bar.iconWidth = w;
        bar.iconHeight = h;
    }

    void controlStatement(const std::vector<Token>& t, std::int32_t type) {
        ControlDef c;
        c.line = m_line;
        c.type = type;
        if (t.size() < 3 || t[1].kind != Token::Word || t[2].kind != Token::String)
            fail(std::string("a control is written: ") + kControlKinds[type] + " <id> \"<caption>\" [attributes]");
        c.id = number(t[1].text, "a control identifier");
        if (c.id < 0) fail("a control identifier cannot be negative");
        c.caption = t[2].text;
        c.category = m_containers.back().category;
        bool opens = endsWithOpen(t, 3);
        if (opens && !controlTypeHasMenu(type))
            fail(std::string("a ") + kControlKinds[type] + " has no menu to open with \"{\"");
        for (std::size_t i = 3; i < t.size() - (opens ? 1 : 0); ++i) controlAttribute(t[i], c);

        auto& siblings = *m_containers.back().controls;
        siblings.push_back(std::move(c));
        if (opens) {
            m_open.push_back(m_line);
            m_containers.push_back({&siblings.back().menu, siblings.back().category});
        }
    }

    void controlAttribute(const Token& a, ControlDef& c) {
        if (a.kind == Token::Word) {
            if (a.text == "group") c.group = true;
            else if (a.text == "stretch") c.flags |= cbfStretched;
            else if (a.text == "checked") c.checked = true;
            else if (a.text == "hidden") c.visible = false;
            else if (a.text == "disabled") c.enabled = false;
            else fail("unknown control flag \"" + a.text + "\"");
            return;
        }
        if (a.kind != Token::Assign) fail("unexpected text after the caption");
        if (a.text == "tooltip") c.toolTip = a.value;
        else if (a.text == "category") c.category = a.value;
        else if (a.text == "parameter") c.parameter = a.value;
        else if (a.text == "menu") c.menuTitle = a.value;
        else if (a.text == "style") c.style = named(a.value, kStyles, 5, "button style");
        else if (a.text == "flags") c.flags |= number(a.value, "flags");
        else if (a.text == "iconid") c.iconId = number(a.value, "an icon identifier");
        else if (a.text == "group") c.group = boolean(a);
        else if (a.text == "visible") c.visible = boolean(a);
        else if (a.text == "enabled") c.enabled = boolean(a);
        else if (a.text == "checked") c.checked = boolean(a);
        else fail("unknown control attribute \"" + a.text + "\"");
        if (a.text == "menu" && !controlTypeHasMenu(c.type))
            fail(std::string("a ") + kControlKinds[c.type] + " has no menu to name");
    }

    struct Container {
        std::vector<ControlDef>* controls;
        std::optional<std::string> category;
    };

    const std::string& m_text;
    std::int32_t m_line = 0;
    std::vector<BarDef> m_bars;
    std::vector<std::int32_t> m_open;  // lines of the open blocks
    std::vector<Container> m_containers;
    std::set<std::int32_t> m_barIds;
    bool m_menuBarSeen = false;
};

// --- writing ---------------------------------------------------------------------

std::string quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

void writeControls(std::ostringstream& out, const CommandBar& bar, int depth) {
    std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    for (const auto& c : bar.Controls()) {
        out << indent << kControlKinds[c->Type()] << ' ' << c->Id() << ' ' << quote(c->Caption());
        if (!c->ToolTipText().empty()) out << " tooltip=" << quote(c->ToolTipText());
        if (!c->Category().empty()) out << " category=" << quote(c->Category());
        if (!c->Parameter().empty()) out << " parameter=" << quote(c->Parameter());
        if (c->Style() != cbsAutomatic) out << " style=" << kStyles[c->Style()];
        if (c->Flags() == cbfStretched) out << " stretch";
        else if (c->Flags() != 0) out << " flags=" << c->Flags();
        if (c->IconId() != 0) out << " iconid=" << c->IconId();
        if (c->BeginGroup()) out << " group";
        if (!c->Visible()) out << " hidden";
        if (!c->Enabled()) out << " disabled";
        if (c->Checked()) out << " checked";
        auto menu = c->CommandBar();
        if (menu && menu->Name() != c->Caption()) out << " menu=" << quote(menu->Name());
        if (menu && menu->Controls().Count() > 0) {
            out << " {\n";
            writeControls(out, *menu, depth + 1);
            out << indent << "}";
        }
        out << '\n';
    }
}

void fillControls(CommandBar& bar, const std::vector<ControlDef>& defs) {
    for (const auto& d : defs) {
        auto c = bar.Controls().Add(d.type, d.id, d.caption);
        c->setToolTipText(d.toolTip);
        c->setParameter(d.parameter);
        if (d.category) c->setCategory(*d.category);
        c->setStyle(d.style);
        c->setFlags(d.flags);
        c->setIconId(d.iconId);
        c->setBeginGroup(d.group);
        c->setVisible(d.visible);
        c->setEnabled(d.enabled);
        c->setChecked(d.checked);
        if (auto menu = c->CommandBar()) {
            if (d.menuTitle) menu->setName(*d.menuTitle);
            fillControls(*menu, d.menu);
        }
    }
}

}  // namespace

void CommandBars::LoadDesignerBars(const std::string& text) {
    // Parsed completely first: a malformed definition leaves the bars as
    // they were.
    std::vector<BarDef> defs = Parser(text).parse();

    for (std::size_t i = 1; i < m_bars.size(); ++i) {
        remove(*m_bars[i]);
        m_bars[i]->markDeleted();
    }
    m_bars.resize(1);
    auto menuBar = m_bars.front();
    menuBar->Controls().DeleteAll();

    for (const auto& d : defs) {
        if (d.menuBar) {
            menuBar->setVisible(d.visible);
            fillControls(*menuBar, d.controls);
            continue;
        }
        auto bar = Add(d.name, d.position);
        bar->setBarID(d.id);
        if (d.docking) bar->m_docking = *d.docking;
        if (d.iconWidth) bar->SetIconSize(d.iconWidth, d.iconHeight);
        bar->setShowTextBelowIcons(d.textBelow);
        if (d.gripper) bar->ModifyStyle(*d.gripper ? 0 : cbwGripper, *d.gripper ? cbwGripper : 0);
        if (d.expand) bar->setShowExpandButton(*d.expand);
        if (d.customizable) bar->setCustomizable(*d.customizable);
        if (d.contextMenu) bar->setContextMenuPresent(*d.contextMenu);
        if (!d.visible) bar->setVisible(false);
        fillControls(*bar, d.controls);
    }
    invalidateLayout();
}

std::string CommandBars::designerText() const {
    std::ostringstream out;
    out << "commandbars 1\n";
    const auto& menuBar = *m_bars.front();
    if (menuBar.Controls().Count() > 0 || !menuBar.Visible()) {
        out << "\nmenubar";
        if (!menuBar.Visible()) out << " visible=no";
        out << " {\n";
        writeControls(out, menuBar, 1);
        out << "}\n";
    }
    for (std::size_t i = 1; i < m_bars.size(); ++i) {
        const CommandBar& b = *m_bars[i];
        out << "\nbar " << b.BarID() << ' ' << quote(b.Name());
        if (b.Position() != cbpTop) out << " position=" << kPositions[b.Position()];
        const std::int32_t defaultDocking = b.Type() == cbtPopup ? b.DockingFlags() : (cbdAnyEdge | cbdFloating);
        if (b.DockingFlags() != defaultDocking) out << " docking=" << b.DockingFlags();
        if (b.IconWidth() != 16 || b.IconHeight() != 16) out << " iconsize=" << b.IconWidth() << 'x' << b.IconHeight();
        if (!b.Visible()) out << " visible=no";
        if (b.ShowTextBelowIcons()) out << " textbelow=yes";
        bool gripperDefault = b.Type() == cbtToolbar;
        if (((b.WindowStyle() & cbwGripper) != 0) != gripperDefault)
            out << " gripper=" << (gripperDefault ? "no" : "yes");
        if (b.ShowExpandButton()) out << " expand=yes";
        if (!b.Customizable()) out << " customizable=no";
        if (!b.ContextMenuPresent()) out << " contextmenu=no";
        out << " {\n";
        writeControls(out, b, 1);
        out << "}\n";
    }
    return out.str();
}

}  // namespace tavixTGCL2
