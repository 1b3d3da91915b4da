#include "HTMLParser.h"

#include <cstddef>
#include <cstdint>

// Any page at all through both parse entries and every search of the wrapper.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const auto& page : {HTMLParser::initWithData(bytes, nullptr),
                             HTMLParser::initWithString(QString::fromUtf8(bytes), nullptr)}) {
        const HTMLNode body = page->body();
        for (const HTMLNode& cell : body.findChildTags("td")) {
            cell.contents();
            cell.className();
        }
        body.findChildrenWithAttribute("class", QStringLiteral("row"), true);
        body.findChildOfClass(QStringLiteral("table_events"));
        body.rawContents();
        body.allContents();
        QString text;
        HTMLNode::appendChildContentsToString(text, page->doc().xmlNodePointer());
    }
    return 0;
}
