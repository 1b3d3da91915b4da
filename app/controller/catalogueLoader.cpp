#include "catalogueLoader.h"

#include "CSEM_QueryController.h"
#include "INGV_QueryController.h"
#include "NEIC_QueryController.h"
#include "PDE_QueryController.h"
#include "eventListFile.h"
#include "fdsnEventQueryController.h"
#include "quorvelLogging.h"
#include "serialOperationQueue.h"
#include "webFetcher.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

// A search day "yyyy-MM-dd" as midnight UTC; invalid when the text is no such day.
QDateTime searchDay(const QString& text) {
    const QDate day = QDate::fromString(text.trimmed(), Qt::ISODate);
    return day.isValid() ? QDateTime(day, QTime(0, 0), QTimeZone::utc()) : QDateTime();
}

constexpr qint64 monthFeedSeconds = 2592000; // 30 days

} // namespace

namespace {

// One controller of the table's kind for a tag, kept for the life of the loader.
template <typename Controller>
std::unique_ptr<Controller> madeFor(int tag) {
    std::unique_ptr<EQ_QueryController> made = catalogueTable::catalogueForTag(tag).make();
    auto* typed = qobject_cast<Controller*>(made.get());
    Q_ASSERT(typed);
    made.release();
    return std::unique_ptr<Controller>(typed);
}

} // namespace

namespace {
// The group of the queue's operations that a new load supersedes.
const QString loadsGroup = QStringLiteral("loads");
} // namespace

catalogueLoader::catalogueLoader(QObject* applicationController, std::function<QDateTime()> clock,
                                 QObject* parent)
    : QObject(parent)
    , neic_(madeFor<NEIC_QueryController>(usgsFeedTag))
    , ingv_(madeFor<INGV_QueryController>(ingvTag))
    , csem_(madeFor<CSEM_QueryController>(emscTag))
    , pde_(madeFor<PDE_QueryController>(pdeTag))
    , fdsn_(madeFor<fdsnEventQueryController>(fdsnTag))
    , emscFdsn_(madeFor<fdsnEventQueryController>(emscFdsnTag))
    , ingvFdsn_(madeFor<fdsnEventQueryController>(ingvFdsnTag))
    , clock_(std::move(clock))
    , queue_(std::make_unique<serialOperationQueue>([] {})) {
    qRegisterMetaType<catalogueLoader::outcome>();
    connect(this, &catalogueLoader::jobDone, this, &catalogueLoader::finishJob,
            Qt::QueuedConnection);
    summary_ = weeklySummary(); // of no list yet, until the first load
    for (EQ_QueryController* c : std::initializer_list<EQ_QueryController*>{
             neic_.get(), ingv_.get(), csem_.get(), pde_.get(), fdsn_.get(), emscFdsn_.get(),
             ingvFdsn_.get()})
        c->setController(applicationController);
}

catalogueLoader::~catalogueLoader() {
    // The worker must be gone before the controllers it uses.
    queue_.reset();
    // The list kept for the next start is written on a worker; quitting must not lose it.
    eventListFile::waitForBackgroundWrites();
}

void catalogueLoader::setNeicQueryController(std::unique_ptr<NEIC_QueryController> controller) {
    neic_ = std::move(controller);
}

catalogueLoader::catalogue catalogueLoader::catalogueFor(int tag) const {
    const catalogueTable::catalogue& entry = catalogueTable::catalogueForTag(tag);
    switch (entry.tag) {
    case ingvTag:
        return {ingv_.get(), entry.title, request::list};
    case emscTag:
        return {csem_.get(), entry.title, request::list};
    case pdeTag:
        return {pde_.get(), entry.title, request::boxSearch};
    case fdsnTag:
        return {fdsn_.get(), entry.title, request::ringSearch};
    case emscFdsnTag:
        return {emscFdsn_.get(), entry.title, request::list};
    case ingvFdsnTag:
        return {ingvFdsn_.get(), entry.title, request::list};
    case usgsWeeklyListTag:
        // The weekly list has an entry point of its own, which keeps the time line's dates.
    default:
        return {neic_.get(), catalogueTable::catalogueForTag(usgsFeedTag).title,
                request::monthFeed};
    }
}

catalogueLoader::outcome catalogueLoader::load(int tag, const searchLimits& limits) {
    const QDateTime start = now();
    const catalogue chosen = catalogueFor(tag);
    EQ_QueryController& c = *chosen.controller;
    outcome result;
    result.catalogue = chosen.name;
    result.tag = tag;

    switch (chosen.how) {
    case request::list:
        c.setMinMagnitude(limits.shownMinMagnitude);
        c.setMaxMagnitude(limits.shownMaxMagnitude);
        loadEvents(c, result);
        // From the last origin in the catalogue's own order up to now.
        if (!result.origins.isEmpty())
            result.timeLine.start = result.origins.last()->originDateTime();
        result.timeLine.end = now();
        break;
    case request::boxSearch:
        if (!applySearchLimits(c, limits, result))
            break;
        // The PDE request names its latitudes the other way round: the north field goes in
        // as the minimum, so that the request carries south first.
        c.setMinLatitude(limits.north);
        c.setMaxLatitude(limits.south);
        loadEvents(c, result);
        break;
    case request::ringSearch:
        if (!applySearchLimits(c, limits, result))
            break;
        if (auto* fdsn = qobject_cast<fdsnEventQueryController*>(&c);
            fdsn && !limits.fdsnService.isNull() && !fdsn->setService(limits.fdsnService)) {
            qCWarning(lcController).noquote()
                << QStringLiteral("The FDSN service \"%1\" is no http or https address.")
                       .arg(limits.fdsnService);
            result.error = tr("the FDSN service address is no http or https address");
            break;
        }
        c.setMaxLatitude(limits.north);
        c.setMinLatitude(limits.south);
        if (auto* fdsn = qobject_cast<fdsnEventQueryController*>(&c);
            fdsn && limits.searchType >= 0 && limits.searchType <= 2)
            fdsn->setSearchType(limits.searchType);
        c.setMinRadius(limits.minRadius);
        c.setMaxRadius(limits.maxRadius);
        loadEvents(c, result);
        break;
    case request::monthFeed:
        c.setMinMagnitude(limits.shownMinMagnitude);
        c.setMaxMagnitude(limits.shownMaxMagnitude);
        result.timeLine = {start.addSecs(-monthFeedSeconds), start};
        result.origins = qobject_cast<NEIC_QueryController*>(&c)->loadUSGSGeoJSONFeed();
        result.error = c.lastError();
        break;
    }
    return result;
}

catalogueLoader::outcome catalogueLoader::loadWeeklyList(const searchLimits& limits) {
    outcome result;
    result.catalogue = catalogueTable::catalogueForTag(usgsWeeklyListTag).title;
    result.tag = usgsWeeklyListTag;
    neic_->setMinMagnitude(limits.shownMinMagnitude);
    neic_->setMaxMagnitude(limits.shownMaxMagnitude);
    // The list loadEvents has just read and kept is the weekly list itself; reading it a
    // second time would only download it twice (and report a failure twice).
    loadEvents(*neic_, result);
    return result;
}

bool catalogueLoader::applySearchLimits(EQ_QueryController& c, const searchLimits& limits,
                                        outcome& result) {
    c.setMinMagnitude(limits.minMagnitude);
    c.setMaxMagnitude(limits.maxMagnitude);
    c.setMinDepth(limits.minDepth);
    c.setMaxDepth(limits.maxDepth);
    c.setMinLongitude(limits.west);
    c.setMaxLongitude(limits.east);
    const QDateTime first = searchDay(limits.startDay);
    const QDateTime last = searchDay(limits.endDay);
    if (!first.isValid() || !last.isValid()) {
        qCWarning(lcController).noquote()
            << QStringLiteral("The search days \"%1\" to \"%2\" are not yyyy-MM-dd days.")
                   .arg(limits.startDay, limits.endDay);
        result.error = tr("the search days are not yyyy-MM-dd days");
        return false;
    }
    c.setStartDate(first);
    c.setEndDate(last);
    result.timeLine = {first, last};
    return true;
}

void catalogueLoader::loadEvents(EQ_QueryController& c, outcome& result) {
    const bool replaced = c.loadEvents();
    result.origins = replaced ? c.seismicOrigins() : originList();
    result.error = c.lastError();
}

timeLineDates catalogueLoader::spanOfList(int tag, const originList& newestFirst,
                                          const QDateTime& now) {
    if (catalogueTable::catalogueForTag(tag).span == catalogueTable::timeLineSpan::lastThirtyDays)
        return {now.addSecs(-monthFeedSeconds), now};
    if (newestFirst.isEmpty())
        return {};
    return {newestFirst.last()->originDateTime(), newestFirst.first()->originDateTime()};
}

QString catalogueLoader::weeklySummary() const {
    return neic_->summarizeTheSeismicActivity(now());
}

// --- in the background

void catalogueLoader::startLoad(int tag, const searchLimits& limits, whenBusy busy) {
    enqueue(catalogueFor(tag).name, busy, true, [this, tag, limits] { return load(tag, limits); });
}

void catalogueLoader::startWeeklyList(const searchLimits& limits, whenBusy busy) {
    enqueue(catalogueTable::catalogueForTag(usgsWeeklyListTag).title, busy, true,
            [this, limits] { return loadWeeklyList(limits); });
}

void catalogueLoader::startFeedWarmUp(const searchLimits& limits) {
    enqueue(catalogueFor(usgsFeedTag).name, whenBusy::queue, false, [this, limits] {
        neic_->setMinMagnitude(limits.shownMinMagnitude);
        neic_->setMaxMagnitude(limits.shownMaxMagnitude);
        neic_->loadUSGSGeoJSONFeed();
        return outcome{};
    });
}

void catalogueLoader::enqueue(const QString& catalogue, whenBusy busy, bool show,
                              std::function<outcome()> work) {
    if (busy == whenBusy::supersede)
        stopLoads();
    const quint64 id = ++lastJob_;
    pending_.append({id, catalogue});
    queue_->addOperation(
        catalogue,
        [this, id, show, work = std::move(work)](const std::atomic<bool>& cancelled) {
            // Every download of the load gives up when the load is superseded.
            const webFetcher::cancellationScope scope(cancelled);
            outcome loaded = work();
            loaded.summary = weeklySummary();
            // The list is shown newest first; sorted here, the main thread need not.
            if (show && loaded.tag != usgsWeeklyListTag)
                sortNewestFirst(loaded.origins);
            if (show && isKept(loaded.tag, loaded.origins))
                loaded.keptCopy = eventListFile::snapshotOf(loaded.origins);
            Q_EMIT jobDone(id, loaded, show, QPrivateSignal());
        },
        loadsGroup);
    Q_EMIT loadingChanged();
}

void catalogueLoader::releaseInBackground(originList origins) {
    if (origins.isEmpty())
        return;
    queue_->addOperation(QStringLiteral("release"),
                         [origins = std::move(origins)](const std::atomic<bool>&) mutable {
                             origins = originList();
                         });
}

void catalogueLoader::stopLoads() {
    if (pending_.isEmpty())
        return;
    queue_->cancelOperationsOf(loadsGroup);
    pending_.clear();
    Q_EMIT loadingChanged();
}

void catalogueLoader::finishJob(quint64 id, const outcome& loaded, bool show) {
    const auto wanted = std::find_if(pending_.cbegin(), pending_.cend(),
                                     [id](const pendingLoad& p) { return p.id == id; });
    if (wanted == pending_.cend()) {
        qCDebug(lcController).noquote()
            << QStringLiteral("The superseded load of the %1 has ended; its outcome is dropped.")
                   .arg(loaded.catalogue);
        return;
    }
    pending_.erase(wanted);
    summary_ = loaded.summary;
    if (show)
        Q_EMIT loadFinished(loaded);
    Q_EMIT loadingChanged();
}

QString catalogueLoader::loadingCatalogue() const {
    return pending_.isEmpty() ? QString() : pending_.first().catalogue;
}

void catalogueLoader::startBulletin(bulletin which) {
    queue_->addOperation(QStringLiteral("bulletin"), [this, which](const std::atomic<bool>&) {
        const QString text =
            which == bulletin::bigQuake ? neic_->BigQuakeMessage() : neic_->USGSMTensorMessage();
        QMetaObject::invokeMethod(
            this, [this, text] { Q_EMIT bulletinFinished(text); }, Qt::QueuedConnection);
    });
}

QString catalogueLoader::cachedOriginsPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("lastEvents.quorvel"));
}

std::optional<catalogueLoader::cachedOrigins> catalogueLoader::readCachedOrigins() {
    // A list still being written is the one to read.
    eventListFile::waitForBackgroundWrites();
    const QString path = cachedOriginsPath();
    if (!QFileInfo::exists(path))
        return std::nullopt;
    const QVRResult<originList> origins = eventListFile::read(path);
    if (!origins) {
        qCWarning(lcController).noquote()
            << QStringLiteral("The events kept from the last run cannot be read: %1")
                   .arg(origins.error());
        return std::nullopt;
    }
    const QSettings settings;
    return cachedOrigins{*origins, settings.value(QStringLiteral("cache/catalogueTag")).toInt(),
                         settings.value(QStringLiteral("cache/loadedAt")).toDateTime()};
}

void catalogueLoader::writeCachedOrigins(const originList& origins, int tag,
                                         const QDateTime& loadedAt) {
    writeCachedCopy(eventListFile::snapshotOf(origins), tag, loadedAt);
}

void catalogueLoader::writeCachedCopy(originList keptCopy, int tag, const QDateTime& loadedAt) {
    const QString path = cachedOriginsPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Written on a worker from a copy of its own, so that a long list never holds up the
    // window; the settings name the list only once it is on disk.
    eventListFile::writeInBackground(
        std::move(keptCopy), path, [tag, loadedAt](const QVRResult<void>& written) {
            if (!written) {
                qCWarning(lcController).noquote()
                    << QStringLiteral("The events cannot be kept for the next start: %1")
                           .arg(written.error());
                return;
            }
            QSettings settings;
            settings.setValue(QStringLiteral("cache/catalogueTag"), tag);
            settings.setValue(QStringLiteral("cache/loadedAt"), loadedAt);
        });
}
