#include "seismogramPicks.h"

#include "SacHeader.h"

#include <algorithm>

QString timePickLabel(const SacObject& seismogram, int key) {
    const QString label = seismogram.pickLabelWithKey(key);
    return label == QLatin1StringView("-12345") ? QString::asprintf("T%1d", key) : label;
}

bool setUserPick(SacObject& seismogram, const QString& phase, float seconds) {
    SacHeader* header = seismogram.GetSacHeader();
    if (header == nullptr)
        return false;
    char* label = nullptr;
    if (phase == QLatin1StringView("P")) {
        header->t2 = seconds;
        label = header->kt2;
    } else if (phase == QLatin1StringView("S")) {
        header->t3 = seconds;
        label = header->kt3;
    } else {
        return false;
    }
    // SAC's character fields are blank-padded, without a terminating zero.
    std::fill(label, label + sizeof(header->kt2), ' ');
    label[0] = phase.at(0).toLatin1();
    return true;
}

QList<pickMark> pickMarksOf(const SacObject& seismogram) {
    QList<pickMark> marks;
    const auto add = [&](float time, const QString& label, bool origin = false) {
        if (time != SacHeader::undefinedValue)
            marks.append({time, label, origin});
    };
    add(seismogram.originTimeOffset(), QStringLiteral("Origin"), true);
    const QString arrival = seismogram.pickLabelWithKey(10);
    add(seismogram.pTime(), arrival == QLatin1StringView("-12345") ? QStringLiteral("A") : arrival);
    add(seismogram.timePickKey(11), QStringLiteral("F"));
    for (int key = 0; key <= 9; ++key)
        add(seismogram.timePickKey(key), timePickLabel(seismogram, key));
    return marks;
}
