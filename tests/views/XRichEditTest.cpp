#include <gtest/gtest.h>

#include <random>
#include <string>

#include "views/RtfReader.h"
#include "views/XRichEdit.h"
#include "platform/Error.h"
#include "platform/TextCodec.h"
#include "support/Utf8Check.h"

using namespace tavixTGCL2;

namespace {

using test_support::validUtf8;

const char* const kProcedure =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Courier New;}}\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n"
    "{\\*\\generator Riched20 10.0;}{\\info{\\title Secret}{\\author Nobody}}\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 Step \\b 1\\b0 : \\i connect\\i0  the \\ul DUT\\ulnone .\\par\n"
    "\\cf1\\fs32 Warning\\cf0\\fs20\\line second\\tab line\\par\n"
    "{\\pict\\wmetafile8\\picw10\\pich10 0a0b0c}{\\*\\unknowndest hidden}\\plain tail}";

}  // namespace

TEST(RtfReader, ReadsTextParagraphsAndCharacterFormat) {
    RtfDocument d = RtfReader::parse(kProcedure);
    EXPECT_TRUE(d.isRtf);
    EXPECT_EQ(d.plainText(), "Step 1: connect the DUT.\nWarning\nsecond\tline\ntail");
    ASSERT_EQ(d.paragraphs.size(), 3u);
    const auto& p0 = d.paragraphs[0].runs;
    ASSERT_EQ(p0.size(), 7u);
    EXPECT_EQ(p0[1].text, "1");
    EXPECT_TRUE(p0[1].bold);
    EXPECT_FALSE(p0[2].bold);
    EXPECT_TRUE(p0[3].italic);
    EXPECT_TRUE(p0[5].underline);
    EXPECT_FALSE(p0[6].underline);
    EXPECT_FLOAT_EQ(p0[0].fontSize, 10.0f);
    const auto& p1 = d.paragraphs[1].runs;
    EXPECT_EQ(p1[0].text, "Warning");
    EXPECT_EQ(p1[0].color, 0x0000FF);  // red, in OLE order
    EXPECT_FLOAT_EQ(p1[0].fontSize, 16.0f);
    EXPECT_EQ(p1[1].color, -1);
    EXPECT_FLOAT_EQ(d.paragraphs[2].runs[0].fontSize, 12.0f);  // \plain restores the default
}

TEST(RtfReader, DecodesUnicodeAndHexEscapes) {
    auto text = [](const char* rtf) { return RtfReader::parse(rtf).plainText(); };
    EXPECT_EQ(text("{\\rtf1 caf\\'e9 \\'93q\\'94}"), "caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D");
    EXPECT_EQ(text("{\\rtf1 \\u8364?x}"), "\xE2\x82\xAC" "x");
    EXPECT_EQ(text("{\\rtf1\\uc2 \\u8364\\'80\\'80x}"), "\xE2\x82\xAC" "x");
    EXPECT_EQ(text("{\\rtf1\\uc0 \\u8364 x}"), "\xE2\x82\xAC" "x");
    EXPECT_EQ(text("{\\rtf1 \\u-10179?\\u-8704?}"), "\xF0\x9F\x98\x80");  // a surrogate pair
    EXPECT_EQ(text("{\\rtf1 \\u-10179?x}"), "\xEF\xBF\xBD" "x");       // a lone half
    EXPECT_EQ(text("{\\rtf1\\ansicpg65001 \\'c3\\'a9}"), "\xC3\xA9");
    EXPECT_EQ(text("{\\rtf1 a\\{b\\}c\\\\d\\~e}"), "a{b}c\\d\xC2\xA0" "e");
    // \bin data may hold braces; they are skipped with it.
    EXPECT_EQ(text("{\\rtf1 {\\pict\\bin4 }}{{}ok}"), "ok");
}

TEST(RtfReader, HyperlinkFieldsBecomeLinks) {
    RtfDocument d = RtfReader::parse(
        "{\\rtf1 See {\\field{\\*\\fldinst{HYPERLINK \"http://tg.example/manual?a=1&b=2\"}}"
        "{\\fldrslt{\\ul\\cf1 the manual}}} or "
        "{\\field{\\*\\fldinst HYPERLINK \"C:\\\\\\\\docs\\\\\\\\a b.pdf\" \\\\o \"tip\"}{\\fldrslt file}}, "
        "{\\field{\\*\\fldinst HYPERLINK \\\\l \"sec2\"}{\\fldrslt below}} "
        "{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}.}");
    EXPECT_EQ(d.plainText(), "See the manual or file, below 7.");
    ASSERT_EQ(d.links.size(), 3u);
    EXPECT_EQ(d.links[0].target, "http://tg.example/manual?a=1&b=2");
    EXPECT_EQ(d.links[0].text, "the manual");
    EXPECT_EQ(d.links[0].begin, 4u);
    EXPECT_EQ(d.links[1].target, "C:\\docs\\a b.pdf");
    EXPECT_EQ(d.links[2].target, "#sec2");
    EXPECT_EQ(d.linkAt(5), 0);
    EXPECT_EQ(d.linkAt(2), -1);
    EXPECT_EQ(d.linkAt(d.plainText().size() - 2), -1);  // the PAGE field is plain text
}

TEST(RtfReader, DamagedOrForeignInputStillGivesADocument) {
    EXPECT_EQ(RtfReader::parse("{\\rtf1 {\\b bold and cut").plainText(), "bold and cut");
    EXPECT_EQ(RtfReader::parse("{\\rtf1 a}} trailing {b}").plainText(), "a");
    EXPECT_EQ(RtfReader::parse("{\\rtf1 x\\u").plainText(), "x");
    EXPECT_EQ(RtfReader::parse("{\\rtf1 \\fs99999999999999 big\\'zz}").paragraphs[0].runs[0].fontSize, 1638.0f);
    RtfDocument plain = RtfReader::parse("Line one\r\nLine\x01 two\n\ncaf\xE9");
    EXPECT_FALSE(plain.isRtf);
    EXPECT_EQ(plain.plainText(), "Line one\nLine two\n\ncaf\xC3\xA9");
    // Nesting far past any real document neither overflows nor loses text.
    std::string deep = "{\\rtf1 " + std::string(100000, '{') + "deep" + std::string(100000, '}') + "}";
    EXPECT_EQ(RtfReader::parse(deep).plainText(), "deep");

    std::mt19937 rng(99);
    const std::string alphabet = "{}\\'abu0123456789-*; \n\xC3\xA9\xff";
    for (int round = 0; round < 300; ++round) {
        std::string s = "{\\rtf1 ";
        std::size_t n = rng() % 300;
        for (std::size_t i = 0; i < n; ++i) s += alphabet[rng() % alphabet.size()];
        RtfDocument d = RtfReader::parse(s);
        EXPECT_TRUE(validUtf8(d.plainText())) << s;
        EXPECT_FALSE(d.paragraphs.empty());
    }
}

TEST(RtfReader, DetectsWebAddressesInText) {
    RtfDocument d = RtfReader::parse(
        "{\\rtf1 Go to {\\b www.tg.example/x}, then (see http://a.example/p_(1)). "
        "Mail mailto:op@tg.example. Not:xhttp://no {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt http://in.field}}}");
    RtfReader::detectUrls(d);
    ASSERT_EQ(d.links.size(), 4u);
    EXPECT_EQ(d.links[0].target, "http://www.tg.example/x");
    EXPECT_EQ(d.links[0].text, "www.tg.example/x");
    EXPECT_EQ(d.links[1].target, "http://a.example/p_(1)");
    EXPECT_EQ(d.links[2].target, "mailto:op@tg.example");
    EXPECT_EQ(d.links[3].target, "u");  // text already inside a link stays that link
    // Cutting runs keeps their format.
    std::int32_t bold = d.linkAt(d.plainText().find("www"));
    EXPECT_EQ(bold, 0);
    EXPECT_TRUE(d.paragraphs[0].runs[1].bold);
    EXPECT_EQ(d.plainText(), RtfReader::parse("{\\rtf1 Go to {\\b www.tg.example/x}, then (see http://a.example/p_(1)). "
                                              "Mail mailto:op@tg.example. Not:xhttp://no {\\field{\\*\\fldinst "
                                              "HYPERLINK \"u\"}{\\fldrslt http://in.field}}}")
                                 .plainText());
}

TEST(XRichEdit, IsCreatedByClassNameAndSetByNameOrDispatchNumber) {
    auto c = ControlFactory::create("tavixView.XRichEdit");
    auto* v = dynamic_cast<XRichEdit*>(c.get());
    ASSERT_NE(v, nullptr);
    std::vector<std::string> events;
    c->ObjectEvent.connect([&](const std::string& name, VariantList&) { events.push_back(name); });
    c->setProperty("#0x68030008", true);
    c->setProperty("#1745027072", Variant("{\\rtf1 visit www.tg.example now}"));  // 0x68030000
    EXPECT_TRUE(v->AutoURLDetect());
    EXPECT_EQ(v->Text(), "visit www.tg.example now");
    EXPECT_EQ(c->getProperty("TextRTF").toString(), "{\\rtf1 visit www.tg.example now}");
    EXPECT_EQ(c->getProperty("LinkCount").toInt32(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"Change"}));
    v->setAutoURLDetect(false);
    EXPECT_EQ(v->linkCount(), 0u);
    EXPECT_THROW(c->setProperty("#0x68030001", true), Error);
    c->setProperty("BackColor", Variant(static_cast<std::int32_t>(0x80000005)));
    EXPECT_EQ(v->BackColor(), 0x80000005u);
    VariantList move{Variant(10), Variant(20), Variant(300), Variant(400)};
    c->invoke("Move", move);
    EXPECT_EQ(c->Width(), 300);
}

TEST(XRichEdit, OpeningALinkRaisesLinkClickedWithItsTarget) {
    XRichEdit v;
    v.setTextRTF("{\\rtf1 Read {\\field{\\*\\fldinst HYPERLINK \"file:///opt/a%20b.pdf\"}{\\fldrslt this}} now}");
    std::vector<std::string> opened;
    v.LinkClicked.connect([&](std::string& target) {
        opened.push_back(target);
        target = "changed by the handler";
    });
    std::vector<std::string> generic;
    v.ObjectEvent.connect([&](const std::string& name, VariantList& args) {
        if (name == "LinkClicked") generic.push_back(args.at(0).toString());
    });
    EXPECT_FALSE(v.clickAt(0));         // "Read" is no link
    EXPECT_TRUE(v.clickAt(6));          // inside "this"
    EXPECT_FALSE(v.clickLink(1));
    EXPECT_EQ(opened, (std::vector<std::string>{"file:///opt/a%20b.pdf"}));
    EXPECT_EQ(generic, opened);
    EXPECT_EQ(v.link(0).target, "file:///opt/a%20b.pdf");  // the handler's change is its own
    EXPECT_THROW(v.link(5), Error);
    v.setEnabled(false);
    EXPECT_FALSE(v.clickLink(0));
}

TEST(XRichEdit, ContentSetterNeverThrows) {
    XRichEdit v;
    int changes = 0;
    v.Change.connect([&] {
        ++changes;
        throw Error("a failing handler");
    });
    for (const std::string& s : {std::string("{\\rtf1 {{{"), std::string("}}}{\\"), std::string("\0\xff\xfe", 3),
                                 "{\\rtf1" + std::string(200000, '{'), std::string()}) {
        EXPECT_NO_THROW(v.setTextRTF(s));
        EXPECT_TRUE(validUtf8(v.Text()));
        EXPECT_LT(v.Text().size(), 10u);
    }
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(v.Text(), "");
}

TEST(RtfReader, HostileAddressTextStaysLinear) {
    // Each of these took time growing with the square of its length once.
    std::string parens = "{\\rtf1 http://a" + std::string(400000, ')') + "}";
    RtfDocument d = RtfReader::parse(parens);
    RtfReader::detectUrls(d);
    ASSERT_EQ(d.links.size(), 1u);
    EXPECT_EQ(d.links[0].target, "http://a");

    std::string repeated;
    for (int i = 0; i < 40000; ++i) repeated += "mailto:";
    RtfDocument linked = RtfReader::parse("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt " + repeated + "}}}");
    RtfReader::detectUrls(linked);
    EXPECT_EQ(linked.links.size(), 1u);

    std::string runs = "{\\rtf1 ";
    for (int i = 0; i < 20000; ++i) runs += "{\\b www.a.example}{ }";
    RtfDocument many = RtfReader::parse(runs + "}");
    RtfReader::detectUrls(many);
    EXPECT_EQ(many.links.size(), 20000u);
}
