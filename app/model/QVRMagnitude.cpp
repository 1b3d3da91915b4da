#include "QVRMagnitude.h"

#include "keyedArchiver.h"
#include "keyedUnarchiver.h"
#include "printableText.h"

QString QVRMagnitude::description() const {
    return QString::asprintf("Magnitude: %.2f Type: %s %s, %d observations.", double(mvalue_),
                             qUtf8Printable(printableText(magnitudeType_)),
                             qUtf8Printable(printableText(contributor_)), nObs());
}

void QVRMagnitude::encodeWithCoder(keyedArchiver& coder) const {
    coder.encodeObject(magnitudeType_, QStringLiteral("magnitudeType"));
    coder.encodeObject(contributor_, QStringLiteral("contributor"));
    coder.encodeObject(magnitudeComment_, QStringLiteral("magnitudeComment"));
    coder.encodeFloat(mvalue_, QStringLiteral("mvalue"));
    coder.encodeFloat(nObs_, QStringLiteral("nObs"));
    coder.encodeFloat(uncertainty_, QStringLiteral("uncertainty"));
}

std::shared_ptr<QVRMagnitude> QVRMagnitude::initWithCoder(const keyedUnarchiver& coder) {
    auto m = std::make_shared<QVRMagnitude>();
    m->setMagnitudeType(coder.decodeText(QStringLiteral("magnitudeType")));
    m->setContributor(coder.decodeText(QStringLiteral("contributor")));
    m->setMagnitudeComment(coder.decodeText(QStringLiteral("magnitudeComment")));
    m->setMvalue(coder.decodeFloat(QStringLiteral("mvalue")));
    m->setNObs(truncatedToInt(coder.decodeFloat(QStringLiteral("nObs"))));
    m->setUncertainty(coder.decodeFloat(QStringLiteral("uncertainty")));
    return m;
}
