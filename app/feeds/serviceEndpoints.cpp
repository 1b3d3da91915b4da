#include "serviceEndpoints.h"

#include <QSettings>

#include <iterator>

namespace serviceEndpoints {
namespace {

const description services[] = {
    {service::usgsEarthquakes, "usgsEarthquakes", "QUORVEL_USGS_EARTHQUAKE_URL",
     "https://earthquake.usgs.gov"},
};

} // namespace

const description* begin()
{
    return std::begin(services);
}

const description* end()
{
    return std::end(services);
}

QString baseURL(service which)
{
    for (const description& d : services) {
        if (d.which != which)
            continue;
        QString url = qEnvironmentVariable(d.environmentVariable);
        if (url.isEmpty())
            url = QSettings()
                      .value(QStringLiteral("services/") + QLatin1StringView(d.settingsKey),
                             QString::fromLatin1(d.defaultURL))
                      .toString();
        while (url.endsWith(u'/'))
            url.chop(1);
        return url;
    }
    return {};
}

} // namespace serviceEndpoints
