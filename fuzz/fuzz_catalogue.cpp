// Text catalogues as hosts ship them beside their application
// ("<number> = <text>" lines, '#' comments, \n \t \\ escapes).
#include <map>
#include <string>

#include "FuzzSupport.h"
#include "frame/HostKit.h"
#include "platform/Error.h"

using namespace tavixTGCL2;

namespace {

// The catalogue form of a text, the way a host's tool would write it.
std::string escapeText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    TextCatalogue catalogue;
    try {
        catalogue = TextCatalogue::parse(input);
    } catch (const Error& e) {
        // A refusal names the line, so a translator can find it.
        FUZZ_REQUIRE(std::string(e.what()).rfind("catalogue line ", 0) == 0);
        return 0;
    }

    // Every entry line gives one text, the last line with a number wins, and
    // a text is no longer than its line. The numbers are read here
    // independently of the parser, by the documented rule.
    std::map<std::int32_t, std::size_t> lastLine;
    std::size_t lines = 0;
    std::size_t pos = 0;
    while (pos < input.size()) {
        std::size_t end = input.find('\n', pos);
        if (end == std::string::npos) end = input.size();
        const std::string line = input.substr(pos, end - pos);
        pos = end + 1;
        ++lines;
        const std::size_t eq = line.find('=');
        const std::size_t first = line.find_first_not_of(" \t");
        if (eq == std::string::npos || first >= eq) continue;
        const std::string num = line.substr(first, line.find_last_not_of(" \t", eq - 1) + 1 - first);
        if (num.empty() || num.size() > 9 || num.find_first_not_of("0123456789") != num.npos)
            continue;
        const long long n = std::stoll(num);
        if (n <= INT32_MAX) lastLine[static_cast<std::int32_t>(n)] = line.size();
    }
    std::map<std::int32_t, std::string> seen;
    for (const auto& [n, length] : lastLine) {
        const auto text = catalogue.text(n);
        FUZZ_REQUIRE(text.has_value());
        FUZZ_REQUIRE(text->size() <= length);
        seen[n] = *text;
    }
    FUZZ_REQUIRE(catalogue.size() == seen.size());
    FUZZ_REQUIRE(catalogue.size() <= lines);

    // Written back in catalogue form, the texts read in again unchanged
    // (CR LF line ends, so a text that ends in a carriage return keeps it).
    std::string written = "# written back\n";
    for (const auto& [n, text] : seen) written += std::to_string(n) + " = " + escapeText(text) + "\r\n";
    const TextCatalogue again = TextCatalogue::parse(written);
    FUZZ_REQUIRE(again.size() == seen.size());
    for (const auto& [n, text] : seen) FUZZ_REQUIRE(again.text(n) == text);

    // A host catalogue merged over the built-in one replaces texts, never
    // loses one.
    TextCatalogue merged = TextCatalogue::builtInEnglish();
    const std::size_t builtIn = merged.size();
    merged.merge(catalogue);
    FUZZ_REQUIRE(merged.size() >= builtIn && merged.size() <= builtIn + catalogue.size());
    for (const auto& [n, text] : seen) FUZZ_REQUIRE(merged.text(n) == text);
    return 0;
}
