#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

struct MSRecord_s;
class sampleExtrema;

// Reads miniSEED 2 records out of a buffer one at a time through libmseed, keeping one decoded
// record whose storage the next parse reuses. libmseed's own messages go to the debug log:
// the readers built on this one decide what a failed record is worth telling.
class miniSeedParser {
public:
    miniSeedParser();
    ~miniSeedParser();
    miniSeedParser(const miniSeedParser&) = delete;
    miniSeedParser& operator=(const miniSeedParser&) = delete;

    enum class outcome {
        record,    // a record was decoded; `length` bytes were its own
        damaged,   // a record or something else is here, and it cannot be decoded
        truncated, // a record starts here, but the bytes end before it does
    };
    struct step {
        outcome what = outcome::damaged;
        // The record's length when it is known (a decoded record, or a damaged one that says
        // its length); else 0.
        int length = 0;
    };
    // Parses the record at `bytes`, reading no more than `available` bytes: its header alone,
    // or with its samples decoded too.
    enum class content { header, samples };
    step parse(const char* bytes, qsizetype available, content what = content::samples);
    // Decodes the samples of a record of `length` bytes that parse() has read the header of
    // before, and found sound; false when they cannot be decoded.
    bool decodeParsed(const char* bytes, int length);
    // What decoding the samples needs of the last record's header, kept so that they can be
    // decoded after other records' headers were read, without reading this one's again.
    struct samplesLayout {
        int length = 0; // of the record, bytes
        int dataOffset = 0;
        qint64 count = 0; // samples announced
        signed char encoding = 0;
        signed char swapped = -1; // whether the samples' bytes are swapped; -1: not known
    };
    samplesLayout layout() const;
    // Decodes the samples of the record at `bytes`, whose header gave `layout`. The header
    // accessors below may still tell of the header read before.
    bool decodeParsed(const char* bytes, const samplesLayout& layout);

    // Whether the bytes look like the start of a miniSEED record.
    static bool detects(const char* bytes, qsizetype available);

    // --- the last decoded record
    const char* network() const;
    const char* station() const;
    const char* location() const;
    const char* channel() const;
    qint64 startTimeUs() const; // µs since 1970 in UTC, with the record's time correction
    double sampleRate() const;  // Hz
    int sequenceNumber() const;
    qsizetype sampleCount() const; // decoded
    // False for records without numbers (log text, blockette-only records) or without a
    // usable sample rate; known from the header alone.
    bool hasWaveform() const;
    // The samples the header announces.
    qsizetype announcedSamples() const;
    // Writes the decoded samples, converted to 32-bit floats, to `out`, which has room for
    // sampleCount() of them, and takes them into `extrema`.
    void copySamples(float* out, sampleExtrema& extrema) const;
    // Appends the decoded samples, converted to 32-bit floats.
    void appendSamples(std::vector<float>& out) const;

private:
    // Whether the samples the parsed header announces fit in its record.
    bool samplesFit() const;

    MSRecord_s* record_ = nullptr;
};
