#include "content/XPaneComment.h"

#include "content/PaneTitle.h"
#include "frame/Captions.h"
#include "frame/HostServices.h"
#include "frame/MMain.h"
#include "platform/CountedScope.h"
#include "platform/Error.h"
#include "platform/MemberTable.h"
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

const MemberTable<XPaneComment>& XPaneComment::members() {
    using M = MemberTable<XPaneComment>;
    static const M table(
        MemberTables::of<Control>(),
        {
            M::property("Comment", &XPaneComment::Comment, &XPaneComment::setComment),
            M::method("Initialize",
                      [](XPaneComment& p, MemberCall& c) {
                          // A late-bound caller can only unbind: results are host objects.
                          if (!c.args.empty() && !c.args[0].isEmpty())
                              throw Error(errTypeMismatch, "Initialize takes a result object");
                          p.Initialize(nullptr);
                      }),
        });
    return table;
}

Variant XPaneComment::invoke(const std::string& member, VariantList& args) {
    return members().invoke(*this, member, args);
}

void XPaneComment::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

}  // namespace tavixTGCL2
