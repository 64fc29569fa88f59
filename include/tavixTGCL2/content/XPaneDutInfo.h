#pragma once
// The page of the DUT information tab: a title line and the item-collection
// editor of the sibling view library ("tavixView.XItemCollEdit"), which
// shows the device-under-test information of the host's test setup. The
// editor is driven by its dispatch numbers, as a container of the original
// view drives it. Stored property: "BackColor" (white), which the editor
// shares.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/content/PageContracts.h>
#include <tavixTGCL2/platform/Control.h>

namespace tavixTGCL2 {

class Label;

class TGCL_API XPaneDutInfo : public Control, public IDutInfoPage {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XPaneDutInfo";
    static constexpr const char* kEditorClass = "tavixView.XItemCollEdit";
    static constexpr const char* kTitle = "2541::Device Under Test";
    static constexpr OleColor kDefaultBackColor = 0xFFFFFF;
    static constexpr std::int32_t kTitleGap = 60;
    // The editor's members, by dispatch number.
    static constexpr const char* kEditorLoad = "#0x60030003";
    static constexpr const char* kEditorReadOnly = "#0x68030000";
    static constexpr const char* kEditorBackColor = "#0x68030005";

    explicit XPaneDutInfo(std::string name = {});
    ~XPaneDutInfo() override;
    static void registerClass();

    OleColor BackColor() const { return Control::BackColor(); }
    // The pane's and the editor's background; marks "BackColor" changed.
    void setBackColor(OleColor c);
    // Loads the setup's DUT information into the editor and hands it the
    // setup's flag; without a setup the editor is hidden and keeps what it
    // showed.
    void Initialize(const std::shared_ptr<ITestSetup>& itsSetup) override;

    void ReadProperties();
    void WriteProperties();

    Label& lblTitle() const { return *m_lblTitle; }
    // nullptr when the editor class could not be created.
    Control* xieDutInfo() const { return m_xieDutInfo.get(); }

    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

protected:
    void onResize() override;

private:
    friend struct MemberTables;
    static const MemberTable<XPaneDutInfo>& members();

    void layout();

    std::shared_ptr<Label> m_lblTitle;
    std::shared_ptr<Control> m_xieDutInfo;
};

}  // namespace tavixTGCL2
