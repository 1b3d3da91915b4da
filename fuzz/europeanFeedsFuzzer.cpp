#include "CSEM_QueryController.h"
#include "INGV_QueryController.h"
#include "PDE_QueryController.h"

#include <cstddef>
#include <cstdint>

// The INGV page, the EMSC export and PDE result pages and lines. The first byte picks the
// reader; the limits are opened wide so that every row that parses goes all the way through.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    static INGV_QueryController* ingv = [] {
        auto* c = new INGV_QueryController;
        c->setMinMagnitude(-1000);
        c->setMinLatitude(-1000);
        c->setMaxLatitude(1000);
        c->setMinLongitude(-1000);
        c->setMaxLongitude(1000);
        return c;
    }();
    static CSEM_QueryController* emsc = [] {
        auto* c = new CSEM_QueryController;
        c->setMinMagnitude(-1000);
        return c;
    }();
    switch (data[0] % 4) {
    case 0:
        ingv->parseINGVPage(bytes);
        break;
    case 1:
        emsc->parseEMSCExport(bytes, QDateTime(QDate(2026, 12, 8), QTime(0, 0), QTimeZone::utc()));
        break;
    case 2:
        PDE_QueryController::parsePDEResultPage(bytes);
        break;
    default:
        PDE_QueryController::parsePDELines(QString::fromLatin1(bytes));
        break;
    }
    return 0;
}
