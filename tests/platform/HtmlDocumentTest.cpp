#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/HtmlDocument.h"
#include "platform/TextCodec.h"
#include "platform/WebBrowser.h"
#include "support/Utf8Check.h"

using namespace tavixTGCL2;

namespace {

using test_support::validUtf8;

}  // namespace

TEST(HtmlDocument, FindsTheRealBodyAndTitle) {
    HtmlDocument d("about:x",
                   "<html><head><title> A\n &lt;B&gt; </title><!-- <body>fake</body> -->"
                   "<script>var s = '<body>also fake</body>';</script></head>"
                   "<BODY onload=\"f('>')\">real <b>content</b></BODY></html>");
    EXPECT_EQ(d.title(), "A <B>");
    EXPECT_EQ(d.body().innerHTML(), "real <b>content</b>");
    d.body().setInnerHTML("<p>new</p>");
    EXPECT_TRUE(d.documentHTML().ends_with("('>')\"><p>new</p></BODY></html>"));
    EXPECT_NE(d.documentHTML().find("<script>var s = '<body>also fake</body>';</script>"), std::string::npos);
}

TEST(HtmlDocument, SuppliesABodyWhenThePageHasNone) {
    HtmlDocument lead("u", "<title>T</title><p>x</p>");
    EXPECT_EQ(lead.documentHTML(), "<title>T</title><body><p>x</p></body>");
    HtmlDocument frag("u", "<p>just a fragment</p>");
    EXPECT_EQ(frag.body().innerHTML(), "<p>just a fragment</p>");
    EXPECT_EQ(frag.documentHTML(), "<body><p>just a fragment</p></body>");

    HtmlDocument headOnly("u", "<!DOCTYPE html><html><head><title>T</title></head><p>x</p></html>");
    EXPECT_EQ(headOnly.body().innerHTML(), "<p>x</p>");
    EXPECT_EQ(headOnly.title(), "T");

    HtmlDocument unclosed("u", "<body><p>cut off");
    EXPECT_EQ(unclosed.body().innerHTML(), "<p>cut off");
    EXPECT_EQ(unclosed.documentHTML(), "<body><p>cut off</body>");
}

// Found by fuzzing: a supplied end tag after an unclosed comment became part
// of the comment, so every save and reload of the page added one more.
TEST(HtmlDocument, SuppliesNoTagThatWouldBeSwallowed) {
    for (const char* page : {"<body><p>x</p><!-- open", "<p>x<!-- open", "<title>cut",
                             "<body><script>var s = 1;", "<body><a href=\"x", "<p>x</body>y", "<p>x<script>"}) {
        HtmlDocument d("u", page);
        const std::string written = d.documentHTML();
        HtmlDocument reloaded("u", written);
        EXPECT_EQ(reloaded.documentHTML(), written) << page;
        EXPECT_EQ(reloaded.body().innerHTML(), d.body().innerHTML()) << page;
    }
    EXPECT_EQ(HtmlDocument("u", "<p>x<!-- open").documentHTML(), "<body><p>x<!-- open");
    // A body end tag without a start tag ends the body rather than sitting in it.
    HtmlDocument stray("u", "<!DOCTYPE html><p>x</p></body></html>");
    EXPECT_EQ(stray.body().innerHTML(), "<p>x</p>");
    EXPECT_EQ(stray.documentHTML(), "<!DOCTYPE html><body><p>x</p></body></html>");
    EXPECT_EQ(HtmlDocument("u", "<head></body></head><p>x</p></body>y").body().innerHTML(), "<p>x</p>");
    HtmlDocument early("u", "<html></html><body>x");
    EXPECT_EQ(early.body().innerHTML(), "x");
    EXPECT_EQ(early.documentHTML(), "<html></html><body>x</body>");
    HtmlDocument twice("u", "</html><p>x</p></html>y");
    EXPECT_EQ(twice.body().innerHTML(), "<p>x</p>");
    EXPECT_EQ(twice.documentHTML(), "</html><body><p>x</p></body></html>y");
    EXPECT_EQ(HtmlDocument("u", "<body><p>x<!-- c --></p>").documentHTML(),
              "<body><p>x<!-- c --></p></body>");
}

TEST(HtmlDocument, CollectsStyleSheetsWithoutLettingThemBreakOut) {
    HtmlDocument d("u", "<html><head></head><body>x</body></html>");
    EXPECT_EQ(d.createStyleSheet("proc.css"), 0u);
    d.createStyleSheet("file:///opt/tg/proc.css?v=1");
    d.createStyleSheet("body { font: 10pt Verdana }</style><script>alert(1)</script>");
    ASSERT_EQ(d.styleSheets().size(), 3u);
    EXPECT_TRUE(d.styleSheets()[0].isLink);
    EXPECT_TRUE(d.styleSheets()[1].isLink);
    EXPECT_FALSE(d.styleSheets()[2].isLink);
    std::string page = d.documentHTML();
    EXPECT_NE(page.find("<link rel=\"stylesheet\" href=\"proc.css\"><link"), std::string::npos);
    EXPECT_EQ(page.find("</style><script>"), std::string::npos);
    EXPECT_LT(page.find("<style>"), page.find("</head>"));
}

TEST(HtmlDocument, PlainTextReadsLikeThePage) {
    HtmlDocument d("u",
                   "<head><style>p{}</style></head><body>"
                   "<h1>Title</h1>  <p>one\n   two &amp; <i>three</i></p>"
                   "<script>hidden()</script>line<br>break<pre>  keep\n   this</pre>"
                   "<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>"
                   "&euro;&#8364;&#x20AC; &#0; &bogus; &amp 5 &lt</body>");
    EXPECT_EQ(d.plainText(),
              "Title\n\none two & three\n\nline\nbreak\n\n  keep\n   this\n\na\tb\nc\n\n"
              "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC \xEF\xBF\xBD &bogus; & 5 <");
    EXPECT_EQ(html::escape("<a href='x'>&\"</a>"), "&lt;a href=&#39;x&#39;&gt;&amp;&quot;&lt;/a&gt;");
}

TEST(HtmlDocument, SurvivesArbitraryBytes) {
    std::mt19937 rng(1234);
    const std::string alphabet = "<>/!-'\"=&#;bodyheadtitlescript \n\x80\xff\xc3";
    for (int round = 0; round < 300; ++round) {
        std::string s;
        std::size_t n = rng() % 200;
        for (std::size_t i = 0; i < n; ++i) s += alphabet[rng() % alphabet.size()];
        HtmlDocument d("u", s);
        EXPECT_TRUE(validUtf8(d.documentHTML()));
        EXPECT_TRUE(validUtf8(d.plainText()));
        EXPECT_TRUE(validUtf8(d.title()));
    }
    // Unterminated constructs end at the end of the input.
    HtmlDocument d("u", "<body>a<!-- never closed <b>b</b>");
    EXPECT_EQ(d.plainText(), "a");
    HtmlDocument q("u", "<body><a title=x\"y>link</a> text");
    EXPECT_EQ(q.plainText(), "link text");
}

TEST(WebUrl, ReadsAddressesTheWayTheBrowserLoadsThem) {
    EXPECT_EQ(weburl::scheme("HTTP://x"), "http");
    EXPECT_EQ(weburl::scheme("C:\\x.html"), "");
    EXPECT_EQ(weburl::scheme("/tmp/x"), "");
    EXPECT_EQ(weburl::localPath("file:///tmp/my%20plan.html#top"), "/tmp/my plan.html");
    EXPECT_EQ(weburl::localPath("FILE://localhost/tmp/a.html"), "/tmp/a.html");
    EXPECT_EQ(weburl::localPath("/tmp/100%25.html"), "/tmp/100%25.html");  // a path is literal
    EXPECT_EQ(weburl::localPath("file:///tmp/%00x"), "");
    EXPECT_EQ(weburl::localPath("http://h/x"), "");
    EXPECT_EQ(weburl::percentDecode("%4a%2%zz%"), "J%2%zz%");
    EXPECT_EQ(weburl::canonical("/tmp/a b#1.html"), "file:///tmp/a b%231.html");
    EXPECT_EQ(weburl::localPath(weburl::canonical("/tmp/a b#1%.html")), "/tmp/a b#1%.html");
}
