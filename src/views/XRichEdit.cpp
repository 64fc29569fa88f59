#include "views/XRichEdit.h"

#include "frame/DispatchId.h"
#include "platform/Error.h"
#include "platform/MemberTable.h"

namespace tavixTGCL2 {

namespace {
[[maybe_unused]] const bool kRegistered = (XRichEdit::registerClass(), true);

// Colours arrive as any number: system colours (high bit set) as negative
// 32-bit values or as large positive ones.
OleColor toOleColor(const Variant& v) {
    double d = v.toDouble();
    if (!(d >= -2147483648.0 && d <= 4294967295.0)) throw Error(errOverflow, "Overflow: colour value");
    return static_cast<OleColor>(static_cast<std::int64_t>(d));
}
}

XRichEdit::XRichEdit(std::string name) : Control(kClassName, std::move(name)) {
    setBackColor(0x80000005);
    reload();
}

void XRichEdit::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XRichEdit>(); });
}

void XRichEdit::setAutoURLDetect(bool on) {
    if (on == m_autoUrlDetect) return;
    m_autoUrlDetect = on;
    reload();
}

void XRichEdit::setTextRTF(const std::string& rtf) {
    m_rtf = rtf;
    reload();
    std::weak_ptr<Control> self = weak_from_this();
    bool shared = !self.expired();
    resumeNext([&] { Change(); });
    if (shared && self.expired()) return;
    VariantList none;
    resumeNext([&] { ObjectEvent("Change", none); });
}

void XRichEdit::reload() {
    // A document that cannot be read as RTF is still shown, as text; one
    // that cannot be held at all leaves the viewer empty rather than failing
    // the setter.
    try {
        m_doc = RtfReader::parse(m_rtf);
        if (m_autoUrlDetect) RtfReader::detectUrls(m_doc);
        m_plain = m_doc.plainText();
    } catch (...) {
        // Text that is no RTF is a document like any other; anything else
        // that failed here is worth knowing about.
        try {
            throw;
        } catch (const Error&) {
        } catch (...) {
            reportContained();
        }
        try {
            m_doc = RtfReader::fromPlainText(m_rtf);
            m_plain = m_doc.plainText();
        } catch (...) {
            reportContained();
            m_doc = RtfDocument{};
            m_plain.clear();
        }
    }
    changed(Change::Content);
}

const RtfLink& XRichEdit::link(std::size_t index) const {
    if (index >= m_doc.links.size()) throw Error(errSubscript, "Subscript out of range: link " + std::to_string(index));
    return m_doc.links[index];
}

bool XRichEdit::clickLink(std::size_t index) {
    if (!Enabled() || index >= m_doc.links.size()) return false;
    const std::string target = m_doc.links[index].target;
    std::weak_ptr<Control> self = weak_from_this();
    bool shared = !self.expired();
    std::string argument = target;  // a handler may change its copy
    resumeNext([&] { LinkClicked(argument); });
    if (shared && self.expired()) return true;
    VariantList args{Variant(target)};
    resumeNext([&] { ObjectEvent("LinkClicked", args); });
    return true;
}

bool XRichEdit::clickAt(std::size_t textOffset) {
    std::int32_t index = m_doc.linkAt(textOffset);
    return index >= 0 && clickLink(static_cast<std::size_t>(index));
}

const MemberTable<XRichEdit>& XRichEdit::members() {
    using M = MemberTable<XRichEdit>;
    static const M table(
        MemberTables::of<Control>(),
        {
            M::method("clickLink",
                      [](XRichEdit& r, MemberCall& c) {
                          std::int32_t i = c.arg(0).toInt32();
                          return i >= 0 && r.clickLink(static_cast<std::size_t>(i));
                      }),
            M::property("TextRTF", kDispIdTextRTF, &XRichEdit::TextRTF, &XRichEdit::setTextRTF),
            M::property("AutoURLDetect", kDispIdAutoURLDetect, &XRichEdit::AutoURLDetect, &XRichEdit::setAutoURLDetect),
            M::property("BackColor", &Control::BackColor,
                        [](XRichEdit& r, const Variant& v) { r.setBackColor(toOleColor(v)); }),
            M::readOnly("Text", &XRichEdit::Text),
            M::readOnly("LinkCount", [](XRichEdit& r) { return static_cast<std::int32_t>(r.linkCount()); }),
        },
        {.dispatchId = dispatchIdOf});
    return table;
}

Variant XRichEdit::invoke(const std::string& member, VariantList& args) {
    return members().invoke(*this, member, args);
}

void XRichEdit::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

}  // namespace tavixTGCL2
