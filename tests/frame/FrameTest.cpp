#include <gtest/gtest.h>

#include "frame/CTgStandardSel.h"
#include "frame/HostKit.h"
#include "frame/HostServices.h"
#include "frame/ITgContentPane.h"
#include "frame/ITgProgressBar.h"
#include "frame/ITgStatusbar.h"
#include "frame/MMain.h"
#include "frame/ServicesScope.h"
#include "frame/TextLookup.h"
#include "platform/Error.h"
#include "platform/MemorySettingsStore.h"
#include "platform/StandardControls.h"
#include "support/ControlTestServices.h"

using namespace tavixTGCL2;

namespace {

// Answers every literal with the same text (empty by default), or fails.
class FixedTranslator : public ITranslator {
public:
    std::string answer;
    bool fail = false;
    std::string Translate(const std::string&, const std::string&, const VariantList&) override {
        if (fail) throw Error("translator down");
        return answer;
    }
    void TranslateControls(const std::string&, Control&) override {}
};

class FrameTest : public ::testing::Test {
protected:
    test_support::StartUpAgain startUpAgain;
    ServicesScope services;
    void SetUp() override {
        store = std::make_shared<MemorySettingsStore>();
        setDefaultSettingsStore(store);
        HostServices::reset();
    }
    std::shared_ptr<MemorySettingsStore> store;
};

const char* kTemplateKey = "Software\\Brenn\\tavix\\Executive\\Template";

}  // namespace

TEST_F(FrameTest, StartupTemplatePageFromTheStoreOrBlank) {
    MMain::restart();
    EXPECT_EQ(MMain::TemplatePage(), "about:blank");  // value missing

    store->write(HKEY_LOCAL_MACHINE, kTemplateKey, "Empty", std::string());
    MMain::restart();
    EXPECT_EQ(MMain::TemplatePage(), "about:blank");  // value empty

    store->write(HKEY_LOCAL_MACHINE, kTemplateKey, "Empty", std::string("file:///opt/tavix/empty.html"));
    MMain::restart();
    EXPECT_EQ(MMain::TemplatePage(), "file:///opt/tavix/empty.html");

    // A registry that cannot even be opened still leaves a usable page.
    HostServices::setRegistryFactory([]() -> std::unique_ptr<IRegistry> { throw Error("no registry"); });
    MMain::restart();
    EXPECT_EQ(MMain::TemplatePage(), "about:blank");
}

TEST_F(FrameTest, TranslateTextFallsBackOnNumberedLiteralsOnly) {
    auto t = std::make_shared<FixedTranslator>();
    HostServices::setTranslatorFactory([t] { return t; });
    EXPECT_EQ(TranslateText("262::Statusbar"), "Statusbar");
    EXPECT_EQ(TranslateText("Statusbar"), "Statusbar");
    EXPECT_EQ(TranslateText("12345::Five"), "Five");              // "::" at position 6
    EXPECT_EQ(TranslateText("123456::Six"), "123456::Six");       // "::" at position 7
    EXPECT_EQ(TranslateText("1234567::Seven"), "1234567::Seven");
    EXPECT_EQ(TranslateText("::101"), "::101");                   // empty number
    EXPECT_EQ(TranslateText("12a::Mixed"), "12a::Mixed");
    EXPECT_EQ(TranslateText("-1::Sign"), "-1::Sign");             // digits only
    EXPECT_EQ(TranslateText("5::a::b"), "a::b");                  // the first "::" counts
    EXPECT_EQ(TranslateText(""), "");

    t->answer = "Übersetzt";
    EXPECT_EQ(TranslateText("262::Statusbar"), "Übersetzt");

    t->fail = true;  // the caller decides what a failing translator means
    EXPECT_THROW(TranslateText("262::Statusbar"), Error);
}

TEST_F(FrameTest, CatalogueTranslatorFillsPlaceholders) {
    EXPECT_EQ(translate("241::Selected standard: %%1", {Variant("IEC 60601")}),
              "Selected standard: IEC 60601");
    EXPECT_EQ(translate("208::STEP COMPLETED:  %%1", {Variant(3)}), "STEP COMPLETED:  3");
    EXPECT_EQ(translate("9999999::unknown"), "");
    EXPECT_EQ(translate("Next"), "");
    EXPECT_EQ(fillPlaceholders("%%1 of %%2", {Variant("a")}), "a of %%2");
    EXPECT_EQ(fillPlaceholders("100%% %%1", {Variant(5)}), "100%% 5");

    auto c = TextCatalogue::parse("# de\n204 = BESTANDEN\n241 = Norm: %%1\\n!\n");
    CatalogueTranslator tr;
    tr.addCatalogue(c);
    EXPECT_EQ(tr.Translate("", "204::PASSED", {}), "BESTANDEN");
    EXPECT_EQ(tr.Translate("", "241::x", {Variant("EN")}), "Norm: EN\n!");
    EXPECT_EQ(tr.Translate("", "205::FAILED", {}), "FAILED");  // English stays underneath
}

TEST_F(FrameTest, CatalogueRejectsMalformedLinesWithTheirNumber) {
    try {
        TextCatalogue::parse("1 = ok\nabc = no\n");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos);
    }
    EXPECT_THROW(TextCatalogue::parse("7 = bad \\q\n"), Error);
    EXPECT_THROW(TextCatalogue::parse("no equals sign\n"), Error);
    EXPECT_THROW(TextCatalogue::load("/nonexistent/catalogue.txt"), Error);
    // Found by fuzzing: these were filed under 30 and 1.
    EXPECT_THROW(TextCatalogue::parse("30: = Zeile\n"), Error);
    EXPECT_THROW(TextCatalogue::parse("1::2 = x\n"), Error);
    EXPECT_EQ(TextCatalogue::parse(" 030\t= y\n").text(30), "y");
}

TEST_F(FrameTest, BuiltInCatalogueHoldsEveryLibraryText) {
    auto en = TextCatalogue::builtInEnglish();
    for (int n : {1, 2, 204, 205, 206, 207, 208, 241, 250, 262, 270, 294, 316, 501, 505, 2179, 2541, 3523})
        EXPECT_TRUE(en.text(n).has_value()) << n;
    EXPECT_EQ(*en.text(294),
              "Do you want to restore the toolbar to default settings and undo cusomtization?");
}

TEST_F(FrameTest, WholeFormTranslationKeepsPlainCaptions) {
    auto form = std::make_shared<Control>("Form", "frm");
    form->setCaption("270::Customize Toolbar");
    auto lbl = form->create<Label>("lbl");
    lbl->setCaption("Plain");
    auto tabs = form->create<TabControl>("tab");
    tabs->insertItem(0, "271::Button Style");
    auto unknown = form->create<Label>("x");
    unknown->setCaption("77777::Default text");
    CatalogueTranslator().TranslateControls("", *form);
    EXPECT_EQ(form->Caption(), "Customize Toolbar");
    EXPECT_EQ(lbl->Caption(), "Plain");
    EXPECT_EQ(tabs->itemCaption(0), "Button Style");
    EXPECT_EQ(unknown->Caption(), "Default text");
}

TEST_F(FrameTest, RegistryObjectOverTheStore) {
    StoreRegistry reg;
    EXPECT_THROW(reg.ReadValue("x"), Error);  // nothing open yet
    reg.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Brenn\\tavix\\Executive\\Settings\\Test Guide");
    reg.WriteValue("Toolbar", "101:0;");
    reg.WriteValue("FadedIcons", std::int16_t(1));
    reg.WriteValue("Flag", true);
    EXPECT_EQ(reg.ReadValue("Toolbar").toString(), "101:0;");
    EXPECT_EQ(reg.ReadValue("FadedIcons").type(), Variant::Type::Int32);
    EXPECT_EQ(reg.ReadValue("Flag").toInt32(), -1);
    EXPECT_TRUE(reg.ReadValue("Missing").isEmpty());
    EXPECT_THROW(reg.OpenKey(0x12345678u, "x"), Error);
    EXPECT_EQ(HostServices::SettingsPath()->Path(1004), "Software\\Brenn\\tavix\\Executive\\Settings");
    EXPECT_THROW(HostServices::SettingsPath()->Path(1), Error);
}

TEST_F(FrameTest, SharedHostObjectsAreMadeOnceAndRetriedAfterAFailure) {
    int made = 0;
    HostServices::setUtilityFactory([&]() -> std::shared_ptr<IUtility> {
        if (++made == 1) throw Error("not yet");
        return std::make_shared<DefaultUtility>();
    });
    EXPECT_EQ(HostServices::Utility(), nullptr);
    auto u = HostServices::Utility();
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(HostServices::Utility(), u);
    EXPECT_EQ(made, 2);
    std::int32_t a = 1, b = 2;
    u->Exchange(a, b);
    EXPECT_EQ(a * 10 + b, 21);
    EXPECT_FALSE(u->FileExists("/"));  // a folder is not a file
    EXPECT_FALSE(u->FileExists(""));
}

TEST(PublicClasses, EmptyImplementationsAndDefaults) {
    CTgStandardSel sel;
    EXPECT_TRUE(sel.CalculateLimits);
    EXPECT_EQ(sel.GroupName + sel.CompleteName, "");
    TgProgressBar pb;
    pb.setValue(50);
    pb.setVisible(true);
    EXPECT_EQ(pb.Value(), 0);
    EXPECT_FALSE(pb.Visible());
    TgContentPane cp;
    std::string proc = "x";
    cp.SetProcedure(1, proc);
    cp.setCaption("c");
    EXPECT_EQ(cp.Caption(), "");
    EXPECT_EQ(proc, "x");
}
