#include "frame/TextLookup.h"

#include "frame/HostServices.h"

namespace tavixTGCL2 {

std::string literalDefaultText(const std::string& literal) {
    auto pos = literal.find("::");
    // pos is 0-based: "::" at 1-based positions 1 to 6.
    if (pos == std::string::npos || pos > 5) return literal;
    if (pos == 0) return literal;  // an empty number is not numeric
    for (std::size_t i = 0; i < pos; ++i)
        if (literal[i] < '0' || literal[i] > '9') return literal;
    return literal.substr(pos + 2);
}

std::string translate(const std::string& literal, const VariantList& args) {
    auto t = HostServices::Translator();
    if (!t) return {};
    return t->Translate("", literal, args);
}

std::string TranslateText(const std::string& literal) {
    if (literal.empty()) return {};
    std::string text = translate(literal);
    if (!text.empty()) return text;
    return literalDefaultText(literal);
}

}  // namespace tavixTGCL2
