#pragma once
// The rich-text viewer of the embedded host kit, known to containers as
// "tavixView.XRichEdit". It reads the RTF it is given into a document model
// (RtfReader.h) that a renderer draws, and raises LinkClicked when the
// operator opens a link. The viewer is read-only: the operator reads and
// follows links, the host sets the content.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <string>

#include <tavixTGCL2/views/RtfReader.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Event.h>

namespace tavixTGCL2 {

class TGCL_API XRichEdit : public Control {
public:
    static constexpr const char* kClassName = "tavixView.XRichEdit";
    // Dispatch numbers of the two properties a container sets, in this
    // order: the switch first, then the content. The member table uses these.
    static constexpr std::int32_t kDispIdAutoURLDetect = 0x68030008;
    static constexpr std::int32_t kDispIdTextRTF = 0x68030000;

    explicit XRichEdit(std::string name = {});
    static void registerClass();

    // The Boolean switch: when True, web addresses written in the text
    // ("http://...", "www....", "mailto:...") become links too, besides the
    // HYPERLINK fields. Changing it reads the current content again.
    bool AutoURLDetect() const { return m_autoUrlDetect; }
    void setAutoURLDetect(bool on);

    // The content: RTF, or any other text, which is shown as plain text.
    // Never throws for bad content; raises Change.
    const std::string& TextRTF() const { return m_rtf; }
    void setTextRTF(const std::string& rtf);

    // What the viewer shows, as text: paragraphs separated by '\n'.
    const std::string& Text() const { return m_plain; }
    const RtfDocument& document() const { return m_doc; }
    std::size_t linkCount() const { return m_doc.links.size(); }
    // Throws Error(errSubscript) for an index out of range.
    const RtfLink& link(std::size_t index) const;

    // The operator opens link `index` (in text order): raises LinkClicked
    // with its target. Returns false, raising nothing, when there is no such
    // link or the viewer is disabled.
    bool clickLink(std::size_t index);
    // The operator clicks the character at a byte offset of Text(); opens
    // the link shown there, if any.
    bool clickAt(std::size_t textOffset);

    // First event: the content was replaced.
    Event<> Change;
    // Second event: a link was opened; the argument is its target.
    Event<std::string&> LinkClicked;

    // By name, or "#" dispatch number for the two properties a container
    // sets (the switch first, then the content): see members() in
    // XRichEdit.cpp; then those of Control.
    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

private:
    friend struct MemberTables;
    static const MemberTable<XRichEdit>& members();

    void reload();

    bool m_autoUrlDetect = false;
    std::string m_rtf;
    RtfDocument m_doc;
    std::string m_plain;
};

}  // namespace tavixTGCL2
