#include "catalogueTable.h"

#include "CSEM_QueryController.h"
#include "INGV_QueryController.h"
#include "NEIC_QueryController.h"
#include "PDE_QueryController.h"
#include "fdsnEventQueryController.h"

namespace catalogueTable {

namespace {

std::unique_ptr<EQ_QueryController> usgsFeed(NEIC_QueryController::feed which) {
    auto c = std::make_unique<NEIC_QueryController>();
    c->setFeed(which);
    return c;
}

template <typename Controller>
std::unique_ptr<EQ_QueryController> make() {
    return std::make_unique<Controller>();
}

// The past week in a box from a named FDSN event service, with the box of the list the
// service's own web pages give (the EMSC list's, the INGV table's).
std::unique_ptr<EQ_QueryController> pastWeekFrom(const char* service, float south, float north,
                                                 float west, float east) {
    auto c = std::make_unique<fdsnEventQueryController>();
    c->setSearchType(fdsnEventQueryController::pastWeekSearch);
    c->setService(QString::fromLatin1(service));
    c->setMinMagnitude(2.0f);
    c->setMaxMagnitude(20.0f);
    c->setMinLatitude(south);
    c->setMaxLatitude(north);
    c->setMinLongitude(west);
    c->setMaxLongitude(east);
    return c;
}

} // namespace

const QList<catalogue>& catalogues() {
    static const QList<catalogue> table = {
        {usgsFeedTag, QStringLiteral("usgs"), QStringLiteral("USGS feed"),
         [] { return usgsFeed(NEIC_QueryController::feed::monthFeed); },
         timeLineSpan::lastThirtyDays},
        {usgsWeeklyListTag, QStringLiteral("usgs-text"), QStringLiteral("USGS weekly list"),
         [] { return usgsFeed(NEIC_QueryController::feed::weeklyList); }, timeLineSpan::listSpan},
        {fdsnTag, QStringLiteral("fdsn"), QStringLiteral("FDSN event search"),
         make<fdsnEventQueryController>, timeLineSpan::listSpan},
        {ingvTag, QStringLiteral("ingv"), QStringLiteral("INGV table"), make<INGV_QueryController>,
         timeLineSpan::listSpan},
        {emscTag, QStringLiteral("emsc"), QStringLiteral("EMSC list"), make<CSEM_QueryController>,
         timeLineSpan::listSpan},
        {pdeTag, QStringLiteral("pde"), QStringLiteral("PDE search"), make<PDE_QueryController>,
         timeLineSpan::listSpan},
        {emscFdsnTag, QStringLiteral("emsc-fdsn"), QStringLiteral("EMSC event service"),
         [] { return pastWeekFrom("emsc", 30.0f, 65.0f, -15.0f, 45.0f); }, timeLineSpan::listSpan},
        {ingvFdsnTag, QStringLiteral("ingv-fdsn"), QStringLiteral("INGV event service"),
         [] { return pastWeekFrom("ingv", 34.0f, 47.0f, 6.25f, 19.0f); }, timeLineSpan::listSpan},
    };
    return table;
}

const catalogue& catalogueForTag(int tag) {
    for (const catalogue& c : catalogues()) {
        if (c.tag == tag)
            return c;
    }
    return catalogues().first();
}

const catalogue* catalogueNamed(const QString& commandLineName) {
    for (const catalogue& c : catalogues()) {
        if (c.commandLineName == commandLineName)
            return &c;
    }
    return nullptr;
}

QString commandLineNames() {
    QStringList names;
    for (const catalogue& c : catalogues())
        names << c.commandLineName;
    return names.join(QStringLiteral(", "));
}

} // namespace catalogueTable
