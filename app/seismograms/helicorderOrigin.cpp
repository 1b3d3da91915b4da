#include "helicorderOrigin.h"

#include "QVRMagnitude.h"

#include <algorithm>

float helicorderOrigin::mb() const {
    const float mb = largestOfType(QStringLiteral("mb"), match::exactly);
    if (mb > 0 || Ms() > 0 || Mw() > 0)
        return mb;
    return origin_->magnitude();
}

float helicorderOrigin::Ms() const {
    return largestOfType(QStringLiteral("Ms"), match::exactly);
}

float helicorderOrigin::Mw() const {
    return largestOfType(QStringLiteral("Mw"), match::startingWith);
}

float helicorderOrigin::largestOfType(const QString& type, match how) const {
    if (!origin_->hasMagnitudeList())
        return 0.0f;
    float largest = 0.0f;
    for (const auto& m : origin_->magnitudes()) {
        if (!m)
            continue;
        const QString& t = m->magnitudeType();
        const bool fits = how == match::exactly ? t.compare(type, Qt::CaseInsensitive) == 0
                                                : t.startsWith(type, Qt::CaseInsensitive);
        if (fits)
            largest = std::max(largest, m->mvalue());
    }
    return largest;
}
