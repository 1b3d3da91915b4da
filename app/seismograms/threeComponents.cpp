#include "threeComponents.h"

#include "horizontalRotation.h"

#include <algorithm>
#include <cmath>

namespace {

bool defined(float value) {
    return std::isfinite(value) && value != SacHeader::undefinedValue;
}

// The component letter: the last character of the component code, upper-cased.
QChar componentOf(const SacObject& s) {
    const QString code = s.kcmpnm().trimmed();
    return code.isEmpty() ? QChar() : code.back().toUpper();
}

// A copy of `like` holding `samples` under the component letter `component`.
std::shared_ptr<SacObject> rotatedCopy(const SacObject& like, std::vector<float> samples,
                                       char component) {
    auto copy = std::make_shared<SacObject>();
    copy->InitWithSamples(std::move(samples), like.delta(), like.b(), like.mySeisReferenceTime());
    SacHeader& to = *copy->GetSacHeader();
    const SacHeader& from = *like.GetSacHeader();
    // Everything about the event, the station and the picks stays; only the samples and the
    // component are the rotation's.
    const int npts = to.npts;
    const float e = to.e;
    const float depmin = to.depmin, depmax = to.depmax, depmen = to.depmen;
    to = from;
    to.npts = npts;
    to.e = e;
    to.depmin = depmin;
    to.depmax = depmax;
    to.depmen = depmen;
    std::fill(std::begin(to.kcmpnm), std::end(to.kcmpnm), ' ');
    // The band and instrument codes stay; the orientation letter becomes R or T.
    QByteArray code = QByteArray(from.kcmpnm, 8).trimmed();
    code.chop(1);
    code += component;
    std::copy(code.begin(), code.end(), std::begin(to.kcmpnm));
    // A label that ends in the component code follows it; any other gains the new letter.
    QString label = like.labelString();
    const QString original = like.kcmpnm().trimmed();
    if (!original.isEmpty() && label.endsWith(original))
        label = label.chopped(original.size()) + QString::fromLatin1(code);
    else if (!label.isEmpty())
        label += QStringLiteral(" (%1)").arg(QLatin1Char(component));
    copy->setLabelString(label);
    copy->ComputeExtrema();
    return copy;
}

} // namespace

QVRResult<std::shared_ptr<threeComponents>>
threeComponents::fromSeismograms(const QList<std::shared_ptr<SacObject>>& seismograms) {
    using result = QVRResult<std::shared_ptr<threeComponents>>;
    auto observation = std::make_shared<threeComponents>();
    std::shared_ptr<SacObject> first, second; // horizontals to rotate, north or 1 first
    for (const auto& s : seismograms) {
        if (!s || !s->GetSacHeader())
            continue;
        switch (componentOf(*s).unicode()) {
        case 'Z':
            observation->vertical_ = s;
            break;
        case 'R':
            observation->radial_ = s;
            break;
        case 'T':
            observation->transverse_ = s;
            break;
        case 'N':
        case '1':
            first = s;
            break;
        case 'E':
        case '2':
            second = s;
            break;
        default:
            break;
        }
    }
    const bool rotate = !observation->radial_ && !observation->transverse_ && (first || second);
    if (rotate) {
        if (!first || !second)
            return result::failure(QStringLiteral("only one horizontal component"));
        auto azimuthOf = [](const SacObject& s) {
            const QChar c = componentOf(s);
            if (c == u'N')
                return 0.0f;
            if (c == u'E')
                return 90.0f;
            return s.GetSacHeader()->cmpaz;
        };
        const float firstAzimuth = azimuthOf(*first), secondAzimuth = azimuthOf(*second);
        const float backAzimuth = first->backazimuth();
        if (!defined(firstAzimuth) || !defined(secondAzimuth))
            return result::failure(QStringLiteral("a horizontal component has no azimuth"));
        if (!defined(backAzimuth))
            return result::failure(QStringLiteral("the header has no back-azimuth"));
        const auto count = std::size_t(std::min(first->npts(), second->npts()));
        radialTransverse rt =
            rotateToRadialTransverse(first->GetSacSeis(), firstAzimuth, second->GetSacSeis(),
                                     secondAzimuth, count, backAzimuth);
        observation->radial_ = rotatedCopy(*first, std::move(rt.radial), 'R');
        observation->transverse_ = rotatedCopy(*first, std::move(rt.transverse), 'T');
    }
    if (!observation->vertical_ && !observation->radial_ && !observation->transverse_)
        return result::failure(QStringLiteral("no vertical, horizontal, radial or transverse "
                                              "component"));
    return observation;
}
