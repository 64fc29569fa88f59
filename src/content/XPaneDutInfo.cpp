#include "content/XPaneDutInfo.h"

#include "content/PaneTitle.h"
#include "frame/Captions.h"
#include "frame/HostServices.h"
#include "frame/MMain.h"
#include "views/XItemCollEdit.h"
#include "platform/Error.h"
#include "platform/MemberTable.h"
#include "platform/StandardControls.h"

namespace tavixTGCL2 {

namespace {

[[maybe_unused]] const bool kRegistered = (XPaneDutInfo::registerClass(), true);

void call(Control& c, const char* member, Variant arg) {
    VariantList args{std::move(arg)};
    c.invoke(member, args);
}

}  // namespace

void XPaneDutInfo::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XPaneDutInfo>(); });
}

XPaneDutInfo::XPaneDutInfo(std::string name) : Control(kClassName, std::move(name)) {
    MMain::ensureStarted();
    Control::setBackColor(kDefaultBackColor);
    m_lblTitle = PaneTitle::create(*this, kTitle);
    resumeNext([&] {
        m_xieDutInfo = ControlFactory::create(kEditorClass);
        m_xieDutInfo->setName("xieDutInfo");
        add(m_xieDutInfo);
        call(*m_xieDutInfo, kEditorBackColor, static_cast<std::int32_t>(kDefaultBackColor));
    });
    translateForm(*this);
    resumeNext([&] { PaneTitle::fit(*m_lblTitle); });

    PaneTitle::forwardMouseMoves(*this, {m_lblTitle.get()});
}

XPaneDutInfo::~XPaneDutInfo() = default;

void XPaneDutInfo::setBackColor(OleColor c) {
    Control::setBackColor(c);
    if (m_xieDutInfo) resumeNext([&] { call(*m_xieDutInfo, kEditorBackColor, static_cast<std::int32_t>(c)); });
    PropertyChanged("BackColor");
}

void XPaneDutInfo::Initialize(const std::shared_ptr<ITestSetup>& itsSetup) {
    if (!m_xieDutInfo) return;
    Control& editor = *m_xieDutInfo;
    if (!itsSetup) {
        resumeNext([&] { editor.setVisible(false); });
        return;
    }
    resumeNext([&] { editor.setVisible(true); });
    resumeNext([&] {
        std::shared_ptr<IDutInfo> dut = itsSetup->DutInfo();
        call(editor, kEditorLoad, dut ? Variant(ObjectPtr(std::make_shared<DutInfoObject>(dut))) : Variant());
    });
    resumeNext([&] {
        ITestSetupView2* view = itsSetup->secondView();
        if (!view) throw Error(errNoSuchMember, "the setup offers no second view");
        call(editor, kEditorReadOnly, view->DutEditorFlag());
    });
}

void XPaneDutInfo::onResize() { layout(); }

void XPaneDutInfo::layout() {
    if (m_xieDutInfo) PaneTitle::placeBody(*this, *m_lblTitle, *m_xieDutInfo, kTitleGap);
}

void XPaneDutInfo::ReadProperties() {
    resumeNext([&] {
        Control::setBackColor(static_cast<OleColor>(
            propertyBag().ReadProperty("BackColor", static_cast<std::int32_t>(kDefaultBackColor)).toInt32()));
    });
    if (m_xieDutInfo)
        resumeNext([&] {
            call(*m_xieDutInfo, kEditorBackColor, static_cast<std::int32_t>(Control::BackColor()));
        });
}

void XPaneDutInfo::WriteProperties() {
    resumeNext([&] {
        propertyBag().WriteProperty("BackColor", static_cast<std::int32_t>(Control::BackColor()),
                                    static_cast<std::int32_t>(kDefaultBackColor));
    });
}

const MemberTable<XPaneDutInfo>& XPaneDutInfo::members() {
    using M = MemberTable<XPaneDutInfo>;
    static const M table(MemberTables::of<Control>(),
                         {M::property("BackColor", &XPaneDutInfo::BackColor, &XPaneDutInfo::setBackColor)});
    return table;
}

Variant XPaneDutInfo::invoke(const std::string& member, VariantList& args) {
    return members().invoke(*this, member, args);
}

void XPaneDutInfo::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

}  // namespace tavixTGCL2
