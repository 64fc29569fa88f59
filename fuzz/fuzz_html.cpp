// HTML text handling of pages and procedure fragments: escaping of values put
// into markup, decoding of character references, the page split into head,
// body and tail, and the page's plain text.
#include <string>

#include "FuzzSupport.h"
#include "platform/HtmlDocument.h"

using namespace tavixTGCL2;

namespace {

// An '&' in escaped text may only start one of the entities escape writes.
bool onlyKnownEntities(std::string_view s) {
    for (std::size_t at = s.find('&'); at != s.npos; at = s.find('&', at + 1)) {
        const std::string_view tail = s.substr(at);
        if (tail.rfind("&amp;", 0) != 0 && tail.rfind("&lt;", 0) != 0 &&
            tail.rfind("&gt;", 0) != 0 && tail.rfind("&quot;", 0) != 0 &&
            tail.rfind("&#39;", 0) != 0)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string escaped = html::escape(input);
    FUZZ_REQUIRE(escaped.find_first_of("<>\"'") == std::string::npos);
    FUZZ_REQUIRE(onlyKnownEntities(escaped));
    FUZZ_REQUIRE(escaped.size() <= 6 * input.size());
    FUZZ_REQUIRE(html::decodeEntities(escaped) == input);

    // A reference never decodes to more bytes than it is written with
    // (the shortest, "&#0;", gives U+FFFD in three), so text cannot grow.
    const std::string decoded = html::decodeEntities(input);
    FUZZ_REQUIRE(decoded.size() <= input.size());

    const std::string text = html::toPlainText(input);
    FUZZ_REQUIRE(fuzz::isUtf8(text));
    FUZZ_REQUIRE(text.size() <= 3 * input.size() + 16);

    // The page keeps what it was given: writing it out and reading that
    // back gives the same page, body and title.
    auto doc = std::make_shared<HtmlDocument>("about:blank", input);
    const std::string page = doc->documentHTML();
    const std::string body = doc->body().innerHTML();
    auto again = std::make_shared<HtmlDocument>("about:blank", page);
    FUZZ_REQUIRE(again->documentHTML() == page);
    FUZZ_REQUIRE(again->body().innerHTML() == body);
    FUZZ_REQUIRE(again->title() == doc->title());
    FUZZ_REQUIRE(fuzz::isUtf8(doc->title()));

    // Replacing the body touches nothing around it.
    doc->body().setInnerHTML("<p>x</p>");
    FUZZ_REQUIRE(doc->body().innerHTML() == "<p>x</p>");
    doc->body().setInnerHTML(body);
    FUZZ_REQUIRE(doc->documentHTML() == page);
    return 0;
}
