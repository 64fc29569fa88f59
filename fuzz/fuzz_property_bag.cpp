// The property store's text form ("Key = TYPE value" lines), in which a host
// keeps its forms, and the picture values such a form carries as text.
#include <string>

#include "FuzzSupport.h"
#include "platform/Error.h"
#include "platform/PictureText.h"
#include "platform/PropertyBag.h"

using namespace tavixTGCL2;

namespace {

void checkPicture(std::string_view text) {
    PicturePtr picture;
    try {
        picture = pictureFromText(text);
    } catch (const Error&) {
        return;
    }
    // A picture read back from its own text is the same picture, and the
    // text of that is the same text.
    const std::string written = pictureToText(picture);
    const PicturePtr again = pictureFromText(written);
    FUZZ_REQUIRE(pictureToText(again) == written);
    if (picture) FUZZ_REQUIRE(written.size() <= text.size() + 64 || text.find('*') != text.npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    std::string error;
    const std::optional<PropertyBag> tried = PropertyBag::tryParse(input, &error);
    std::optional<PropertyBag> parsed;
    try {
        parsed = PropertyBag::parse(input);
    } catch (const Error& e) {
        // Both entry points refuse the same text for the same reason, and
        // the reason names the line.
        FUZZ_REQUIRE(!tried && error == e.what());
        FUZZ_REQUIRE(error.rfind("property bag line ", 0) == 0);
    }
    if (!parsed) {
        FUZZ_REQUIRE(!tried);
        checkPicture(input);
        return 0;
    }
    FUZZ_REQUIRE(tried && tried->toText() == parsed->toText());

    // Written out and read back, the bag gives the same text again: no value
    // changes its type or text on a second save.
    const std::string text = parsed->toText();
    const PropertyBag again = PropertyBag::parse(text);
    FUZZ_REQUIRE(again.size() == parsed->size());
    FUZZ_REQUIRE(again.toText() == text);

    // Each line holds at most one property; the written form of a string
    // is at most four times its bytes plus the line's frame.
    std::size_t lines = 1;
    for (char c : input) lines += c == '\n';
    FUZZ_REQUIRE(parsed->size() <= lines);
    FUZZ_REQUIRE(text.size() <= 64 + 4 * input.size() + 48 * parsed->size());

    // A string value read from the form survives a WriteProperty round trip
    // exactly, whatever bytes it holds; picture properties are such strings.
    PropertyBag bag;
    std::size_t eq = input.find(" = STR ");
    if (eq != std::string::npos) {
        const std::size_t start = input.rfind('\n', eq);
        std::string key = input.substr(start == std::string::npos ? 0 : start + 1,
                                       eq - (start == std::string::npos ? 0 : start + 1));
        const auto begin = key.find_first_not_of(" \t\r");
        key = begin == std::string::npos ? "" : key.substr(begin);
        const Variant value = key.empty() ? Variant() : parsed->ReadProperty(key);
        if (value.type() == Variant::Type::String) {
            bag.WriteProperty("Value", value);
            const PropertyBag copy = PropertyBag::parse(bag.toText());
            FUZZ_REQUIRE(copy.ReadProperty("Value") == value);
            checkPicture(value.toString());
        }
    }
    return 0;
}
