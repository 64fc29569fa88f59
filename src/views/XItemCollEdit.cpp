#include "views/XItemCollEdit.h"

#include "frame/DispatchId.h"
#include "platform/Error.h"
#include "platform/MemberTable.h"
#include "platform/TextCodec.h"

namespace tavixTGCL2 {

namespace {
[[maybe_unused]] const bool kRegistered = (XItemCollEdit::registerClass(), true);

OleColor toOleColor(const Variant& v) {
    double d = v.toDouble();
    if (!(d >= -2147483648.0 && d <= 4294967295.0)) throw Error(errOverflow, "Overflow: colour value");
    return static_cast<OleColor>(static_cast<std::int64_t>(d));
}
}  // namespace

XItemCollEdit::XItemCollEdit(std::string name) : Control(kClassName, std::move(name)) {
    setBackColor(0x80000005);
}

void XItemCollEdit::registerClass() {
    ControlFactory::registerClass(kClassName, [] { return std::make_shared<XItemCollEdit>(); });
}

void XItemCollEdit::Load(std::shared_ptr<IDutInfo> info) {
    std::vector<ItemRow> rows;
    if (info) {
        // A renderer must be able to draw whatever the host hands over.
        for (auto& [name, value] : info->items())
            rows.push_back(ItemRow{textcodec::sanitizeUtf8(name), textcodec::sanitizeUtf8(value)});
    }
    m_info = std::move(info);
    m_rows = std::move(rows);
    m_modified = false;
    changed(Change::Items);
}

void XItemCollEdit::setReadOnly(bool on) {
    if (on == m_readOnly) return;
    m_readOnly = on;
    changed(Change::ReadOnly);
}

bool XItemCollEdit::editValue(std::size_t index, const std::string& value) {
    if (m_readOnly || !Enabled() || index >= m_rows.size()) return false;
    std::string v = textcodec::sanitizeUtf8(value);
    if (m_rows[index].Value == v) return true;
    m_rows[index].Value = std::move(v);
    m_modified = true;
    changed(Change::Items);
    auto i = static_cast<std::int32_t>(index);
    std::weak_ptr<Control> self = weak_from_this();
    bool shared = !self.expired();
    resumeNext([&] { ItemChange(i); });
    if (shared && self.expired()) return true;
    VariantList args{Variant(i)};
    resumeNext([&] { ObjectEvent("ItemChange", args); });
    return true;
}

void XItemCollEdit::loadByName(const Variant& arg) {
    ObjectPtr obj = arg.toObject();
    if (!obj) return Load(nullptr);
    if (auto wrapped = std::dynamic_pointer_cast<DutInfoObject>(obj)) return Load(wrapped->info());
    if (auto info = std::dynamic_pointer_cast<IDutInfo>(obj)) return Load(info);
    throw Error(errTypeMismatch, "Load: the object does not describe a device under test");
}

const ItemRow& XItemCollEdit::row(const Variant& index) const {
    std::int32_t i = index.toInt32();
    if (i < 0 || i >= ItemCount()) throw Error(errSubscript, "Subscript out of range: item " + std::to_string(i));
    return m_rows[static_cast<std::size_t>(i)];
}

const MemberTable<XItemCollEdit>& XItemCollEdit::members() {
    using M = MemberTable<XItemCollEdit>;
    static const M table(
        MemberTables::of<Control>(),
        {
            // A container may also assign the object, as a property.
            {"Load", kDispIdLoad, {}, [](XItemCollEdit& e, const Variant& v) { e.loadByName(v); },
             [](XItemCollEdit& e, MemberCall& c) {
                 e.loadByName(c.args.empty() ? Variant() : c.args[0]);
                 return Variant();
             }},
            M::property("ReadOnly", kDispIdReadOnly, &XItemCollEdit::ReadOnly, &XItemCollEdit::setReadOnly),
            M::property("BackColor", kDispIdBackColor, &Control::BackColor,
                        [](XItemCollEdit& e, const Variant& v) { e.setBackColor(toOleColor(v)); }),
            M::readOnly("ItemCount", &XItemCollEdit::ItemCount),
            M::method("ItemName", [](XItemCollEdit& e, MemberCall& c) { return e.row(c.arg(0)).Name; }),
            M::method("ItemValue", [](XItemCollEdit& e, MemberCall& c) { return e.row(c.arg(0)).Value; }),
            M::readOnly("Modified", &XItemCollEdit::Modified),
        },
        {.dispatchId = dispatchIdOf});
    return table;
}

Variant XItemCollEdit::invoke(const std::string& member, VariantList& args) {
    return members().invoke(*this, member, args);
}

void XItemCollEdit::setProperty(const std::string& member, const Variant& value) {
    members().setProperty(*this, member, value);
}

}  // namespace tavixTGCL2
