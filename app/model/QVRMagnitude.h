#pragma once

#include "lenientNumbers.h"

#include <QString>

#include <memory>

class keyedArchiver;
class keyedUnarchiver;

// One magnitude determination of an earthquake: value, type, who computed it, a comment, the
// number of observations and an uncertainty.
class QVRMagnitude {
public:
    QVRMagnitude() = default;

    const QString& magnitudeType() const { return magnitudeType_; }
    void setMagnitudeType(const QString& type) { magnitudeType_ = type; }
    const QString& contributor() const { return contributor_; }
    void setContributor(const QString& contributor) { contributor_ = contributor; }
    const QString& magnitudeComment() const { return magnitudeComment_; }
    void setMagnitudeComment(const QString& comment) { magnitudeComment_ = comment; }
    float mvalue() const { return mvalue_; }
    void setMvalue(float value) { mvalue_ = value; }
    // The count is kept as a float, as archives store it, and read back truncated.
    int nObs() const { return truncatedToInt(nObs_); }
    void setNObs(int count) { nObs_ = static_cast<float>(count); }
    float uncertainty() const { return uncertainty_; }
    void setUncertainty(float uncertainty) { uncertainty_ = uncertainty; }

    // "Magnitude: 6.10 Type: Mw USGS, 0 observations."
    QString description() const;

    void encodeWithCoder(keyedArchiver& coder) const;
    // A record read from an archive; keys that are missing leave their fields blank.
    static std::shared_ptr<QVRMagnitude> initWithCoder(const keyedUnarchiver& coder);

private:
    QString magnitudeType_; // "mb", "Ms", "Mw", …
    QString contributor_;   // agency, e.g. "USGS"
    QString magnitudeComment_;
    float mvalue_ = 0;
    float nObs_ = 0;
    float uncertainty_ = 0;
};
