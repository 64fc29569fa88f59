#pragma once
// The item-collection editor of the embedded host kit, known to containers
// as "tavixView.XItemCollEdit": shows the named items of a DUT information
// object as name/value rows that a renderer draws, and lets the operator
// change a value unless the editor is read-only.
#include <tavixTGCL2/Export.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <tavixTGCL2/frame/HostComponents.h>
#include <tavixTGCL2/platform/Control.h>
#include <tavixTGCL2/platform/Event.h>

namespace tavixTGCL2 {

struct TGCL_API ItemRow {
    std::string Name;
    std::string Value;
    friend bool operator==(const ItemRow&, const ItemRow&) = default;
};

// Carries an IDutInfo through late-bound calls (a Variant holds Objects
// only): Load by name accepts this, or any Object that is an IDutInfo too.
class TGCL_API DutInfoObject : public Object, public IDutInfo {
public:
    explicit DutInfoObject(std::shared_ptr<IDutInfo> info) : m_info(std::move(info)) {}
    std::vector<std::pair<std::string, std::string>> items() const override {
        return m_info ? m_info->items() : std::vector<std::pair<std::string, std::string>>{};
    }
    const std::shared_ptr<IDutInfo>& info() const { return m_info; }

private:
    std::shared_ptr<IDutInfo> m_info;
};

class TGCL_API XItemCollEdit : public Control {
public:
    static constexpr const char* kClassName = "tavixView.XItemCollEdit";
    // Dispatch numbers a container calls by ("#0x60030003"); the member
    // table uses these.
    static constexpr std::int32_t kDispIdLoad = 0x60030003;
    static constexpr std::int32_t kDispIdReadOnly = 0x68030000;
    static constexpr std::int32_t kDispIdBackColor = 0x68030005;

    explicit XItemCollEdit(std::string name = {});
    static void registerClass();

    // Shows the object's items, in its order; nullptr shows none. When the
    // object fails (its items() throws), the error passes to the caller and
    // the rows shown before stay as they were. Clears Modified.
    void Load(std::shared_ptr<IDutInfo> info);
    const std::shared_ptr<IDutInfo>& DutInfo() const { return m_info; }

    const std::vector<ItemRow>& Items() const { return m_rows; }
    std::int32_t ItemCount() const { return static_cast<std::int32_t>(m_rows.size()); }

    // The setup's flag: True makes the editor read-only (the values are shown
    // but the operator cannot change them).
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on);

    // The operator changes the value of row `index`. Refused (returning
    // false, changing nothing) while read-only or disabled, or for an index
    // out of range. A change raises ItemChange(index) and sets Modified;
    // the DUT information object itself is not written, the host reads
    // Items() back.
    bool editValue(std::size_t index, const std::string& value);
    bool Modified() const { return m_modified; }

    Event<std::int32_t /*Index*/> ItemChange;

    // By name (or "#" dispatch number): see members() in XItemCollEdit.cpp;
    // "Load" takes one object argument or none. Then those of Control.
    Variant invoke(const std::string& member, VariantList& args) override;
    void setProperty(const std::string& member, const Variant& value) override;

private:
    friend struct MemberTables;
    static const MemberTable<XItemCollEdit>& members();
    void loadByName(const Variant& arg);
    const ItemRow& row(const Variant& index) const;

    std::shared_ptr<IDutInfo> m_info;
    std::vector<ItemRow> m_rows;
    bool m_readOnly = false;
    bool m_modified = false;
};

}  // namespace tavixTGCL2
