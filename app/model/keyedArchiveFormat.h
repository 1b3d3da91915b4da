#pragma once

#include <QtGlobal>

// The CBOR items a keyed archive is made of, shared by its encoder and its decoder.
namespace keyedArchiveFormat {

enum majorType : quint8 {
    unsignedInteger = 0,
    negativeInteger = 1,
    byteString = 2,
    textString = 3,
    arrayOf = 4,
    mapOf = 5,
    tag = 6,
    simpleOrFloat = 7
};
// The additional-information value of a container or text whose end is marked by a break.
constexpr quint8 unboundedLength = 31;
constexpr char breakByte = char(0xff);
// CBOR's tag for seconds since 1970, and the self-describing tag that opens every archive.
constexpr quint64 unixTimeTag = 1;
constexpr quint64 signatureTag = 55799;

} // namespace keyedArchiveFormat
