#include "QVRRTSeismicDisplayController.h"

#include <QLoggingCategory>

#include <cstddef>
#include <cstdint>

// Channel lists are typed by users or read from files, and every channel becomes a request.
// The first byte picks a defaults dictionary with corners, the live window, and whether the
// first line ("start; duration; sample rate") replaces the fixed window, so that the
// window arithmetic meets any number a text can hold.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        QLoggingCategory::setFilterRules(QStringLiteral("quorvel.seismograms.info=false"));
        qputenv("QUORVEL_TIMESERIES_URL", "https://ts.example");
        return true;
    }();
    (void)quiet;
    if (size == 0)
        return 0;
    const uint8_t flags = data[0];
    QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    using channelDescription = QVRRTSeismicDisplayController::channelDescription;
    channelDescription working = QVRRTSeismicDisplayController::fixedWorkingDescription();
    if (flags & 4) {
        const qsizetype end = text.indexOf(u'\n');
        const QStringList window = text.left(end).split(u';');
        working.insert(QStringLiteral("StartTime"), window.value(0));
        working.insert(QStringLiteral("Duration"), window.value(1));
        working.insert(QStringLiteral("SampleRate"), window.value(2));
        text = end < 0 ? QString() : text.mid(end + 1);
    }
    channelDescription defaults;
    if (flags & 1)
        defaults = {{QStringLiteral("HPCornerHz"), QStringLiteral("0.01")},
                    {QStringLiteral("LPCornerHz"), QStringLiteral("1.0")}};

    const auto list = QVRRTSeismicDisplayController::readChannelList(text, defaults, working);
    QVRRTSeismicDisplayController controller;
    controller.setIsAutoUpdatingSeismograms(flags & 2);
    for (const channelDescription& channel : list.channels) {
        controller.buildURLForChannel(channel);
        QVRRTSeismicDisplayController::channelName(channel);
    }
    return 0;
}
