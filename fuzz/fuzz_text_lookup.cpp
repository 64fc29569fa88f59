// Literals "<number>::<English default>" as hosts and resources hand them to
// TranslateText, looked up through the built-in English catalogue.
#include <string>

#include "FuzzSupport.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "frame/TextLookup.h"

using namespace tavixTGCL2;

namespace {

// The catalogue's number of a literal by the rule the catalogue documents:
// one to nine plain digits before "::", within 32 bits.
std::optional<std::int32_t> numberOf(std::string_view literal) {
    const std::size_t pos = literal.find("::");
    if (pos == literal.npos || pos == 0 || pos > 9) return std::nullopt;
    std::int64_t n = 0;
    for (char c : literal.substr(0, pos)) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TextCatalogue english = TextCatalogue::builtInEnglish();
    static const bool installed = [] {
        auto tr = std::make_shared<CatalogueTranslator>();
        HostServices::setTranslatorFactory([tr] { return tr; });
        return true;
    }();
    (void)installed;

    fuzz::Bytes in(data, size);
    const std::string literal(in.piece());

    // The fallback strips only a number of one to five plain digits.
    const std::string fallback = literalDefaultText(literal);
    if (fallback != literal) {
        const std::size_t pos = literal.size() - fallback.size() - 2;
        FUZZ_REQUIRE(pos >= 1 && pos <= 5);
        FUZZ_REQUIRE(literal.compare(pos, 2, "::") == 0);
        FUZZ_REQUIRE(literal.compare(pos + 2, std::string::npos, fallback) == 0);
        FUZZ_REQUIRE(literal.find_first_not_of("0123456789") == pos);
    }

    // A known number gives the catalogue's text; anything else the fallback.
    const std::string shown = TranslateText(literal);
    const auto number = numberOf(literal);
    const auto known = number ? english.text(*number) : std::nullopt;
    if (known && !known->empty())
        FUZZ_REQUIRE(shown == *known);
    else
        FUZZ_REQUIRE(shown == fallback);

    // Placeholders take the host's values; non-empty values without '%' or
    // digits cannot form new placeholders, so none of theirs may remain.
    VariantList args;
    while (!in.empty() && args.size() < 9) {
        std::string arg = "v";
        for (char c : in.piece())
            if (c != '%' && (c < '0' || c > '9')) arg += c;
        args.emplace_back(arg);
    }
    const std::string filled = fillPlaceholders(literal, args);
    std::size_t argBytes = 0;
    for (const auto& a : args) argBytes += a.toString().size();
    FUZZ_REQUIRE(filled.size() <= literal.size() + literal.size() / 3 * argBytes);
    for (std::size_t k = 1; k <= args.size(); ++k) {
        const std::string mark = "%%" + std::to_string(k);
        FUZZ_REQUIRE(filled.find(mark) == std::string::npos);
    }
    const std::string translated = translate(literal, args);
    if (known && !known->empty()) FUZZ_REQUIRE(translated == fillPlaceholders(*known, args));
    return 0;
}
