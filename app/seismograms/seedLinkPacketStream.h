#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

// Cuts what a SeedLink 3.1 server sends into its parts, whatever the sizes of the pieces the
// network hands over. During the handshake the server answers in lines ("OK\r\n"); once
// streaming, it sends packets of an 8-byte header and a 512-byte miniSEED record: "SL" and the
// sequence number in 6 hexadecimal digits for data, "SLINFO" and a flag byte ('*' while more
// follow) for the answers to INFO, and the bare "END" when a requested window is complete.
// Anything else where a header or a line should be makes the stream garbage for good: nothing
// after it can be trusted to start where a packet starts. It holds at most one packet's or one
// line's bytes between calls. Qt Core only; no thread of its own.
class seedLinkPacketStream {
public:
    static constexpr int headerBytes = 8;
    static constexpr int recordBytes = 512;
    static constexpr int packetBytes = headerBytes + recordBytes;
    // Longer answer lines are taken for garbage: the server's own are a few dozen characters.
    static constexpr int longestLine = 1024;

    enum class kind { data, info, end };
    struct packet {
        kind what = kind::data;
        int sequence = -1; // data packets only
        QByteArray record; // the 512 bytes of data and info packets
        bool last = false; // info packets: the last of an answer
    };

    // Takes the next bytes while streaming and answers the whole packets they complete.
    QList<packet> feed(QByteArrayView bytes);
    // During the handshake: takes the next bytes and answers the whole lines they complete,
    // without their "\r\n" (a bare "\n" ends a line too).
    QList<QByteArray> feedLines(QByteArrayView bytes);

    // True once the bytes stopped making sense; feed() then answers nothing until reset().
    bool isGarbage() const { return garbage_; }
    // True once "END" came; what follows it is not read.
    bool hasEnded() const { return ended_; }
    // Bytes of a packet or line begun but not complete.
    qsizetype pending() const { return buffer_.size(); }
    // Forgets what was buffered, the garbage and the end: for a new connection.
    void reset();

    // The sequence number of a data header ("SL00A3F1"), or none when it is not one.
    static std::optional<int> dataSequence(QByteArrayView header);

private:
    // What the buffer starts with: a whole packet, more bytes needed, or garbage.
    enum class start { packet, needMore, garbage };
    start classify() const;

    QByteArray buffer_;
    bool garbage_ = false;
    bool ended_ = false;
};
