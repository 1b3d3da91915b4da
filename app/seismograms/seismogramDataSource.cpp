#include "seismogramDataSource.h"

#include "serviceEndpoints.h"

namespace {

constexpr int defaultSeedLinkPort = 18000;

} // namespace

std::optional<seismogramDataSource> seismogramDataSource::parse(const QString& given) {
    const QString text = given.trimmed();
    seismogramDataSource source;
    if (text == QLatin1StringView("timeseries"))
        return source;
    if (text.startsWith(QLatin1StringView("fdsn:"))) {
        const QString centre = text.mid(5).trimmed();
        source.kind_ = kind::fdsn;
        if (serviceEndpoints::fdsnDataCentreNamed(centre.toLower())) {
            source.value_ = centre.toLower();
            return source;
        }
        source.value_ = serviceEndpoints::typedServiceURL(centre);
        if (source.value_.isNull())
            return std::nullopt;
        return source;
    }
    if (text.startsWith(QLatin1StringView("seedlink:"))) {
        const QString server = text.mid(9).trimmed();
        const qsizetype colon = server.lastIndexOf(u':');
        const QString host = colon < 0 ? server : server.left(colon);
        int port = defaultSeedLinkPort;
        if (colon >= 0) {
            bool ok = false;
            port = server.mid(colon + 1).toInt(&ok);
            if (!ok || port < 1 || port > 65535)
                return std::nullopt;
        }
        if (host.isEmpty() || host.contains(u'/') || host.contains(u' '))
            return std::nullopt;
        source.kind_ = kind::seedLink;
        source.value_ = host + u':' + QString::number(port);
        return source;
    }
    return std::nullopt;
}

QString seismogramDataSource::text() const {
    switch (kind_) {
    case kind::timeSeries:
        return QStringLiteral("timeseries");
    case kind::fdsn:
        return QStringLiteral("fdsn:") + value_;
    case kind::seedLink:
        return QStringLiteral("seedlink:") + value_;
    }
    return {};
}

QString seismogramDataSource::fdsnBaseURL() const {
    if (kind_ != kind::fdsn)
        return {};
    if (const auto* centre = serviceEndpoints::fdsnDataCentreNamed(value_))
        return serviceEndpoints::baseURL(centre->which);
    return value_;
}

QString seismogramDataSource::seedLinkServer() const {
    if (kind_ == kind::seedLink)
        return value_;
    if (kind_ == kind::fdsn) {
        if (const auto* centre = serviceEndpoints::fdsnDataCentreNamed(value_);
            centre && centre->seedLinkServer)
            return QString::fromLatin1(centre->seedLinkServer);
    }
    return {};
}
