#pragma once
// The document of the embedded browser: the page's raw HTML kept as it came,
// split around the body so that the body's inner HTML can be read and
// replaced, plus the style sheets added by script. No DOM tree is built: a
// renderer (or the Qt backend) reads documentHTML(), a headless host or a
// test reads plainText().
#include <tavixTGCL2/Export.h>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <tavixTGCL2/platform/Event.h>
#include <tavixTGCL2/platform/Variant.h>

namespace tavixTGCL2 {

class HtmlDocument;

// The document's body, reachable by name ("innerHTML") for late-bound callers.
class TGCL_API HtmlBody : public Object {
public:
    explicit HtmlBody(HtmlDocument& doc) : m_doc(doc) {}
    std::string innerHTML() const;
    void setInnerHTML(const std::string& html);
    // The body's text as a reader sees it (see HtmlDocument::plainText).
    std::string innerText() const;

    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

private:
    friend struct MemberTables;
    static const MemberTable<HtmlBody>& members();

    HtmlDocument& m_doc;
};

struct TGCL_API HtmlStyleSheet {
    bool isLink = false;   // true: href names the sheet; false: cssText holds it
    std::string href;
    std::string cssText;
};

class TGCL_API HtmlDocument : public Object, public std::enable_shared_from_this<HtmlDocument> {
public:
    // url is the address the document was loaded from, as the browser
    // reports it in LocationURL.
    HtmlDocument(std::string url, std::string_view html);
    HtmlDocument(const HtmlDocument&) = delete;
    HtmlDocument& operator=(const HtmlDocument&) = delete;

    const std::string& URL() const { return m_url; }
    // Text of the first <title> element, entities decoded and white space
    // collapsed; empty when the page has none.
    std::string title() const;

    HtmlBody& body() { return m_body; }
    const HtmlBody& body() const { return m_body; }

    // A style sheet reference: an address or path ("proc.css",
    // "file:///x.css", "http://h/x.css") becomes a linked sheet, anything
    // else is taken as style rules. Returns the sheet's index.
    std::size_t createStyleSheet(const std::string& cssTextOrUrl);
    const std::vector<HtmlStyleSheet>& styleSheets() const { return m_styleSheets; }

    // The whole page as it stands now: the original markup around the
    // current body, with the added style sheets at the end of the head.
    std::string documentHTML() const;
    // The page as text: tags removed, script/style/head content dropped,
    // common entities decoded, white space collapsed outside <pre>, block
    // elements and <br> starting new lines, at most one blank line in a row.
    std::string plainText() const;

    // Raised after the body or the style sheets changed, so a renderer
    // knows to draw again.
    Event<> Changed;

    // By name (see members() in HtmlDocument.cpp); "body" is an object
    // sharing the document's lifetime, so the document must be held by a
    // shared_ptr.
    Variant invoke(const std::string& member, VariantList& args) override;

private:
    friend class HtmlBody;
    friend struct MemberTables;
    static const MemberTable<HtmlDocument>& members();

    void split(std::string_view html);
    static std::string titleIn(const std::string& markup);

    std::string m_url;
    std::string m_head;   // everything up to and including the body start tag
    std::string m_inner;  // the body's content
    std::string m_tail;   // the body end tag and everything after it
    std::vector<HtmlStyleSheet> m_styleSheets;
    std::size_t m_headInsert = 0;  // where added style sheets go in m_head
    HtmlBody m_body{*this};
};

namespace html {

// Markup-safe text: & < > " ' become entities, so a value can be placed in
// element content or a quoted attribute without being read as markup.
TGCL_API std::string escape(std::string_view text);
// Decodes character references (&amp; &#233; &#xE9; and the common named
// ones) into UTF-8. Unknown or malformed references stay as written;
// references to invalid code points become U+FFFD.
TGCL_API std::string decodeEntities(std::string_view text);
// Text of a piece of HTML, by the rules of HtmlDocument::plainText.
TGCL_API std::string toPlainText(std::string_view html);

}  // namespace html

}  // namespace tavixTGCL2
