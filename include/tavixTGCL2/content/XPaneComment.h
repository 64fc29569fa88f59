#pragma once
// The page of the comment tab: a title line and an editable text box bound
// to the comment of the host's current result. What the operator types is
// written back to the result at once and announced with Change, which the
// content pane receives through the generic event stream
// (ObjectEvent("Change")) and passes on as CommentChange.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>

#include <tavixTGCL2/content/PageContracts.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Event.h>

namespace tavixTGCL2 {

class Label;
class TextBox;

class TGCL_API XPaneComment : public Control, public ICommentPage {
public:
    static constexpr const char* kClassName = "tavixTGCL2.XPaneComment";
    static constexpr const char* kTitle = "316::Comment:";
    // The body starts this far below the title.
    static constexpr std::int32_t kTitleGap = 60;

    explicit XPaneComment(std::string name = {});
    ~XPaneComment() override;
    static void registerClass();

    // Binds the pane to a result (or none) and shows the result's comment;
    // without a result the text stays as it is.
    void Initialize(const std::shared_ptr<ITestResult>& irdResult) override;
    // The text box's text. Setting it raises no Change and leaves the
    // result alone.
    std::string Comment() const override;
    void setComment(const std::string& s) override;

    // The operator changed the comment (also as ObjectEvent("Change")).
    Event<> Change;

    Label& lblTitle() const { return *m_lblTitle; }
    TextBox& txtComment() const { return *m_txtComment; }
    const std::shared_ptr<ITestResult>& Result() const { return m_result; }

    // By name: "Comment", "Initialize" (with no result: a result is not a
    // late-bound object; see members() in XPaneComment.cpp), and those of
    // Control.
    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

protected:
    void onResize() override;

private:
    friend struct MemberTables;
    static const MemberTable<XPaneComment>& members();

    void layout();
    void onTextChanged();

    std::shared_ptr<Label> m_lblTitle;
    std::shared_ptr<TextBox> m_txtComment;
    std::shared_ptr<ITestResult> m_result;
    std::int16_t m_iBusy = 0;
};

}  // namespace tavixTGCL2
