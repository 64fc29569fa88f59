#pragma once
// Texts of the controls the library makes and captions. A failing
// translator costs at most the text, never the control: where a lookup
// fails, these give the literal's default text (the part after "::") and
// report the failure as contained in the caller's operation. A statement
// that adds a control and looks up its caption at once would otherwise lose
// the control with the caption.
#include <string>

#include "platform/Diagnostics.h"
#include "platform/Variant.h"

namespace tavixTGCL2 {

class Control;

// The toolbar's lookup (TranslateText: an empty answer gives the default
// text too).
std::string captionText(const std::string& literal, SourceSite where = SourceSite::current());

// The plain lookup (translate: the answer unchanged, placeholders filled by
// the translator); a failing lookup gives the default text with its
// placeholders filled from args.
std::string translatedText(const std::string& literal, const VariantList& args = {},
                           SourceSite where = SourceSite::current());

// The translator's whole-form translation. When it fails part way, or there
// is no translator, every caption, tooltip and tab caption still in literal
// form shows its default text; what was translated stays.
void translateForm(Control& form, SourceSite where = SourceSite::current());

}  // namespace tavixTGCL2
