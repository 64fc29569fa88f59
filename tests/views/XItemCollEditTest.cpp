#include <gtest/gtest.h>

#include "frame/HostKit.h"
#include "views/XItemCollEdit.h"
#include "platform/Error.h"

using namespace tavixTGCL2;

namespace {

// A host object that is both late-bindable and a DUT description.
struct HostDut : Object, IDutInfo {
    std::vector<std::pair<std::string, std::string>> items() const override { return {{"Serial", "42"}}; }
};

struct FailingDut : IDutInfo {
    std::vector<std::pair<std::string, std::string>> items() const override { throw Error(errIo, "device gone"); }
};

}  // namespace

TEST(XItemCollEdit, LoadsRowsAndKeepsThemWhenTheObjectFails) {
    XItemCollEdit e;
    auto dut = std::make_shared<SimpleDutInfo>();
    dut->add("Model", "TX-9");
    dut->add("Firmware", "1.2\xff");  // not UTF-8: shown as Windows-1252
    e.Load(dut);
    ASSERT_EQ(e.ItemCount(), 2);
    EXPECT_EQ(e.Items()[0], (ItemRow{"Model", "TX-9"}));
    EXPECT_EQ(e.Items()[1].Value, "1.2\xC3\xBF");
    EXPECT_EQ(e.DutInfo(), dut);

    EXPECT_THROW(e.Load(std::make_shared<FailingDut>()), Error);
    EXPECT_EQ(e.ItemCount(), 2);
    EXPECT_EQ(e.DutInfo(), dut);

    e.Load(nullptr);
    EXPECT_EQ(e.ItemCount(), 0);
}

TEST(XItemCollEdit, ReadOnlyRefusesEditsAndEditsAreReported) {
    XItemCollEdit e;
    e.Load(std::make_shared<SimpleDutInfo>(std::vector<std::pair<std::string, std::string>>{{"A", "1"}, {"B", "2"}}));
    std::vector<std::int32_t> changed;
    e.ItemChange.connect([&](std::int32_t i) { changed.push_back(i); });
    std::vector<std::string> generic;
    e.ObjectEvent.connect([&](const std::string& n, VariantList& a) { generic.push_back(n + a.at(0).toString()); });

    EXPECT_TRUE(e.editValue(1, "3"));
    EXPECT_EQ(e.Items()[1].Value, "3");
    EXPECT_TRUE(e.Modified());
    EXPECT_FALSE(e.editValue(2, "x"));
    e.setReadOnly(true);
    EXPECT_FALSE(e.editValue(0, "x"));
    EXPECT_EQ(e.Items()[0].Value, "1");
    EXPECT_EQ(changed, (std::vector<std::int32_t>{1}));
    EXPECT_EQ(generic, (std::vector<std::string>{"ItemChange1"}));
}

TEST(XItemCollEdit, IsDrivenByNameAsTheDutPaneDrivesIt) {
    auto c = ControlFactory::create("tavixView.XItemCollEdit");
    auto* e = dynamic_cast<XItemCollEdit*>(c.get());
    ASSERT_NE(e, nullptr);
    VariantList load{Variant(ObjectPtr(std::make_shared<HostDut>()))};
    c->invoke("#0x60030003", load);
    EXPECT_EQ(e->ItemCount(), 1);
    VariantList wrapped{Variant(ObjectPtr(std::make_shared<DutInfoObject>(
        std::make_shared<SimpleDutInfo>(std::vector<std::pair<std::string, std::string>>{{"X", "Y"}, {"Z", ""}}))))};
    c->invoke("Load", wrapped);
    EXPECT_EQ(e->ItemCount(), 2);
    VariantList idx{Variant(0)};
    EXPECT_EQ(c->invoke("ItemValue", idx).toString(), "Y");
    VariantList bad{Variant(ObjectPtr(std::make_shared<XItemCollEdit>()))};
    EXPECT_THROW(c->invoke("Load", bad), Error);
    EXPECT_EQ(e->ItemCount(), 2);

    c->setProperty("#0x68030000", true);
    EXPECT_TRUE(e->ReadOnly());
    c->setProperty("#0x68030005", Variant(0xFFFFFF));
    EXPECT_EQ(e->BackColor(), 0xFFFFFFu);
    EXPECT_EQ(c->getProperty("BackColor").toInt32(), 0xFFFFFF);
    c->setProperty("Visible", false);
    EXPECT_FALSE(c->Visible());
    VariantList outOfRange{Variant(7)};
    EXPECT_THROW(c->invoke("ItemName", outOfRange), Error);
}
