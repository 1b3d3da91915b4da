#include "fdsnEventQueryController.h"

#include <cstddef>
#include <cstdint>

// FDSN event text answers, as any service may send them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const originList origins = fdsnEventQueryController::parseFDSNEventText(bytes);
    for (const auto& o : origins)
        o->valuesInSeparatedString();
    return 0;
}
