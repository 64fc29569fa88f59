// Rich text of procedures as hosts hand it to the rich-text viewer: RTF from
// any writer, damaged RTF, and plain text in any encoding.
#include <string>

#include "FuzzSupport.h"
#include "views/RtfReader.h"

using namespace tavixTGCL2;

namespace {

// The model a renderer relies on: UTF-8 text, a bounded size, and links
// whose ranges lie in the text and show what they claim to show.
void checkDocument(const RtfDocument& doc, std::size_t inputSize) {
    const std::string plain = doc.plainText();
    FUZZ_REQUIRE(fuzz::isUtf8(plain));
    // The worst case is one byte of a legacy code page becoming three of
    // UTF-8, e.g. 0x80 read as the euro sign.
    FUZZ_REQUIRE(plain.size() <= 3 * inputSize + 1);
    for (const auto& p : doc.paragraphs)
        for (const auto& r : p.runs) {
            FUZZ_REQUIRE(r.link >= -1 && r.link < static_cast<std::int32_t>(doc.links.size()));
            FUZZ_REQUIRE(r.fontSize > 0.0f && r.fontSize < 10000.0f);
        }
    for (std::size_t i = 0; i < doc.links.size(); ++i) {
        const RtfLink& l = doc.links[i];
        if (l.begin == std::string::npos) {
            FUZZ_REQUIRE(l.end == std::string::npos);
            continue;
        }
        FUZZ_REQUIRE(l.begin < l.end && l.end <= plain.size());
        FUZZ_REQUIRE(plain.compare(l.begin, l.end - l.begin, l.text) == 0);
        FUZZ_REQUIRE(doc.linkAt(l.begin) == static_cast<std::int32_t>(i));
        FUZZ_REQUIRE(doc.linkAt(l.end - 1) == static_cast<std::int32_t>(i));
    }
    FUZZ_REQUIRE(doc.linkAt(plain.size()) == -1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    RtfDocument doc = RtfReader::parse(input);
    FUZZ_REQUIRE(doc.isRtf == RtfReader::looksLikeRtf(input));
    checkDocument(doc, size);
    const std::string before = doc.plainText();

    // Finding addresses adds links over text that had none and changes no
    // text; doing it twice finds nothing more.
    const std::size_t links = doc.links.size();
    RtfReader::detectUrls(doc);
    checkDocument(doc, size);
    FUZZ_REQUIRE(doc.plainText() == before);
    FUZZ_REQUIRE(doc.links.size() >= links);
    const std::size_t found = doc.links.size();
    RtfReader::detectUrls(doc);
    FUZZ_REQUIRE(doc.links.size() == found);

    // Plain text keeps its lines: a paragraph per line break (LF, CR or
    // CR LF), and one more for text after the last break.
    const RtfDocument plain = RtfReader::fromPlainText(input);
    FUZZ_REQUIRE(!plain.isRtf);
    checkDocument(plain, size);
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < size; ++i)
        if (input[i] == '\n' || (input[i] == '\r' && (i + 1 == size || input[i + 1] != '\n'))) ++breaks;
    FUZZ_REQUIRE(plain.paragraphs.size() == breaks || plain.paragraphs.size() == breaks + 1);
    FUZZ_REQUIRE(!plain.paragraphs.empty());
    FUZZ_REQUIRE(plain.plainText().find('\r') == std::string::npos);
    return 0;
}
