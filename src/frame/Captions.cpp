#include "frame/Captions.h"

#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "frame/TextLookup.h"
#include "platform/Control.h"
#include "platform/Error.h"
#include "platform/StandardControls.h"

namespace tavixTGCL2 {

namespace {

// A text still in literal form gives its default text; anything else (a
// translation, a host's own caption) stays as it is.
void showDefaultTexts(Control& c) {
    if (auto text = literalDefaultText(c.Caption()); text != c.Caption()) c.setCaption(text);
    if (auto tip = literalDefaultText(c.ToolTipText()); tip != c.ToolTipText()) c.setToolTipText(tip);
    if (auto* tabs = dynamic_cast<TabControl*>(&c))
        for (std::int32_t i = 0; i < tabs->itemCount(); ++i)
            if (auto text = literalDefaultText(tabs->itemCaption(i)); text != tabs->itemCaption(i))
                tabs->setItemCaption(i, text);
    for (const auto& child : c.Children()) showDefaultTexts(*child);
}

}  // namespace

std::string captionText(const std::string& literal, SourceSite where) {
    std::string text;
    if (!resumeNext([&] { text = TranslateText(literal); }, where)) text = literalDefaultText(literal);
    return text;
}

std::string translatedText(const std::string& literal, const VariantList& args, SourceSite where) {
    std::string text;
    if (!resumeNext([&] { text = translate(literal, args); }, where))
        text = fillPlaceholders(literalDefaultText(literal), args);
    return text;
}

void translateForm(Control& form, SourceSite where) {
    const bool translated = resumeNext([&] {
        auto translator = HostServices::Translator();
        required(translator, "translator").TranslateControls("", form);
    }, where);
    if (!translated) resumeNext([&] { showDefaultTexts(form); }, where);
}

}  // namespace tavixTGCL2
