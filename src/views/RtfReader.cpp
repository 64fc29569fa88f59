#include "views/RtfReader.h"

#include <algorithm>
#include <array>
#include <climits>

#include "platform/TextCodec.h"

namespace tavixTGCL2 {

namespace {

using textcodec::appendUtf8;

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// Destinations whose content is never shown. Unknown destinations marked
// with \* are skipped as well; these are the ones writers emit without it.
constexpr std::array<std::string_view, 37> kSkippedDestinations = {
    "fonttbl",   "stylesheet", "info",      "pict",       "object",    "header",   "headerl",
    "headerr",   "headerf",    "footer",    "footerl",    "footerr",   "footerf",  "footnote",
    "annotation", "filetbl",   "revtbl",    "listtable",  "listoverridetable", "rsidtbl",
    "xmlnstbl",  "themedata",  "colorschememapping", "latentstyles", "datastore", "generator",
    "template",  "docvar",     "userprops", "nonshppict", "objdata",   "bkmkstart", "bkmkend",
    "pgdsctbl",  "mmathPr",    "atnauthor", "shpinst"};

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int colorIndex = 0;
};

enum class Dest { Text, Skip, ColorTable, FieldInstruction };

struct GroupState {
    CharFormat fmt;
    Dest dest = Dest::Text;
    int uc = 1;         // characters that stand in for each \u
    int field = -1;     // the field this group belongs to
    int link = -1;      // the link the text of this group shows
};

struct Field {
    std::string instruction;
    int link = -1;
    bool resolved = false;
};

// Groups nested deeper than this are read as if flat: the text still comes
// through, and a hostile input cannot make the stack grow without end.
constexpr std::size_t kMaxDepth = 2000;

class Parser {
public:
    explicit Parser(std::string_view s) : m_s(s) {}

    RtfDocument run() {
        m_doc.isRtf = true;
        m_stack.push_back(GroupState{});
        bool opened = false;
        while (m_pos < m_s.size()) {
            char c = m_s[m_pos];
            if (c == '{') {
                ++m_pos;
                flushBytes();
                m_skip = 0;
                if (m_stack.size() >= kMaxDepth) ++m_overflow;
                else m_stack.push_back(m_stack.back());
                opened = true;
                m_ignorable = false;
            } else if (c == '}') {
                ++m_pos;
                flushBytes();
                m_skip = 0;
                m_ignorable = false;
                if (m_overflow > 0) {
                    --m_overflow;
                } else if (m_stack.size() > 1) {
                    m_stack.pop_back();
                    // The outermost group closed: the document is over, and
                    // what trails it is not part of it.
                    if (m_stack.size() == 1 && opened) break;
                }
            } else if (c == '\\') {
                controlWord();
            } else if (c == '\r' || c == '\n') {
                ++m_pos;
            } else if (c == '\t') {
                ++m_pos;
                if (!skipOne()) text("\t");
            } else if (static_cast<unsigned char>(c) < 0x20) {
                ++m_pos;  // stray control characters carry nothing
            } else {
                rawCharacter();
            }
        }
        flushBytes();
        endParagraph(true);
        return std::move(m_doc);
    }

private:
    GroupState& st() { return m_stack.back(); }

    // One \uN stand-in is being skipped; returns whether this character was.
    bool skipOne() {
        if (m_skip <= 0) return false;
        --m_skip;
        return true;
    }

    void rawCharacter() {
        std::size_t n = textcodec::utf8SequenceLength(m_s, m_pos);
        flushBytes();
        if (skipOne()) {
            m_pos += n == 0 ? 1 : n;
            return;
        }
        if (n == 0) {
            std::string out;
            appendUtf8(out, textcodec::cp1252ToUnicode(static_cast<unsigned char>(m_s[m_pos])));
            ++m_pos;
            if (st().dest == Dest::ColorTable) return;
            text(out);
            return;
        }
        if (st().dest == Dest::ColorTable) {
            if (m_s[m_pos] == ';') endColor();
            m_pos += n;
            return;
        }
        // Plain text comes in stretches; taking a stretch at once keeps the
        // cost per character low on long documents.
        std::size_t end = m_pos + n;
        while (end < m_s.size()) {
            auto c = static_cast<unsigned char>(m_s[end]);
            if (c < 0x20 || c >= 0x80 || c == '\\' || c == '{' || c == '}') break;
            ++end;
        }
        std::string_view stretch = m_s.substr(m_pos, end - m_pos);
        m_pos = end;
        text(stretch);
    }

    void controlWord() {
        ++m_pos;  // the backslash
        if (m_pos >= m_s.size()) return;
        char c = m_s[m_pos];
        if (!isLetter(c)) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        std::size_t start = m_pos;
        while (m_pos < m_s.size() && isLetter(m_s[m_pos])) ++m_pos;
        std::string_view word = m_s.substr(start, std::min<std::size_t>(m_pos - start, 32));
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (m_pos < m_s.size() && m_s[m_pos] == '-' && m_pos + 1 < m_s.size() && isDigit(m_s[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        while (m_pos < m_s.size() && isDigit(m_s[m_pos])) {
            hasParam = true;
            if (param < INT_MAX) param = param * 10 + (m_s[m_pos] - '0');
            ++m_pos;
        }
        if (param > INT_MAX) param = INT_MAX;
        if (negative) param = -param;
        if (m_pos < m_s.size() && m_s[m_pos] == ' ') ++m_pos;
        beforeControlWord(word);
        apply(word, hasParam, static_cast<int>(param));
    }

    void controlSymbol(char c) {
        if (c == '\'') {
            int hi = m_pos < m_s.size() ? hexValue(m_s[m_pos]) : -1;
            int lo = m_pos + 1 < m_s.size() ? hexValue(m_s[m_pos + 1]) : -1;
            if (hi < 0 || lo < 0) {
                m_pos += hi >= 0 ? 1 : 0;
                return;
            }
            m_pos += 2;
            if (skipOne()) return;
            m_bytes += static_cast<char>(hi * 16 + lo);
            return;
        }
        flushBytes();
        if (c == '*') {
            m_ignorable = true;
            return;
        }
        if (skipOne()) return;
        switch (c) {
            case '\\': text("\\"); break;
            case '{': text("{"); break;
            case '}': text("}"); break;
            case '~': text("\xC2\xA0"); break;       // no-break space
            case '_': text("\xE2\x80\x91"); break;   // no-break hyphen
            case '\n':
            case '\r': endParagraph(false); break;
            case '\t': text("\t"); break;
            default: break;                          // \- optional hyphen, \| \: and the like
        }
    }

    void apply(std::string_view w, bool hasParam, int param) {
        if (m_ignorable) {
            m_ignorable = false;
            if (w == "fldinst" && st().field >= 0) {
                st().dest = Dest::FieldInstruction;
            } else {
                st().dest = Dest::Skip;
            }
            return;
        }
        if (w == "bin") {
            // Binary data of the given length follows, braces and all.
            std::size_t n = hasParam && param > 0 ? static_cast<std::size_t>(param) : 0;
            m_pos += std::min(n, m_s.size() - m_pos);
            return;
        }
        GroupState& g = st();
        if (g.dest == Dest::Skip) return;
        if (g.dest == Dest::ColorTable) {
            if (w == "red") m_color = (m_color & 0xFFFF00) | clampByte(param), m_colorSet = true;
            else if (w == "green") m_color = (m_color & 0xFF00FF) | (clampByte(param) << 8), m_colorSet = true;
            else if (w == "blue") m_color = (m_color & 0x00FFFF) | (clampByte(param) << 16), m_colorSet = true;
            return;
        }
        if (std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), w) !=
            kSkippedDestinations.end()) {
            g.dest = Dest::Skip;
            return;
        }
        if (w == "colortbl") {
            g.dest = Dest::ColorTable;
            m_colors.clear();
            m_color = 0;
            m_colorSet = false;
            return;
        }
        if (w == "field") {
            m_fields.push_back(Field{});
            g.field = static_cast<int>(m_fields.size()) - 1;
            return;
        }
        if (w == "fldinst") {
            g.dest = g.field >= 0 ? Dest::FieldInstruction : Dest::Skip;
            return;
        }
        if (w == "fldrslt") {
            g.dest = Dest::Text;
            if (g.field >= 0) g.link = resolveField(static_cast<std::size_t>(g.field));
            return;
        }
        if (w == "u") {
            if (!hasParam) return;  // a \u without its number names no character
            unicode(param);
            m_skip = g.uc;
            return;
        }
        if (skipOne()) return;  // a control word standing in for a \u character
        if (w == "uc") g.uc = std::clamp(hasParam ? param : 1, 0, 10);
        else if (w == "par" || w == "sect" || w == "page" || w == "row") endParagraph(false);
        else if (w == "line") text("\n");
        else if (w == "tab" || w == "cell") text("\t");
        else if (w == "b") g.fmt.bold = !hasParam || param != 0;
        else if (w == "i") g.fmt.italic = !hasParam || param != 0;
        else if (w == "ul" || w == "uld" || w == "uldb" || w == "uldash" || w == "ulw" || w == "ulwave" ||
                 w == "ulth" || w == "ulhwave" || w == "uldashd" || w == "uldashdd")
            g.fmt.underline = !hasParam || param != 0;
        else if (w == "ulnone") g.fmt.underline = false;
        else if (w == "plain") g.fmt = CharFormat{};
        else if (w == "fs") g.fmt.halfPoints = hasParam && param > 0 ? std::clamp(param, 2, 3276) : 24;
        else if (w == "cf") g.fmt.colorIndex = hasParam ? param : 0;
        else if (w == "ansicpg") m_codePage = param;
        else if (w == "emdash") text("\xE2\x80\x94");
        else if (w == "endash") text("\xE2\x80\x93");
        else if (w == "bullet") text("\xE2\x80\xA2");
        else if (w == "lquote") text("\xE2\x80\x98");
        else if (w == "rquote") text("\xE2\x80\x99");
        else if (w == "ldblquote") text("\xE2\x80\x9C");
        else if (w == "rdblquote") text("\xE2\x80\x9D");
        else if (w == "enspace" || w == "emspace" || w == "qmspace") text(" ");
    }

    static std::int32_t clampByte(int v) { return std::clamp(v, 0, 255); }

    void endColor() {
        m_colors.push_back(m_colorSet ? m_color : -1);
        m_color = 0;
        m_colorSet = false;
    }

    void unicode(int value) {
        char32_t cp = static_cast<char32_t>(value < 0 ? value + 65536 : value) & 0xFFFF;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (m_highSurrogate) emitCodePoint(textcodec::kReplacement);
            m_highSurrogate = cp;
            return;
        }
        if (cp >= 0xDC00 && cp <= 0xDFFF) {
            if (m_highSurrogate) {
                emitCodePoint(0x10000 + ((m_highSurrogate - 0xD800) << 10) + (cp - 0xDC00));
                m_highSurrogate = 0;
            } else {
                emitCodePoint(textcodec::kReplacement);
            }
            return;
        }
        emitCodePoint(cp == 0 ? textcodec::kReplacement : cp);
    }

    void emitCodePoint(char32_t cp) {
        std::string out;
        appendUtf8(out, cp);
        textDirect(out);
    }

    // A high surrogate left alone by anything but its low half is shown as
    // what it is: a broken character.
    void dropSurrogate() {
        if (!m_highSurrogate) return;
        m_highSurrogate = 0;
        std::string out;
        appendUtf8(out, textcodec::kReplacement);
        textDirect(out);
    }

    void beforeControlWord(std::string_view word) {
        if (word != "u") dropSurrogate();
        flushBytes();
    }

    // \'hh bytes are collected so a multi-byte character (UTF-8 code page)
    // is decoded as a whole.
    void flushBytes() {
        if (m_bytes.empty()) return;
        std::string out;
        if (m_codePage == 65001) {
            out = textcodec::sanitizeUtf8(m_bytes);
        } else {
            for (char b : m_bytes) appendUtf8(out, textcodec::cp1252ToUnicode(static_cast<unsigned char>(b)));
        }
        m_bytes.clear();
        textDirect(out);
    }

    void text(std::string_view t) {
        dropSurrogate();
        flushBytes();
        textDirect(t);
    }

    void textDirect(std::string_view t) {
        if (t.empty()) return;
        GroupState& g = st();
        switch (g.dest) {
            case Dest::Skip:
            case Dest::ColorTable:
                return;
            case Dest::FieldInstruction:
                if (g.field >= 0) m_fields[static_cast<std::size_t>(g.field)].instruction.append(t);
                return;
            case Dest::Text:
                break;
        }
        RtfRun run;
        run.bold = g.fmt.bold;
        run.italic = g.fmt.italic;
        run.underline = g.fmt.underline;
        run.fontSize = static_cast<float>(g.fmt.halfPoints) / 2.0f;
        std::size_t ci = static_cast<std::size_t>(g.fmt.colorIndex);
        run.color = g.fmt.colorIndex >= 0 && ci < m_colors.size() ? m_colors[ci] : -1;
        run.link = g.link;
        auto& runs = m_current.runs;
        if (!runs.empty() && runs.back().sameFormat(run)) {
            runs.back().text.append(t);
        } else {
            run.text = std::string(t);
            runs.push_back(std::move(run));
        }
    }

    void endParagraph(bool atEnd) {
        dropSurrogate();
        flushBytes();
        if (st().dest != Dest::Text && !atEnd) return;
        if (atEnd && m_current.runs.empty() && !m_doc.paragraphs.empty()) return;
        m_doc.paragraphs.push_back(std::move(m_current));
        m_current = RtfParagraph{};
    }

    // Splits a field instruction into words; quoted words keep their blanks
    // and read \\ and \" as the characters they escape.
    static std::vector<std::string> fieldWords(const std::string& s) {
        std::vector<std::string> words;
        std::size_t i = 0;
        while (i < s.size()) {
            while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n')) ++i;
            if (i >= s.size()) break;
            std::string w;
            if (s[i] == '"') {
                ++i;
                while (i < s.size() && s[i] != '"') {
                    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
                    w += s[i++];
                }
                ++i;
            } else {
                while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\n') w += s[i++];
            }
            words.push_back(std::move(w));
        }
        return words;
    }

    int resolveField(std::size_t index) {
        Field& f = m_fields[index];
        if (f.resolved) return f.link;
        f.resolved = true;
        auto words = fieldWords(f.instruction);
        if (words.empty() || !equalsNoCase(words[0], "HYPERLINK")) return -1;
        std::string url, anchor;
        for (std::size_t i = 1; i < words.size(); ++i) {
            const std::string& w = words[i];
            if (w.size() == 2 && w[0] == '\\') {
                char sw = lower(w[1]);
                // \l names a bookmark; \o, \t take a tip and a frame name.
                if (sw == 'l' && i + 1 < words.size()) anchor = words[++i];
                else if ((sw == 'o' || sw == 't') && i + 1 < words.size()) ++i;
                continue;
            }
            if (url.empty()) url = w;
        }
        if (!anchor.empty()) url += "#" + anchor;
        if (url.empty()) return -1;
        m_doc.links.push_back(RtfLink{url, {}, std::string::npos, std::string::npos});
        f.link = static_cast<int>(m_doc.links.size()) - 1;
        return f.link;
    }

    std::string_view m_s;
    std::size_t m_pos = 0;
    std::vector<GroupState> m_stack;
    std::size_t m_overflow = 0;
    bool m_ignorable = false;
    int m_skip = 0;
    std::string m_bytes;
    char32_t m_highSurrogate = 0;
    int m_codePage = 1252;
    std::vector<std::int32_t> m_colors;
    std::int32_t m_color = 0;
    bool m_colorSet = false;
    std::vector<Field> m_fields;
    RtfParagraph m_current;
    RtfDocument m_doc;
};

// Fills each link's text and byte range and puts the links in text order.
void finalizeLinks(RtfDocument& doc) {
    for (auto& l : doc.links) l.begin = l.end = std::string::npos;
    std::size_t offset = 0;
    for (std::size_t p = 0; p < doc.paragraphs.size(); ++p) {
        if (p > 0) ++offset;
        for (const auto& r : doc.paragraphs[p].runs) {
            if (r.link >= 0 && static_cast<std::size_t>(r.link) < doc.links.size() && !r.text.empty()) {
                auto& l = doc.links[static_cast<std::size_t>(r.link)];
                if (l.begin == std::string::npos) l.begin = offset;
                l.end = offset + r.text.size();
            }
            offset += r.text.size();
        }
    }
    std::vector<std::size_t> order(doc.links.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return doc.links[a].begin < doc.links[b].begin; });
    std::vector<std::int32_t> newIndex(order.size());
    std::vector<RtfLink> sorted;
    sorted.reserve(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newIndex[order[i]] = static_cast<std::int32_t>(i);
        sorted.push_back(std::move(doc.links[order[i]]));
    }
    doc.links = std::move(sorted);
    for (auto& p : doc.paragraphs)
        for (auto& r : p.runs)
            if (r.link >= 0) r.link = static_cast<std::size_t>(r.link) < newIndex.size() ? newIndex[static_cast<std::size_t>(r.link)] : -1;
    if (doc.links.empty()) return;
    std::string plain = doc.plainText();
    for (auto& l : doc.links)
        if (l.begin != std::string::npos) l.text = plain.substr(l.begin, l.end - l.begin);
}

bool urlChar(char c) {
    auto u = static_cast<unsigned char>(c);
    return u > 0x20 && u != 0x7F && c != '<' && c != '>' && c != '"';
}

// Length of a web address starting at s[i], 0 when none starts there.
std::size_t urlLengthAt(std::string_view s, std::size_t i) {
    static constexpr std::array<std::string_view, 6> kStarts = {"http://", "https://", "ftp://",
                                                                 "file://", "mailto:",  "www."};
    char first = lower(s[i]);
    if (first != 'h' && first != 'f' && first != 'm' && first != 'w') return 0;
    std::size_t prefix = 0;
    for (auto p : kStarts) {
        if (i + p.size() <= s.size() && equalsNoCase(s.substr(i, p.size()), p)) {
            prefix = p.size();
            break;
        }
    }
    if (prefix == 0) return 0;
    if (i > 0) {
        char before = s[i - 1];
        if (isLetter(before) || isDigit(before) || before == '.' || before == '/' || before == '@') return 0;
    }
    std::size_t e = i + prefix;
    while (e < s.size() && urlChar(s[e])) ++e;
    // Sentence punctuation after an address is not part of it; a closing
    // bracket is, when the address opened one. Brackets are counted once so
    // a long run of them cannot make the trimming slow.
    std::string_view body = s.substr(i, e - i);
    auto openParen = std::count(body.begin(), body.end(), '(');
    auto closeParen = std::count(body.begin(), body.end(), ')');
    auto openSquare = std::count(body.begin(), body.end(), '[');
    auto closeSquare = std::count(body.begin(), body.end(), ']');
    while (e > i + prefix) {
        char last = s[e - 1];
        if (last == '.' || last == ',' || last == ';' || last == ':' || last == '!' || last == '?' ||
            last == '\'') {
            --e;
        } else if (last == ')' && openParen < closeParen) {
            --closeParen;
            --e;
        } else if (last == ']' && openSquare < closeSquare) {
            --closeSquare;
            --e;
        } else {
            break;
        }
    }
    return e > i + prefix ? e - i : 0;
}

}  // namespace

std::string RtfParagraph::text() const {
    std::string t;
    for (const auto& r : runs) t += r.text;
    return t;
}

std::string RtfDocument::plainText() const {
    std::string t;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) t += '\n';
        for (const auto& r : paragraphs[i].runs) t += r.text;
    }
    return t;
}

std::int32_t RtfDocument::linkAt(std::size_t offset) const {
    std::size_t pos = 0;
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        if (p > 0) ++pos;
        for (const auto& r : paragraphs[p].runs) {
            if (offset >= pos && offset < pos + r.text.size()) return r.link;
            pos += r.text.size();
            if (pos > offset) return -1;
        }
    }
    return -1;
}

bool RtfReader::looksLikeRtf(std::string_view s) {
    std::size_t i = 0;
    if (s.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
    return s.substr(i, 5) == "{\\rtf";
}

RtfDocument RtfReader::parse(std::string_view input) {
    if (!looksLikeRtf(input)) return fromPlainText(input);
    std::size_t start = input.find('{');
    RtfDocument doc = Parser(input.substr(start)).run();
    finalizeLinks(doc);
    return doc;
}

RtfDocument RtfReader::fromPlainText(std::string_view input) {
    RtfDocument doc;
    doc.isRtf = false;
    std::string text = textcodec::sanitizeUtf8(input.substr(0, 3) == "\xEF\xBB\xBF" ? input.substr(3) : input);
    RtfParagraph para;
    auto endLine = [&] {
        doc.paragraphs.push_back(std::move(para));
        para = RtfParagraph{};
    };
    std::string line;
    auto addRun = [&](std::string& t) {
        if (t.empty()) return;
        RtfRun run;
        run.text = std::move(t);
        para.runs.push_back(std::move(run));
        t.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            addRun(line);
            endLine();
        } else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
            if (c != 0x7F) line += c;
        }
    }
    addRun(line);
    if (!para.runs.empty() || doc.paragraphs.empty()) endLine();
    return doc;
}

void RtfReader::detectUrls(RtfDocument& doc) {
    for (auto& para : doc.paragraphs) {
        std::string text = para.text();
        // Where each run starts, and how many bytes before each position
        // already belong to a link, so testing a candidate costs the same
        // however many runs the paragraph has.
        std::vector<std::size_t> runStart;
        runStart.reserve(para.runs.size());
        std::vector<std::size_t> linkedBefore(text.size() + 1, 0);
        std::size_t off = 0;
        for (const auto& r : para.runs) {
            runStart.push_back(off);
            for (std::size_t k = 0; k < r.text.size(); ++k)
                linkedBefore[off + k + 1] = linkedBefore[off + k] + (r.link >= 0 ? 1 : 0);
            off += r.text.size();
        }
        auto linkedIn = [&](std::size_t b, std::size_t e) { return linkedBefore[e] != linkedBefore[b]; };
        struct Match {
            std::size_t begin, end;
            std::int32_t link;
        };
        std::vector<Match> matches;
        for (std::size_t i = 0; i < text.size();) {
            std::size_t n = urlLengthAt(text, i);
            if (n == 0) {
                ++i;
                continue;
            }
            // An address already inside a link is passed over whole, so
            // text like "mailto:mailto:..." is not scanned again and again.
            if (linkedIn(i, i + n)) {
                i += n;
                continue;
            }
            std::string shown = text.substr(i, n);
            std::string target = equalsNoCase(shown.substr(0, 4), "www.") ? "http://" + shown : shown;
            doc.links.push_back(RtfLink{target, {}, std::string::npos, std::string::npos});
            matches.push_back({i, i + n, static_cast<std::int32_t>(doc.links.size()) - 1});
            i += n;
        }
        if (matches.empty()) continue;
        // One pass over the runs cuts them at the match bounds.
        std::vector<RtfRun> out;
        out.reserve(para.runs.size() + matches.size() * 2);
        std::size_t m = 0;
        for (std::size_t k = 0; k < para.runs.size(); ++k) {
            const RtfRun& r = para.runs[k];
            std::size_t rb = runStart[k], re = rb + r.text.size();
            std::size_t pos = rb;
            while (pos < re) {
                while (m < matches.size() && matches[m].end <= pos) ++m;
                std::size_t cut = re;
                std::int32_t link = r.link;
                if (m < matches.size()) {
                    if (matches[m].begin > pos) cut = std::min(re, matches[m].begin);
                    else cut = std::min(re, matches[m].end), link = matches[m].link;
                }
                RtfRun piece = r;
                piece.text = r.text.substr(pos - rb, cut - pos);
                piece.link = link;
                out.push_back(std::move(piece));
                pos = cut;
            }
        }
        para.runs = std::move(out);
    }
    finalizeLinks(doc);
}

}  // namespace tavixTGCL2
