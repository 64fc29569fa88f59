#include "platform/HtmlDocument.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>
#include <vector>

#include "platform/Error.h"
#include "platform/MemberTable.h"
#include "platform/TextCodec.h"

namespace tavixTGCL2 {

namespace {

bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiAlnum(char c) { return isAsciiAlpha(c) || (c >= '0' && c <= '9'); }
bool isHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithNoCase(std::string_view s, std::size_t pos, std::string_view prefix) {
    if (pos + prefix.size() > s.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lower(s[pos + i]) != prefix[i]) return false;
    return true;
}

// One lexical piece of a page. Markup is split the way browsers split it
// (comments, raw-text elements, quoted attribute values), so that "<body>"
// inside a comment, a script string or an attribute is never taken for the
// real tag. Positions are byte offsets into the source.
struct Token {
    enum Kind { Text, RawText, StartTag, EndTag, Comment, Declaration };
    Kind kind = Text;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string name;  // lower-case tag name for tags
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view s) : m_s(s) {}

    bool next(Token& t) {
        if (m_pos >= m_s.size()) return false;
        t = Token{};
        t.begin = m_pos;
        if (!m_rawEnd.empty()) return rawText(t);
        if (m_s[m_pos] != '<') return text(t);
        if (startsWithNoCase(m_s, m_pos, "<!--")) return comment(t);
        if (m_pos + 1 < m_s.size() && (m_s[m_pos + 1] == '!' || m_s[m_pos + 1] == '?'))
            return declaration(t);
        if (m_pos + 2 < m_s.size() && m_s[m_pos + 1] == '/' && isAsciiAlpha(m_s[m_pos + 2]))
            return endTag(t);
        if (m_pos + 1 < m_s.size() && isAsciiAlpha(m_s[m_pos + 1])) return startTag(t);
        // A '<' that opens nothing is text, as browsers show it.
        ++m_pos;
        return text(t);
    }

private:
    bool text(Token& t) {
        std::size_t lt = m_s.find('<', m_pos);
        m_pos = lt == std::string_view::npos ? m_s.size() : lt;
        t.kind = Token::Text;
        t.end = m_pos;
        return true;
    }

    bool rawText(Token& t) {
        // The element's content runs to the first "</name" followed by a
        // delimiter; "plaintext" never ends.
        std::size_t p = m_pos;
        std::size_t stop = m_s.size();
        if (m_rawEnd != "plaintext") {
            while ((p = m_s.find("</", p)) != std::string_view::npos) {
                std::size_t after = p + 2 + m_rawEnd.size();
                if (startsWithNoCase(m_s, p + 2, m_rawEnd) &&
                    (after >= m_s.size() || isHtmlSpace(m_s[after]) || m_s[after] == '>' ||
                     m_s[after] == '/')) {
                    stop = p;
                    break;
                }
                p += 2;
            }
        }
        t.name = std::move(m_rawEnd);
        m_rawEnd.clear();
        t.kind = Token::RawText;
        t.end = m_pos = stop;
        if (t.begin == t.end) return next(t);
        return true;
    }

    bool comment(Token& t) {
        std::size_t e = m_s.find("-->", m_pos + 4);
        m_pos = e == std::string_view::npos ? m_s.size() : e + 3;
        t.kind = Token::Comment;
        t.end = m_pos;
        return true;
    }

    bool declaration(Token& t) {
        std::size_t e = m_s.find('>', m_pos);
        m_pos = e == std::string_view::npos ? m_s.size() : e + 1;
        t.kind = Token::Declaration;
        t.end = m_pos;
        return true;
    }

    std::string tagName(std::size_t& p) {
        std::string name;
        while (p < m_s.size() && !isHtmlSpace(m_s[p]) && m_s[p] != '/' && m_s[p] != '>') {
            name += lower(m_s[p]);
            ++p;
        }
        return name;
    }

    // Skips attributes up to and including the closing '>'. A quote opens a
    // value only right after '=', as in browsers, so a stray quote in an
    // unquoted value cannot swallow the rest of the page.
    void skipAttributes(std::size_t& p) {
        while (p < m_s.size()) {
            char c = m_s[p];
            if (c == '>') {
                ++p;
                return;
            }
            if (c == '=') {
                ++p;
                while (p < m_s.size() && isHtmlSpace(m_s[p])) ++p;
                if (p < m_s.size() && (m_s[p] == '"' || m_s[p] == '\'')) {
                    std::size_t q = m_s.find(m_s[p], p + 1);
                    p = q == std::string_view::npos ? m_s.size() : q + 1;
                }
                continue;
            }
            ++p;
        }
    }

    bool startTag(Token& t) {
        std::size_t p = m_pos + 1;
        t.kind = Token::StartTag;
        t.name = tagName(p);
        skipAttributes(p);
        t.end = m_pos = p;
        static constexpr std::array<std::string_view, 7> kRaw = {
            "script", "style", "title", "textarea", "xmp", "plaintext", "noembed"};
        bool selfClosed = t.end >= 2 && m_s[t.end - 1] == '>' && m_s[t.end - 2] == '/';
        if (!selfClosed && std::find(kRaw.begin(), kRaw.end(), t.name) != kRaw.end())
            m_rawEnd = t.name;
        return true;
    }

    bool endTag(Token& t) {
        std::size_t p = m_pos + 2;
        t.kind = Token::EndTag;
        t.name = tagName(p);
        std::size_t e = m_s.find('>', p);
        t.end = m_pos = e == std::string_view::npos ? m_s.size() : e + 1;
        return true;
    }

    std::string_view m_s;
    std::size_t m_pos = 0;
    std::string m_rawEnd;
};

struct NamedEntity {
    std::string_view name;
    char32_t cp;
};

// The references that pages written by hand and by office tools use.
constexpr NamedEntity kEntities[] = {
    {"amp", '&'},       {"lt", '<'},         {"gt", '>'},        {"quot", '"'},
    {"apos", '\''},     {"nbsp", 0xA0},      {"copy", 0xA9},     {"reg", 0xAE},
    {"trade", 0x2122},  {"hellip", 0x2026},  {"mdash", 0x2014},  {"ndash", 0x2013},
    {"lsquo", 0x2018},  {"rsquo", 0x2019},   {"ldquo", 0x201C},  {"rdquo", 0x201D},
    {"sbquo", 0x201A},  {"bdquo", 0x201E},   {"laquo", 0xAB},    {"raquo", 0xBB},
    {"bull", 0x2022},   {"middot", 0xB7},    {"deg", 0xB0},      {"plusmn", 0xB1},
    {"times", 0xD7},    {"divide", 0xF7},    {"micro", 0xB5},    {"para", 0xB6},
    {"sect", 0xA7},     {"euro", 0x20AC},    {"pound", 0xA3},    {"yen", 0xA5},
    {"cent", 0xA2},     {"shy", 0xAD},       {"ensp", 0x2002},   {"emsp", 0x2003},
    {"thinsp", 0x2009}, {"ohm", 0x2126},     {"Omega", 0x3A9},   {"mu", 0x3BC},
    {"alpha", 0x3B1},   {"beta", 0x3B2},     {"le", 0x2264},     {"ge", 0x2265},
    {"ne", 0x2260},     {"larr", 0x2190},    {"rarr", 0x2192},   {"uarr", 0x2191},
    {"darr", 0x2193},   {"sup2", 0xB2},      {"sup3", 0xB3},     {"frac12", 0xBD},
    {"frac14", 0xBC},   {"frac34", 0xBE},    {"iexcl", 0xA1},    {"iquest", 0xBF},
    {"Auml", 0xC4},     {"Ouml", 0xD6},      {"Uuml", 0xDC},     {"auml", 0xE4},
    {"ouml", 0xF6},     {"uuml", 0xFC},      {"szlig", 0xDF},    {"Agrave", 0xC0},
    {"Aacute", 0xC1},   {"Acirc", 0xC2},     {"agrave", 0xE0},   {"aacute", 0xE1},
    {"acirc", 0xE2},    {"Ccedil", 0xC7},    {"ccedil", 0xE7},   {"Egrave", 0xC8},
    {"Eacute", 0xC9},   {"Ecirc", 0xCA},     {"egrave", 0xE8},   {"eacute", 0xE9},
    {"ecirc", 0xEA},    {"euml", 0xEB},      {"iacute", 0xED},   {"igrave", 0xEC},
    {"icirc", 0xEE},    {"iuml", 0xEF},      {"Ntilde", 0xD1},   {"ntilde", 0xF1},
    {"oacute", 0xF3},   {"ograve", 0xF2},    {"ocirc", 0xF4},    {"otilde", 0xF5},
    {"oslash", 0xF8},   {"Oslash", 0xD8},    {"uacute", 0xFA},   {"ugrave", 0xF9},
    {"ucirc", 0xFB},    {"aring", 0xE5},     {"Aring", 0xC5},    {"aelig", 0xE6},
    {"AElig", 0xC6},    {"yacute", 0xFD},
};

// Browsers accept these few without the closing ';'.
bool legacyWithoutSemicolon(std::string_view name) {
    return name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "nbsp" ||
           name == "copy" || name == "reg";
}

// Reads one reference at s[pos] == '&'. Returns the bytes consumed, 0 when
// this is not a reference (the '&' then stands for itself).
std::size_t decodeReference(std::string_view s, std::size_t pos, std::string& out) {
    std::size_t p = pos + 1;
    if (p < s.size() && s[p] == '#') {
        ++p;
        bool hex = p < s.size() && (s[p] == 'x' || s[p] == 'X');
        if (hex) ++p;
        std::size_t digits = p;
        char32_t cp = 0;
        while (p < s.size()) {
            char c = s[p];
            int d;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else break;
            // Saturate instead of overflowing: any value past the range is
            // invalid whatever its exact size.
            cp = cp > 0x10FFFF ? cp : cp * (hex ? 16 : 10) + static_cast<char32_t>(d);
            ++p;
        }
        if (p == digits) return 0;
        if (p < s.size() && s[p] == ';') ++p;
        if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = textcodec::kReplacement;
        else if (cp >= 0x80 && cp <= 0x9F) cp = textcodec::cp1252ToUnicode(static_cast<unsigned char>(cp));
        textcodec::appendUtf8(out, cp);
        return p - pos;
    }
    while (p < s.size() && p - pos <= 32 && isAsciiAlnum(s[p])) ++p;
    std::string_view name = s.substr(pos + 1, p - pos - 1);
    if (name.empty()) return 0;
    bool semicolon = p < s.size() && s[p] == ';';
    if (!semicolon) {
        if (!legacyWithoutSemicolon(name)) return 0;
        if (p < s.size() && s[p] == '=') return 0;
    }
    for (const auto& e : kEntities) {
        if (e.name == name) {
            textcodec::appendUtf8(out, e.cp);
            return p - pos + (semicolon ? 1 : 0);
        }
    }
    return 0;
}

bool isBlockElement(std::string_view n) {
    static constexpr std::array<std::string_view, 34> kBlocks = {
        "address", "article", "aside",  "blockquote", "center", "dd",     "div",
        "dl",      "dt",      "fieldset", "figcaption", "figure", "footer", "form",
        "h1",      "h2",      "h3",     "h4",         "h5",     "h6",     "header",
        "hr",      "li",      "main",   "nav",        "ol",     "p",      "pre",
        "section", "table",   "tr",     "ul",         "caption", "summary"};
    return std::find(kBlocks.begin(), kBlocks.end(), n) != kBlocks.end();
}

bool isParagraphLike(std::string_view n) {
    return n == "p" || n == "pre" || n == "blockquote" || n == "table" || n == "ul" || n == "ol" ||
           (n.size() == 2 && n[0] == 'h' && n[1] >= '1' && n[1] <= '6');
}

// What may stand in a head; any other start tag ends the head, as in a
// browser, so a page that never closes its head still shows its text.
bool isHeadContent(std::string_view n) {
    return n == "title" || n == "meta" || n == "link" || n == "style" || n == "script" ||
           n == "base" || n == "noscript";
}

class PlainTextWriter {
public:
    void text(std::string_view decoded, bool pre) {
        for (std::size_t i = 0; i < decoded.size(); ++i) {
            char c = decoded[i];
            if (pre) {
                if (c == '\r') continue;
                m_out += c;
                m_pendingSpace = false;
                continue;
            }
            if (isHtmlSpace(c)) {
                m_pendingSpace = true;
                continue;
            }
            if (m_pendingSpace && !atLineStart()) m_out += ' ';
            m_pendingSpace = false;
            // A no-break space is shown, but as an ordinary space.
            if (static_cast<unsigned char>(c) == 0xC2 && i + 1 < decoded.size() &&
                static_cast<unsigned char>(decoded[i + 1]) == 0xA0) {
                m_out += ' ';
                ++i;
                continue;
            }
            m_out += c;
        }
    }
    void hardBreak() {
        m_out += '\n';
        m_pendingSpace = false;
    }
    void lineBreak() {
        m_pendingSpace = false;
        if (!m_out.empty() && !atLineStart()) m_out += '\n';
    }
    void paragraphBreak() {
        lineBreak();
        if (!m_out.empty() && !(m_out.size() >= 2 && m_out[m_out.size() - 2] == '\n')) m_out += '\n';
    }
    void cellBreak() {
        if (!atLineStart()) m_out += '\t';
        m_pendingSpace = false;
    }
    std::string finish() {
        // Trailing blanks of each line and more than one empty line in a
        // row carry nothing for a reader.
        std::string out;
        out.reserve(m_out.size());
        std::size_t newlines = 0;
        std::size_t start = 0;
        while (start <= m_out.size()) {
            std::size_t e = m_out.find('\n', start);
            if (e == std::string::npos) e = m_out.size();
            std::string_view line(m_out.data() + start, e - start);
            while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
            if (line.empty()) {
                ++newlines;
            } else {
                if (!out.empty()) out.append(std::min<std::size_t>(newlines + 1, 2), '\n');
                out.append(line);
                newlines = 0;
            }
            start = e + 1;
        }
        return out;
    }

private:
    bool atLineStart() const { return m_out.empty() || m_out.back() == '\n'; }
    std::string m_out;
    bool m_pendingSpace = false;
};

bool looksLikeStyleSheetAddress(std::string_view s) {
    if (s.empty()) return false;
    if (s.find_first_of("{};\n\r") != std::string_view::npos) return false;
    if (s.find("://") != std::string_view::npos) return true;
    if (s.front() == '/' || s.substr(0, 2) == "./" || s.substr(0, 3) == "../") return true;
    std::string_view path = s.substr(0, s.find_first_of("?#"));
    return path.size() > 4 && startsWithNoCase(path, path.size() - 4, ".css");
}

std::string trimmed(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isHtmlSpace(s[b])) ++b;
    while (e > b && isHtmlSpace(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

// Whether a tag placed after text reads as that tag: after an unclosed
// comment, raw-text element or attribute value it would become part of that
// instead, and every save and reload of the page would supply it once more.
bool readsAsTagAfter(std::string_view text, std::string_view tag) {
    std::string probe(text);
    probe += tag;
    Tokenizer tok(probe);
    Token t, last;
    while (tok.next(t)) last = t;
    return last.begin == text.size() && (last.kind == Token::StartTag || last.kind == Token::EndTag);
}

}  // namespace

// --- html helpers ----------------------------------------------------------

namespace html {

std::string escape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string decodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, amp - i));
        std::size_t used = decodeReference(text, amp, out);
        if (used == 0) {
            out += '&';
            used = 1;
        }
        i = amp + used;
    }
    return out;
}

std::string toPlainText(std::string_view source) {
    std::string safe = textcodec::sanitizeUtf8(source);
    std::string_view s = safe;
    Tokenizer tok(s);
    Token t;
    PlainTextWriter w;
    bool inHead = false;
    int hidden = 0;  // open elements whose content is never shown (template, select)
    int pre = 0;
    while (tok.next(t)) {
        std::string_view piece = s.substr(t.begin, t.end - t.begin);
        if (inHead && t.kind == Token::StartTag && !isHeadContent(t.name)) inHead = false;
        bool shown = hidden == 0 && !inHead;
        switch (t.kind) {
            case Token::Text:
                if (shown) w.text(decodeEntities(piece), pre > 0);
                break;
            case Token::RawText:
                // Of the raw-text elements only these show their content.
                if (shown && t.name == "textarea") w.text(decodeEntities(piece), true);
                else if (shown && (t.name == "xmp" || t.name == "plaintext")) w.text(piece, true);
                break;
            case Token::StartTag:
                if (t.name == "head") inHead = true;
                else if (t.name == "template" || t.name == "select") ++hidden;
                else if (!shown) break;
                else if (t.name == "br") w.hardBreak();
                else if (t.name == "td" || t.name == "th") w.cellBreak();
                else if (isBlockElement(t.name)) {
                    isParagraphLike(t.name) ? w.paragraphBreak() : w.lineBreak();
                    if (t.name == "pre") ++pre;
                }
                break;
            case Token::EndTag:
                if (t.name == "head") inHead = false;
                else if (t.name == "template" || t.name == "select") hidden = hidden > 0 ? hidden - 1 : 0;
                else if (!shown) break;
                else if (t.name == "br") w.hardBreak();  // browsers read </br> as <br>
                else if (isBlockElement(t.name)) {
                    isParagraphLike(t.name) ? w.paragraphBreak() : w.lineBreak();
                    if (t.name == "pre" && pre > 0) --pre;
                }
                break;
            case Token::Comment:
            case Token::Declaration:
                break;
        }
    }
    return w.finish();
}

}  // namespace html

// --- HtmlBody --------------------------------------------------------------

std::string HtmlBody::innerHTML() const { return m_doc.m_inner; }

void HtmlBody::setInnerHTML(const std::string& html) {
    m_doc.m_inner = textcodec::sanitizeUtf8(html);
    m_doc.Changed();
}

std::string HtmlBody::innerText() const { return html::toPlainText(m_doc.m_inner); }

const MemberTable<HtmlBody>& HtmlBody::members() {
    using M = MemberTable<HtmlBody>;
    static const M table{
        M::property("innerHTML", &HtmlBody::innerHTML, &HtmlBody::setInnerHTML),
        M::readOnly("innerText", &HtmlBody::innerText),
    };
    return table;
}

Variant HtmlBody::invoke(const std::string& member, VariantList& args) { return members().invoke(*this, member, args); }

void HtmlBody::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

// --- HtmlDocument ----------------------------------------------------------

HtmlDocument::HtmlDocument(std::string url, std::string_view html) : m_url(std::move(url)) {
    split(html);
}

void HtmlDocument::split(std::string_view source) {
    std::string safe = textcodec::sanitizeUtf8(source);
    std::string_view s = safe;
    Tokenizer tok(s);
    Token t;
    std::size_t bodyOpenBegin = 0, bodyOpenEnd = std::string_view::npos;
    std::size_t bodyClose = std::string_view::npos;
    std::size_t headClose = std::string_view::npos, headCloseEnd = 0, htmlOpenEnd = 0;
    std::vector<std::size_t> bodyCloses;  // also those without a body start tag
    // Every html end tag: one that comes before where the body starts cannot
    // end it (taken for the body's end, it made the body's text appear twice
    // or the next reload see a different body).
    std::vector<std::size_t> htmlCloses;
    std::size_t prologEnd = 0;  // end of the doctype and comments that lead the page
    bool inProlog = true;
    while (tok.next(t)) {
        std::string_view piece = s.substr(t.begin, t.end - t.begin);
        if (inProlog) {
            // What leads a page without a body tag (doctype, comments, head
            // elements) stays before the body that is supplied for it.
            bool blank = t.kind == Token::Text && trimmed(piece).empty();
            bool headish = (t.kind == Token::StartTag || t.kind == Token::EndTag) &&
                           (isHeadContent(t.name) || t.name == "head" || t.name == "html");
            if (blank || headish || t.kind == Token::Comment || t.kind == Token::Declaration ||
                t.kind == Token::RawText)
                prologEnd = t.end;
            else inProlog = false;
        }
        if (t.kind == Token::StartTag) {
            if (t.name == "body" && bodyOpenEnd == std::string_view::npos) {
                bodyOpenBegin = t.begin;
                bodyOpenEnd = t.end;
            } else if (t.name == "html" && htmlOpenEnd == 0) {
                htmlOpenEnd = t.end;
            }
        } else if (t.kind == Token::EndTag) {
            if (t.name == "body") bodyCloses.push_back(t.begin);
            if (t.name == "html") htmlCloses.push_back(t.begin);
            if (t.name == "body" && bodyOpenEnd != std::string_view::npos &&
                bodyClose == std::string_view::npos) {
                bodyClose = t.begin;
            } else if (t.name == "head" && headClose == std::string_view::npos) {
                headClose = t.begin;
                headCloseEnd = t.end;
            }
        }
    }

    auto firstHtmlCloseFrom = [&](std::size_t from) {
        auto it = std::lower_bound(htmlCloses.begin(), htmlCloses.end(), from);
        return it == htmlCloses.end() ? s.size() : *it;
    };

    if (bodyOpenEnd != std::string_view::npos) {
        std::size_t innerEnd = bodyClose != std::string_view::npos ? bodyClose : firstHtmlCloseFrom(bodyOpenEnd);
        m_head = std::string(s.substr(0, bodyOpenEnd));
        m_inner = std::string(s.substr(bodyOpenEnd, innerEnd - bodyOpenEnd));
        m_tail = std::string(s.substr(innerEnd));
        if (bodyClose == std::string_view::npos && readsAsTagAfter(s.substr(0, innerEnd), "</body>"))
            m_tail.insert(0, "</body>");
        m_headInsert = (headClose != std::string_view::npos && headClose < bodyOpenBegin) ? headClose
                                                                                         : bodyOpenBegin;
        return;
    }

    // No body tag: the body is what follows the head (or the html start
    // tag, or the leading doctype), and the missing tags are supplied.
    std::size_t start = std::max({headCloseEnd, htmlOpenEnd, prologEnd});
    if (start > s.size()) start = s.size();
    std::size_t end = firstHtmlCloseFrom(start);
    // A body end tag without its start tag still ends the body: left inside
    // it, it would close the body early once the start tag is supplied.
    const auto close = std::lower_bound(bodyCloses.begin(), bodyCloses.end(), start);
    const bool closed = close != bodyCloses.end() && *close <= end;
    if (closed) end = *close;
    m_head = std::string(s.substr(0, start));
    m_headInsert = (headClose != std::string_view::npos && headClose < start) ? headClose : m_head.size();
    if (readsAsTagAfter(m_head, "<body>")) m_head += "<body>";
    m_inner = std::string(s.substr(start, end - start));
    m_tail = std::string(s.substr(end));
    if (!closed && readsAsTagAfter(m_head + m_inner, "</body>")) m_tail.insert(0, "</body>");
}

std::string HtmlDocument::title() const {
    std::string t = titleIn(m_head);
    return t.empty() ? titleIn(m_inner) : t;
}

std::string HtmlDocument::titleIn(const std::string& markup) {
    Tokenizer tok(markup);
    Token t;
    bool inTitle = false;
    while (tok.next(t)) {
        if (t.kind == Token::StartTag && t.name == "title") {
            inTitle = true;
        } else if (inTitle) {
            if (t.kind != Token::RawText) return {};
            std::string text = html::decodeEntities(std::string_view(markup).substr(t.begin, t.end - t.begin));
            std::string out;
            bool space = false;
            for (char c : text) {
                if (isHtmlSpace(c)) {
                    space = !out.empty();
                    continue;
                }
                if (space) out += ' ';
                space = false;
                out += c;
            }
            return out;
        }
    }
    return {};
}

std::size_t HtmlDocument::createStyleSheet(const std::string& cssTextOrUrl) {
    HtmlStyleSheet sheet;
    std::string value = textcodec::sanitizeUtf8(cssTextOrUrl);
    std::string t = trimmed(value);
    if (looksLikeStyleSheetAddress(t)) {
        sheet.isLink = true;
        sheet.href = t;
    } else {
        sheet.cssText = value;
    }
    m_styleSheets.push_back(std::move(sheet));
    Changed();
    return m_styleSheets.size() - 1;
}

std::string HtmlDocument::documentHTML() const {
    std::string sheets;
    for (const auto& sh : m_styleSheets) {
        if (sh.isLink) {
            sheets += "<link rel=\"stylesheet\" href=\"" + html::escape(sh.href) + "\">";
        } else {
            // Style rules cannot close their own element: "</" never
            // reaches the page unbroken.
            std::string css = sh.cssText;
            for (std::size_t p = 0; (p = css.find("</", p)) != std::string::npos; p += 3)
                css.replace(p, 2, "<\\/");
            sheets += "<style>" + css + "</style>";
        }
    }
    std::string out;
    out.reserve(m_head.size() + sheets.size() + m_inner.size() + m_tail.size());
    std::size_t at = std::min(m_headInsert, m_head.size());
    out.append(m_head, 0, at);
    out += sheets;
    out.append(m_head, at, std::string::npos);
    out += m_inner;
    out += m_tail;
    return out;
}

std::string HtmlDocument::plainText() const { return html::toPlainText(m_inner); }

const MemberTable<HtmlDocument>& HtmlDocument::members() {
    using M = MemberTable<HtmlDocument>;
    static const M table{
        M::method("body",
                  [](HtmlDocument& d, MemberCall&) {
                      auto self = d.weak_from_this().lock();
                      if (!self) throw Error(errObjectRequired, "The document is not shared; use body()");
                      return ObjectPtr(self, &d.m_body);
                  }),
        M::method("createStyleSheet",
                  [](HtmlDocument& d, MemberCall& c) {
                      return static_cast<std::int32_t>(d.createStyleSheet(c.arg(0).toString()));
                  }),
        M::readOnly("title", &HtmlDocument::title),
        // Both spellings have always been accepted.
        M::readOnly("URL", &HtmlDocument::URL),
        M::readOnly("url", &HtmlDocument::URL),
        M::readOnly("documentHTML", &HtmlDocument::documentHTML),
    };
    return table;
}

Variant HtmlDocument::invoke(const std::string& member, VariantList& args) {
    return members().invoke(*this, member, args);
}

}  // namespace tavixTGCL2
