#pragma once
// Every text the library shows is a localisable literal, "<number>::<English
// default>", looked up through the host's translator.
#include <tavixTGCL2/Export.h>
#include <string>

#include <tavixTGCL2/platform/Variant.h>

namespace tavixTGCL2 {

// The toolbar's lookup: the translator's answer, or, when it has none, the
// default text of a numbered literal. The numeric test accepts plain
// decimal digits only (no sign, blank or decimal point): every literal of
// the library uses plain digits, and a looser test would strip text from a
// host caption such as "1.5::ratio". An error from the translator
// propagates to the caller.
TGCL_API std::string TranslateText(const std::string& literal);

// The fallback alone: the text after "::" when "::" begins at 1-based
// position 1 to 6 and the part before it is a number, else the literal.
TGCL_API std::string literalDefaultText(const std::string& literal);

// The plain lookup the other controls use: the translator's answer
// unchanged, with placeholder values. An error from the translator
// propagates; a missing translator gives "".
TGCL_API std::string translate(const std::string& literal, const VariantList& args = {});

}  // namespace tavixTGCL2
