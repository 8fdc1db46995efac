// What the browser is given of a page: a safe subset of its HTML, its text, or nothing.
#include <gtest/gtest.h>

#include "platform/ui/WebBrowserPage.h"

using ui::MakeWebPage;
using ui::TWebPageForm;

TEST(WebPage, KeepsOnlyTagsAndAttributesThatLoadNothing) {
    const auto html = [](const std::string& in) {
        const ui::TWebPage page = MakeWebPage(in);
        EXPECT_EQ(page.Form, TWebPageForm::Html) << in;
        return page.Body;
    };
    EXPECT_EQ(html("<!DOCTYPE html><P ALIGN=Center onclick=\"x()\">1 < 2 <img src=\"/dev/zero\"><script>a('<b>')</script>"
                   "<link rel=stylesheet href=\"file:///etc/passwd\"><b style='background:url(/dev/zero)'>ok</P><!-- c -->"),
              "<p align=\"center\">1 &lt; 2 <b>ok</b></p>");
    EXPECT_EQ(html("<font color=#ff0000 size=+2 face=x><a href=\"javascript:x\">j</a><a href='https://e.x/?a=1&amp;b'>k"),
              "<font color=\"#ff0000\" size=\"+2\"><a>j</a><a href=\"https://e.x/?a=1&amp;b\">k</a></font>");
    // Ends left out are put in.
    EXPECT_EQ(html("<ul><li>a<li>b</ul><p>c<p>d<table><tr><td>e<td>f<tr><td>g</table>"),
              "<ul><li>a</li><li>b</li></ul><p>c</p><p>d</p><table><tr><td>e</td><td>f</td></tr><tr><td>g</td></tr></table>");
}

TEST(WebPage, TooDeeplyBuiltShowsItsTextAndTooLongNothing) {
    const ui::TWebPage text = MakeWebPage(
        "<table><tr><td>a&amp;b<table><tr><td>c<table><tr><td>d&#1046;&nbsp;e</td></tr></table></td></tr></table></td></tr></table>");
    EXPECT_EQ(text.Form, TWebPageForm::Text);
    EXPECT_EQ(text.Body, "a&b\nc\ndЖ e");
    std::string deep;
    for (std::size_t i = 0; i < ui::kWebPageMaxDepth; ++i) deep += "<div>";
    EXPECT_EQ(MakeWebPage(deep + "x").Form, TWebPageForm::Html);
    EXPECT_EQ(MakeWebPage(deep + "<div>x").Form, TWebPageForm::Text);
    EXPECT_EQ(MakeWebPage(std::string(ui::kWebPageMaxText, 'x')).Form, TWebPageForm::Html);
    EXPECT_EQ(MakeWebPage(std::string(ui::kWebPageMaxText + 1, 'x')).Form, TWebPageForm::None);
}
