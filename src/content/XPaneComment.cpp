#include "content/XPaneComment.h"

#include "content/PaneTitle.h"
#include "frame/Captions.h"
#include "frame/HostServices.h"
#include "frame/MMain.h"
#include "platform/CountedScope.h"
#include "platform/Error.h"
#include "platform/StandardControls.h"

namespace tavixTGCL2 {

namespace {

[[maybe_unused]] const bool kRegistered = (XPaneComment::registerClass(), true);

// Counts the pane's own writes into the text box, which are not the operator's edits.
using Busy = CountedScope;

}  // namespace

void XPaneComment::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XPaneComment>(); });
}

XPaneComment::XPaneComment(std::string name) : Control(kClassName, std::move(name)) {
    MMain::ensureStarted();
    Control::setBackColor(0xFFFFFF);
    m_lblTitle = PaneTitle::create(*this, kTitle);
    m_txtComment = create<TextBox>("txtComment");
    m_txtComment->setMultiLine(true);
    m_txtComment->setBorderPixels(1);
    translateForm(*this);
    resumeNext([&] { PaneTitle::fit(*m_lblTitle); });

    m_txtComment->Change.connect([this] { onTextChanged(); });
    PaneTitle::forwardMouseMoves(*this, {m_lblTitle.get(), m_txtComment.get()});
}

XPaneComment::~XPaneComment() = default;

void XPaneComment::Initialize(const std::shared_ptr<ITestResult>& irdResult) {
    Busy busy(m_iBusy);
    m_result = irdResult;
    if (m_result) resumeNext([&] { m_txtComment->setText(m_result->Comment()); });
}

std::string XPaneComment::Comment() const { return m_txtComment->Text(); }

void XPaneComment::setComment(const std::string& s) {
    Busy busy(m_iBusy);
    resumeNext([&] { m_txtComment->setText(s); });
}

void XPaneComment::onTextChanged() {
    if (m_iBusy > 0) return;
    if (m_result) resumeNext([&] { m_result->setComment(m_txtComment->Text()); });
    resumeNext([&] { Change(); });
    resumeNext([&] {
        VariantList none;
        ObjectEvent("Change", none);
    });
}

void XPaneComment::onResize() { layout(); }

void XPaneComment::layout() { PaneTitle::placeBody(*this, *m_lblTitle, *m_txtComment, kTitleGap); }

Variant XPaneComment::invoke(const std::string& member, VariantList& args) {
    if (member == "Comment") {
        if (args.empty()) return Comment();
        setComment(args[0].toString());
        return {};
    }
    if (member == "Initialize") {
        // A late-bound caller can only unbind: results are host objects.
        if (!args.empty() && !args[0].isEmpty())
            throw Error(errTypeMismatch, "Initialize takes a result object");
        Initialize(nullptr);
        return {};
    }
    return Control::invoke(member, args);
}

void XPaneComment::setProperty(const std::string& member, const Variant& value) {
    if (member == "Comment") setComment(value.toString());
    else Control::setProperty(member, value);
}

}  // namespace tavixTGCL2
