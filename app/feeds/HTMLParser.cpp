#include "HTMLParser.h"

#include "webFetcher.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <limits>

namespace {

// Recover, no error or warning reports; the text form recovers (97), the byte form does not
// (96). Neither may load anything from the network.
constexpr int textOptions =
    HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
constexpr int dataOptions = HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
static_assert((textOptions & ~HTML_PARSE_NONET) == 97 && (dataOptions & ~HTML_PARSE_NONET) == 96);

void reportEmptyInput(HTMLParser::parseError* error) {
    if (error)
        *error = HTMLParser::parseError{QString::fromLatin1(HTMLParser::errorDomain), 1, QString()};
}

} // namespace

std::unique_ptr<HTMLParser> HTMLParser::initWithString(const QString& text, parseError* error) {
    std::unique_ptr<HTMLParser> parser(new HTMLParser);
    if (text.isEmpty()) {
        reportEmptyInput(error);
        return parser;
    }
    // QByteArray always ends in a NUL, which is where htmlReadDoc stops.
    const QByteArray utf8 = text.toUtf8();
    parser->_doc = htmlReadDoc(reinterpret_cast<const xmlChar*>(utf8.constData()), nullptr, "UTF-8",
                               textOptions);
    return parser;
}

std::unique_ptr<HTMLParser> HTMLParser::initWithData(const QByteArray& data, parseError* error) {
    std::unique_ptr<HTMLParser> parser(new HTMLParser);
    if (data.isEmpty()) {
        reportEmptyInput(error);
        return parser;
    }
    if (data.size() > std::numeric_limits<int>::max()) {
        if (error)
            *error = parseError{QString::fromLatin1(errorDomain), 2,
                                QStringLiteral("the page is too large to parse")};
        return parser;
    }
    // With its length: the bytes need not end in a NUL, and a NUL inside does not end them.
    parser->_doc = htmlReadMemory(data.constData(), int(data.size()), "", "UTF-8", dataOptions);
    return parser;
}

std::unique_ptr<HTMLParser> HTMLParser::initWithContentsOfURL(const QUrl& url, parseError* error,
                                                              int timeoutMs) {
    webFetcher::options how;
    how.timeoutMs = timeoutMs;
    const webFetcher::result r = webFetcher::fetch(url, how);
    if (!r.ok()) {
        if (error)
            *error = parseError{QStringLiteral("download"), r.errorCode(), r.error()};
        return nullptr;
    }
    if (r->isEmpty()) {
        reportEmptyInput(error);
        return nullptr;
    }
    return initWithData(*r, error);
}

HTMLParser::~HTMLParser() {
    if (_doc)
        xmlFreeDoc(_doc);
}

HTMLNode HTMLParser::doc() const {
    return HTMLNode(reinterpret_cast<xmlNode*>(_doc));
}

HTMLNode HTMLParser::html() const {
    return doc().findChildTag("html");
}

HTMLNode HTMLParser::head() const {
    return doc().findChildTag("head");
}

HTMLNode HTMLParser::body() const {
    return doc().findChildTag("body");
}
