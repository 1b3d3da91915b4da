#pragma once

#include "HTMLNode.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <memory>

struct _xmlDoc;

// One HTML document parsed by libxml2, owned and freed exactly once. The parser never reaches
// out to the network while parsing, and parses exactly the bytes it is given.
class HTMLParser {
public:
    static constexpr const char* errorDomain = "HTMLParserdomain";

    struct parseError {
        QString domain;
        int code = 0;
        QString description;
    };

    // Parses text as UTF-8, recovering from errors. Empty text parses nothing and reports the
    // code-1 error; a parser is returned either way.
    static std::unique_ptr<HTMLParser> initWithString(const QString& text, parseError* error);
    // The same for bytes, without recovery. Empty bytes report the code-1 error.
    static std::unique_ptr<HTMLParser> initWithData(const QByteArray& data, parseError* error);
    // Downloads the page, then parses it as bytes; nullptr when the download fails (the
    // reason in `error`) or brings nothing.
    static std::unique_ptr<HTMLParser> initWithContentsOfURL(const QUrl& url, parseError* error,
                                                             int timeoutMs = 30000);

    ~HTMLParser();
    HTMLParser(const HTMLParser&) = delete;
    HTMLParser& operator=(const HTMLParser&) = delete;

    // Handles on nothing when no document was parsed.
    HTMLNode doc() const;
    HTMLNode html() const;
    HTMLNode head() const;
    HTMLNode body() const;

private:
    HTMLParser() = default;
    _xmlDoc* _doc = nullptr;
};
