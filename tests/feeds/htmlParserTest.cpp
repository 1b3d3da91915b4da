#include "HTMLParser.h"
#include "fixtureServer.h"

#include <gtest/gtest.h>

namespace {

QStringList textsOf(const QList<HTMLNode>& nodes) {
    QStringList texts;
    for (const HTMLNode& n : nodes)
        texts << n.allContents();
    return texts;
}

} // namespace

TEST(HTMLWrapper, ClassSearchesAreExactUnlessPartial) {
    const auto page = HTMLParser::initWithString(
        QStringLiteral("<html><body><div class=\"row\">a</div><div class=\"row odd\">b</div>"
                       "<p class=\"rowing\">c</p><span id=\"x\" class=\"row\" "
                       "class=\"other\">d</span></body></html>"),
        nullptr);
    const HTMLNode body = page->body();
    EXPECT_EQ(textsOf(body.findChildrenOfClass(QStringLiteral("row"))), (QStringList{"a", "d"}));
    EXPECT_EQ(textsOf(body.findChildrenWithAttribute("class", QStringLiteral("row"), true)),
              (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(body.findChildOfClass(QStringLiteral("row odd")).allContents(), "b");
    EXPECT_TRUE(body.findChildOfClass(QStringLiteral("odd")).isNull());
    EXPECT_EQ(body.findChildWithAttribute("class", QStringLiteral("odd"), true).allContents(), "b");
    // Only the first attribute of a name counts.
    EXPECT_TRUE(body.findChildOfClass(QStringLiteral("other")).isNull());
    EXPECT_EQ(
        body.findChildWithAttribute("id", QStringLiteral("x"), false).getAttributeNamed("class"),
        "row");
}

TEST(HTMLWrapper, TagSearchesWalkInPreOrder) {
    const auto page = HTMLParser::initWithString(
        QStringLiteral(
            "<table><tr><td>1</td><td>2<table><tr><td>2a</td><td>2b</td></tr></table></td>"
            "<td>3</td></tr><tr><td>4</td></tr></table>"),
        nullptr);
    const HTMLNode table = page->body().findChildTag("table");
    QStringList cells;
    for (const HTMLNode& td : table.findChildTags("td"))
        cells << td.contents();
    EXPECT_EQ(cells, (QStringList{"1", "2", "2a", "2b", "3", "4"}));
    EXPECT_EQ(table.findChildTags("tr").size(), 3);
    EXPECT_TRUE(table.findChildTag("th").isNull());
    EXPECT_TRUE(table.findChildTags("th").isEmpty());
}

TEST(HTMLWrapper, ContentsNavigationAndKinds) {
    const auto page = HTMLParser::initWithString(
        QStringLiteral(
            "<html><head><title>T</title></head><body><table><tr><td>12.5</td><td><b>12.5</b></td>"
            "<td></td></tr></table><pre>line 0\nline 1</pre><p>one <a href=\"x\">two</a> "
            "three</p></body></html>"),
        nullptr);
    const QList<HTMLNode> cells = page->body().findChildTags("td");
    ASSERT_EQ(cells.size(), 3);
    EXPECT_EQ(cells.at(0).contents(), "12.5");
    EXPECT_TRUE(cells.at(1).contents().isNull()); // the first child is an element
    EXPECT_EQ(cells.at(1).allContents(), "12.5");
    EXPECT_TRUE(cells.at(2).contents().isNull());
    EXPECT_EQ(cells.at(2).allContents(), "");
    EXPECT_EQ(cells.at(1).rawContents().trimmed(), "<td><b>12.5</b></td>");

    EXPECT_EQ(page->head().findChildTag("title").contents(), "T");
    EXPECT_EQ(page->html().tagName(), "html");
    EXPECT_EQ(cells.at(0).nextSibling().previousSibling().contents(), "12.5");
    EXPECT_EQ(cells.at(0).parent().tagName(), "tr");
    EXPECT_TRUE(cells.at(0).previousSibling().isNull());
    EXPECT_EQ(cells.at(0).parent().children().size(), 3);

    const HTMLNode p = page->body().findChildTag("p");
    EXPECT_EQ(p.children().size(), 3); // text, a, text
    EXPECT_EQ(p.nodetype(), HTMLNode::paragraphNode);
    EXPECT_EQ(p.findChildTag("a").nodetype(), HTMLNode::anchorNode);
    EXPECT_EQ(page->body().findChildTag("pre").nodetype(), HTMLNode::preformattedNode);
    EXPECT_EQ(page->body().nodetype(), HTMLNode::otherNode);
    EXPECT_EQ(HTMLNode().nodetype(), HTMLNode::otherNode);
    EXPECT_EQ(page->body().findChildTag("pre").contents(), "line 0\nline 1");

    QString text;
    HTMLNode::appendChildContentsToString(text, p.firstChild().xmlNodePointer());
    EXPECT_EQ(text, "one two three");

    EXPECT_TRUE(HTMLNode().allContents().isNull());
    EXPECT_TRUE(HTMLNode().findChildTag("p").isNull());
    EXPECT_TRUE(HTMLNode().getAttributeNamed("class").isNull());
}

TEST(HTMLWrapper, EmptyInputIsTheCodeOneError) {
    HTMLParser::parseError error;
    const auto empty = HTMLParser::initWithString(QString(), &error);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(error.domain, "HTMLParserdomain");
    EXPECT_EQ(error.code, 1);
    EXPECT_TRUE(empty->body().isNull());
    EXPECT_TRUE(empty->doc().isNull());

    HTMLParser::parseError dataError;
    const auto noBytes = HTMLParser::initWithData(QByteArray(), &dataError);
    EXPECT_EQ(dataError.code, 1);
    EXPECT_TRUE(noBytes->html().isNull());
}

TEST(HTMLWrapper, BytesAreParsedExactlyAsGiven) {
    // A slice of a larger buffer: no NUL after it, and the parser must stop at its end.
    const QByteArray whole = "<html><body><p>inside</p></body></html><p>OUTSIDE</p>";
    const QByteArray slice =
        QByteArray::fromRawData(whole.constData(), whole.indexOf("<p>OUTSIDE"));
    const auto page = HTMLParser::initWithData(slice, nullptr);
    EXPECT_EQ(page->body().allContents(), "inside");

    // A NUL inside the bytes is handled by libxml2 (which ends the text there), safely.
    const QByteArray withNul("<p>a</p>\0<p>b</p>", 17);
    EXPECT_GE(HTMLParser::initWithData(withNul, nullptr)->body().findChildTags("p").size(), 1);

    // Deep nesting and garbage never crash.
    QByteArray deep;
    for (int i = 0; i < 20000; ++i)
        deep += "<div>";
    EXPECT_NO_FATAL_FAILURE(HTMLParser::initWithData(deep, nullptr)->body().findChildTags("div"));
    EXPECT_NO_FATAL_FAILURE(
        HTMLParser::initWithData(QByteArray("\xff\xfe\x00<<<&&&;;", 12), nullptr)
            ->body()
            .allContents());
}

TEST(HTMLWrapper, PagesFromAnAddress) {
    fixtureServer server;
    server.setAnswer(QStringLiteral("/page.html"),
                     {200, "<html><body><pre>x</pre></body></html>", "text/html"});
    server.setAnswer(QStringLiteral("/empty.html"), {200, "", "text/html"});
    HTMLParser::parseError error;
    const auto page =
        HTMLParser::initWithContentsOfURL(QUrl(server.baseURL() + "/page.html"), &error);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->body().findChildTag("pre").contents(), "x");

    EXPECT_EQ(HTMLParser::initWithContentsOfURL(QUrl(server.baseURL() + "/missing.html"), &error),
              nullptr);
    EXPECT_EQ(error.code, 404);
    EXPECT_EQ(HTMLParser::initWithContentsOfURL(QUrl(server.baseURL() + "/empty.html"), &error),
              nullptr);
    EXPECT_EQ(error.code, 1);
}
