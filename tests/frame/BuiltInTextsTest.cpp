// The library's own English texts: the catalogue and the default texts its
// bar definitions carry after "::" read as the operator is meant to see them.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "frame/HostKit.h"
#include "frame/TextLookup.h"
#include "resources/Resources.h"

using namespace tavixTGCL2;

namespace {

// The first word that follows itself ("to to"), or "" when there is none.
std::string doubledWord(const std::string& text) {
    std::istringstream words(text);
    std::string previous, word;
    while (words >> word) {
        std::string bare;
        for (unsigned char c : word)
            if (std::isalpha(c)) bare += static_cast<char>(std::tolower(c));
        if (!bare.empty() && bare == previous) return bare;
        previous = bare;
    }
    return {};
}

}  // namespace

TEST(BuiltInTexts, NextTooltipReadsWithoutTheDoubledWord) {
    CatalogueTranslator catalogue;
    EXPECT_EQ(catalogue.Translate("", "212::Go to next test element", {}), "Go to next test element");
    // The bar definition's literal carries the same text as its default.
    const std::string bars(Resources::get("toolbar_testguide.bars"));
    const auto at = bars.find("\"212::");
    ASSERT_NE(at, std::string::npos);
    const std::string literal = bars.substr(at + 1, bars.find('"', at + 1) - at - 1);
    EXPECT_EQ(literalDefaultText(literal), "Go to next test element");
}

TEST(BuiltInTexts, NoTextRepeatsAWord) {
    for (const std::string& name : Resources::names()) {
        if (name != "catalogue_en.txt" && name.find(".bars") == std::string::npos) continue;
        std::istringstream lines{std::string(Resources::get(name))};
        std::string line;
        int number = 0;
        while (std::getline(lines, line)) {
            ++number;
            if (!line.empty() && line[0] == '#') continue;
            EXPECT_EQ(doubledWord(line), "") << name << ":" << number << ": " << line;
        }
    }
    EXPECT_EQ(doubledWord("Go to to next"), "to");  // the check itself sees one
}
