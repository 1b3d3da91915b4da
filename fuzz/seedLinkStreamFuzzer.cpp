#include "miniSeedRecord.h"
#include "seedLinkPacketStream.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstddef>
#include <cstdint>

// What a SeedLink server sends arrives in pieces cut anywhere: the reader must give the same
// packets however it is cut, never hold more than a packet, and never read past what it was
// given; each record it gives must decode or be refused without reading past its 512 bytes.
// The input's first byte chooses the piece sizes, so the fuzzer explores the cuts too.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const qsizetype piece = 1 + data[0] % 64 * 17;

    seedLinkPacketStream whole, cut, lines;
    const QList<seedLinkPacketStream::packet> expected = whole.feed(bytes);
    QList<seedLinkPacketStream::packet> got;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        const QByteArrayView part = bytes.sliced(at, std::min(piece, bytes.size() - at));
        got += cut.feed(part);
        lines.feedLines(part);
        if (cut.pending() >= seedLinkPacketStream::packetBytes ||
            lines.pending() > seedLinkPacketStream::longestLine)
            __builtin_trap();
    }
    if (got.size() != expected.size() || cut.isGarbage() != whole.isGarbage())
        __builtin_trap();
    for (qsizetype i = 0; i < got.size(); ++i) {
        if (got[i].what != expected[i].what || got[i].sequence != expected[i].sequence ||
            got[i].record != expected[i].record)
            __builtin_trap();
        if (got[i].what != seedLinkPacketStream::kind::end &&
            got[i].record.size() != seedLinkPacketStream::recordBytes)
            __builtin_trap();
        // The record on its own, as the client decodes it: a copy of exactly its bytes, so that
        // the sanitizer sees any read past them.
        const QByteArray record(got[i].record.constData(), got[i].record.size());
        (void)miniSeedRecord::decode(record);
    }
    return 0;
}
