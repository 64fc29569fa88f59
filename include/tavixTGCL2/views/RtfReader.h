#pragma once
// Reads the rich text a procedure carries into a small document model that
// the rich-text viewer holds and a renderer draws: paragraphs of runs with
// their character format and link targets. Any input gives a document: text
// that is not RTF is read as plain text, and damaged RTF (unbalanced braces,
// cut short, stray bytes) gives what could be read. The subset understood is
// listed in docs/host-kit-views.md.
#include <tavixTGCL2/Export.h>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavixTGCL2 {

struct TGCL_API RtfRun {
    std::string text;              // UTF-8; '\n' is a line break, '\t' a tab
    bool bold = false;
    bool italic = false;
    bool underline = false;
    float fontSize = 12.0f;        // points
    std::int32_t color = -1;       // OLE colour (red in the low byte); -1 automatic
    std::int32_t link = -1;        // index into RtfDocument::links; -1 none

    bool sameFormat(const RtfRun& o) const {
        return bold == o.bold && italic == o.italic && underline == o.underline &&
               fontSize == o.fontSize && color == o.color && link == o.link;
    }
};

struct TGCL_API RtfParagraph {
    std::vector<RtfRun> runs;
    std::string text() const;
};

struct TGCL_API RtfLink {
    std::string target;            // what opening the link opens
    std::string text;              // the text shown for it
    // Byte range of the shown text in RtfDocument::plainText(); both are
    // npos for a link that shows no text.
    std::size_t begin = std::string::npos;
    std::size_t end = std::string::npos;
};

struct TGCL_API RtfDocument {
    std::vector<RtfParagraph> paragraphs;
    std::vector<RtfLink> links;    // in the order they appear in the text
    bool isRtf = false;            // false: the input was read as plain text

    // Paragraphs joined by '\n'.
    std::string plainText() const;
    // The link shown at a byte offset of plainText(), or -1.
    std::int32_t linkAt(std::size_t offset) const;
};

class TGCL_API RtfReader {
public:
    // Never throws but for memory exhaustion.
    static RtfDocument parse(std::string_view input);
    // One paragraph per line, default format; bytes that are not UTF-8 are
    // read as Windows-1252, control characters other than tab dropped.
    static RtfDocument fromPlainText(std::string_view text);
    // Makes links of the web addresses in the text that is not a link yet
    // ("http://", "https://", "ftp://", "file://", "mailto:" and "www."
    // addresses, trailing punctuation left out).
    static void detectUrls(RtfDocument& doc);
    // Whether the input starts like RTF ("{\rtf" after blanks and a UTF-8
    // byte-order mark).
    static bool looksLikeRtf(std::string_view input);
};

}  // namespace tavixTGCL2
