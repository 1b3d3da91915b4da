#include "seedLinkPacketStream.h"

#include <algorithm>

namespace {

const QByteArrayView dataSignature("SL");
const QByteArrayView infoSignature("SLINFO");
const QByteArrayView endMarker("END");

// The value of a hexadecimal digit, or -1.
int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isHexDigit(char c) {
    return hexValue(c) >= 0;
}

// Whether `bytes` can still become `word` once more bytes arrive.
bool couldBecome(QByteArrayView bytes, QByteArrayView word) {
    const qsizetype n = std::min(bytes.size(), word.size());
    return bytes.first(n) == word.first(n);
}

} // namespace

std::optional<int> seedLinkPacketStream::dataSequence(QByteArrayView header) {
    if (header.size() < headerBytes || !header.startsWith(dataSignature))
        return std::nullopt;
    int sequence = 0;
    for (qsizetype i = dataSignature.size(); i < headerBytes; ++i) {
        const int digit = hexValue(header[i]);
        if (digit < 0)
            return std::nullopt;
        sequence = sequence * 16 + digit;
    }
    return sequence;
}

seedLinkPacketStream::start seedLinkPacketStream::classify() const {
    const QByteArrayView head(buffer_.constData(), std::min<qsizetype>(buffer_.size(), 8));
    if (couldBecome(head, endMarker))
        return head.size() < endMarker.size() ? start::needMore : start::packet;
    if (!couldBecome(head, dataSignature))
        return start::garbage;
    if (head.size() < headerBytes)
        // A header cut short is judged as far as it goes, so garbage shows at once.
        return couldBecome(head, infoSignature) ||
                       std::all_of(head.begin() + std::min<qsizetype>(2, head.size()), head.end(),
                                   isHexDigit)
                   ? start::needMore
                   : start::garbage;
    if (!head.startsWith(infoSignature) && !dataSequence(head))
        return start::garbage;
    return buffer_.size() < packetBytes ? start::needMore : start::packet;
}

QList<seedLinkPacketStream::packet> seedLinkPacketStream::feed(QByteArrayView bytes) {
    QList<packet> packets;
    while (!garbage_ && !ended_ && !bytes.isEmpty()) {
        // Only what the packet at hand still lacks is buffered, so memory stays one packet.
        const qsizetype wanted = buffer_.size() < headerBytes ? headerBytes - buffer_.size()
                                                              : packetBytes - buffer_.size();
        const qsizetype taken = std::min(wanted, bytes.size());
        buffer_.append(bytes.first(taken));
        bytes = bytes.sliced(taken);
        switch (classify()) {
        case start::garbage:
            garbage_ = true;
            buffer_.clear();
            return packets;
        case start::needMore:
            continue;
        case start::packet:
            break;
        }
        packet p;
        if (buffer_.startsWith(endMarker)) {
            p.what = kind::end;
            // What follows the end is not looked at: the server closes after it.
            buffer_.clear();
            ended_ = true;
            packets.append(p);
            return packets;
        }
        if (buffer_.startsWith(infoSignature)) {
            p.what = kind::info;
            p.last = buffer_[headerBytes - 1] != '*';
        } else {
            p.sequence = *dataSequence(buffer_);
        }
        p.record = buffer_.sliced(headerBytes);
        buffer_.clear();
        packets.append(std::move(p));
    }
    return packets;
}

QList<QByteArray> seedLinkPacketStream::feedLines(QByteArrayView bytes) {
    QList<QByteArray> lines;
    while (!garbage_ && !bytes.isEmpty()) {
        const qsizetype newline = bytes.indexOf('\n');
        const qsizetype taken = newline < 0 ? bytes.size() : newline + 1;
        if (buffer_.size() + taken > longestLine) {
            garbage_ = true;
            buffer_.clear();
            return lines;
        }
        buffer_.append(bytes.first(taken));
        bytes = bytes.sliced(taken);
        if (newline < 0)
            continue;
        buffer_.chop(1);
        if (buffer_.endsWith('\r'))
            buffer_.chop(1);
        lines.append(buffer_);
        buffer_.clear();
    }
    return lines;
}

void seedLinkPacketStream::reset() {
    buffer_.clear();
    garbage_ = false;
    ended_ = false;
}
