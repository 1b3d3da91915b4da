#include "seismicitySummary.h"

#include "QVRDateFormatter.h"
#include "printableText.h"

#include <array>
#include <cmath>

namespace {

// Depth classes in km: shallow ≤ 70 < intermediate < 400 ≤ deep.
struct depthCounts {
    int shallow = 0, intermediate = 0, deep = 0;

    void count(float depth) {
        if (depth <= 70.0f)
            ++shallow;
        else if (depth < 400.0f)
            ++intermediate;
        else if (depth >= 400.0f)
            ++deep;
    }
};

} // namespace

QString seismicitySummary::write(const originList& origins, float minMagnitude,
                                 const QString& heading, const char* opening,
                                 const QDateTime& now) {
    if (origins.isEmpty())
        return {};

    // The calendar year ("yyyy"): the week-based year ("YYYY") would name the next year in
    // the last days of December.
    QVRDateFormatter formatter(QStringLiteral("EEEE, MMMM dd, yyyy, 'at' HH:mm"));
    QString text = heading + QStringLiteral("\n%1 UTC\n\n").arg(formatter.stringFromDate(now));
    text += QString::asprintf(opening, int(origins.size()), double(minMagnitude));

    // Bins 0 … 10 count k ≤ M < k + 1; magnitudes outside 0 … 11 count in no bin.
    std::array<int, 11> bins{};
    float largest = -100.0f;
    qsizetype largestIndex = -1;
    depthCounts all, fourAndAbove;
    for (qsizetype i = 0; i < origins.size(); ++i) {
        const seismicOrigin& o = *origins.at(i);
        const float m = o.magnitude();
        if (m >= 0.0f && m < 11.0f)
            ++bins[std::size_t(std::floor(m))];
        if (m >= largest) { // the last of equal largest magnitudes is named
            largest = m;
            largestIndex = i;
        }
        all.count(o.depth());
        if (m >= 4.0f)
            fourAndAbove.count(o.depth());
    }

    formatter.setDateFormat(QStringLiteral("EEEE, MMMM dd 'at' HH:mm"));
    if (largestIndex >= 0) {
        const seismicOrigin& big = *origins.at(largestIndex);
        text += QString::asprintf("The largest event was a magnitude %.1f event that occurred on ",
                                  double(largest)) +
                QStringLiteral("%1 UTC with location: %2.\n")
                    .arg(printableText(formatter.stringFromDate(big.originDateTime())),
                         printableText(big.shortFlinnEngdahlString()));
    }

    text += QStringLiteral("\nThe earthquake list includes \n");
    for (int k = 10; k >= 0; --k) {
        if (bins[std::size_t(k)] > 0)
            text += QString::asprintf("  %3d events with %3.1f \u2264 M < %3.1f\n",
                                      bins[std::size_t(k)], double(k), double(k + 1));
    }

    text += QStringLiteral("\nThe depth distribution of events is\n") +
            QString::asprintf("  %d events with 0 km \u2264 Depth <= 70 km\n", all.shallow) +
            QString::asprintf("  %d events with 70 km < Depth < 400 km\n", all.intermediate) +
            QString::asprintf("  %d events with Depth \u2265 400 km\n", all.deep);

    text +=
        QStringLiteral("\nFor events larger than M 4.0, there were\n") +
        QString::asprintf("  %d events with 0 km \u2264 Depth <= 70 km.\n", fourAndAbove.shallow) +
        QString::asprintf("  %d events with 70 km < Depth < 400 km.\n", fourAndAbove.intermediate) +
        QString::asprintf("  %d events with Depth \u2265 400 km.\n", fourAndAbove.deep);

    text += QStringLiteral("\nThe following events have magnitudes of 6.0 or larger \n");
    for (const auto& origin : origins) {
        const seismicOrigin& o = *origin;
        if (o.magnitude() >= 6.0f)
            text += QString::asprintf("\n * A magnitude %.1f on ", double(o.magnitude())) +
                    QStringLiteral("%1 UTC, location: %2 ")
                        .arg(printableText(formatter.stringFromDate(o.originDateTime())),
                             printableText(o.shortFlinnEngdahlString())) +
                    QString::asprintf("(%.0f km deep).\n", double(o.depth()));
    }
    return text;
}
