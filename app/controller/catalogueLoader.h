#pragma once

#include "catalogueTable.h"
#include "seismicOrigin.h"
#include "timeLineDates.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class CSEM_QueryController;
class EQ_QueryController;
class INGV_QueryController;
class NEIC_QueryController;
class PDE_QueryController;
class fdsnEventQueryController;
class serialOperationQueue;

// Owns the catalogue query controllers and loads catalogues with them: the catalogue a
// data-source tag names, asked with the search limits, the weekly list with its summary, the
// bulletins, and the list kept on disk for the next start.
//
// Threads: the loader lives on the main thread. The windows' loads and bulletins run one at a
// time on the loader's worker queue, and their outcomes come back to the main thread by the
// queued signals below; while a job runs, only the worker touches the query controllers. A load
// the user asks for supersedes the running one: it is cancelled, and its outcome is dropped
// should it still arrive. The synchronous load() and loadWeeklyList() are for the command line
// and for code already on a worker.
class catalogueLoader : public QObject {
    Q_OBJECT
public:
    // The data-source tags of the catalogues (those of the catalogue table); any other tag
    // loads the USGS month feed.
    using dataSourceTag = catalogueTable::tag;
    using enum catalogueTable::tag;

    // What the user asks of a catalogue. The shown magnitudes are those of the displays, which
    // the feeds and lists use; the rest are the search tab's.
    struct searchLimits {
        float shownMinMagnitude = 0, shownMaxMagnitude = 0;
        float minMagnitude = 0, maxMagnitude = 0;
        float minDepth = 0, maxDepth = 0;               // km
        float west = 0, east = 0, south = 0, north = 0; // degrees
        float minRadius = 0, maxRadius = 0;             // degrees
        QString startDay, endDay;                       // "yyyy-MM-dd", as typed
        int searchType = -1;                            // FDSN 0…2; any other keeps its own
        // The FDSN search's service: a name ("usgs") or an http(s) address; null keeps its own.
        QString fdsnService;
    };

    // What a load brought. The origins are in the catalogue's order from load(), and newest
    // first from the loads in the background, but for the weekly list, which keeps the
    // catalogue's order; the error is null text when the download succeeded (a catalogue may
    // report an error and still bring origins).
    struct outcome {
        QString catalogue; // "USGS feed", "PDE search", …
        originList origins;
        QString error;
        timeLineDates timeLine;
        int tag = usgsFeedTag; // the tag asked for; the weekly list's own for the weekly list
        QString summary;       // the weekly summary once the load is done
        // Of a list kept for the next start (any catalogue's but the weekly list's): the copy
        // the kept list is written from, newest first. Made on the worker, so that the main
        // thread pays nothing for it; empty for a list that is not kept.
        originList keptCopy;
    };

    // `applicationController` is told to each query controller as its owner; `clock` is "now".
    catalogueLoader(QObject* applicationController, std::function<QDateTime()> clock,
                    QObject* parent = nullptr);
    // Cancels what runs in the background and waits for it to give up.
    ~catalogueLoader() override;
    catalogueLoader(const catalogueLoader&) = delete;
    catalogueLoader& operator=(const catalogueLoader&) = delete;

    NEIC_QueryController* neicQueryController() const { return neic_.get(); }
    void setNeicQueryController(std::unique_ptr<NEIC_QueryController> controller);
    INGV_QueryController* ingvQueryController() const { return ingv_.get(); }
    CSEM_QueryController* csemQueryController() const { return csem_.get(); }
    PDE_QueryController* pdeQueryController() const { return pde_.get(); }
    fdsnEventQueryController* fdsnQueryController() const { return fdsn_.get(); }
    // The past week from the EMSC's and the INGV's FDSN event services.
    fdsnEventQueryController* emscFdsnQueryController() const { return emscFdsn_.get(); }
    fdsnEventQueryController* ingvFdsnQueryController() const { return ingvFdsn_.get(); }

    // --- on the caller's thread
    // The catalogue of `tag`.
    outcome load(int tag, const searchLimits& limits);
    // The USGS weekly list, which keeps the time line's dates.
    outcome loadWeeklyList(const searchLimits& limits);

    // --- in the background; each outcome arrives by loadFinished
    // How a new load meets those already asked for.
    enum class whenBusy {
        supersede, // the user's: the running and waiting loads are cancelled
        queue      // start-up's: it runs after them
    };
    void startLoad(int tag, const searchLimits& limits, whenBusy busy = whenBusy::supersede);
    void startWeeklyList(const searchLimits& limits, whenBusy busy = whenBusy::supersede);
    // The month feed once, its list unused: the detail documents it fetches are kept for the
    // load that follows.
    void startFeedWarmUp(const searchLimits& limits);
    // Lets `origins` go on the worker, so that the records whose last holder it is are freed
    // there.
    void releaseInBackground(originList origins);
    // Cancels every load; none of their outcomes arrives.
    void stopLoads();
    bool isLoading() const { return !pending_.isEmpty(); }
    // The catalogue of the load that runs (or is the next to), null text when none.
    QString loadingCatalogue() const;
    // The USGS bulletin pages, as plain text (empty when the page cannot be had); they never
    // cancel a load nor are cancelled by one. The text arrives by bulletinFinished.
    enum class bulletin { bigQuake, momentTensors };
    void startBulletin(bulletin which);
    // The span of a list shown as if a load of `tag` had brought it: the USGS month feed's last
    // 30 days, or (for any other tag, a file's -1 included) from the oldest to the newest origin
    // of `newestFirst`.
    static timeLineDates spanOfList(int tag, const originList& newestFirst, const QDateTime& now);
    // The weekly summary, always the USGS list's whichever catalogue was loaded last (as of the
    // last outcome).
    QString summaryText() const { return summary_; }

    // The last list a load brought, kept on disk for the next start, with its catalogue tag
    // and the time it was loaded.
    struct cachedOrigins {
        originList origins;
        int tag = usgsFeedTag;
        QDateTime loadedAt;
    };
    static QString cachedOriginsPath();
    // None when there is no such file, or (said once) when it cannot be read.
    static std::optional<cachedOrigins> readCachedOrigins();
    static void writeCachedOrigins(const originList& origins, int tag, const QDateTime& loadedAt);
    // The same from a copy already made (an outcome's keptCopy), which is not touched after.
    static void writeCachedCopy(originList keptCopy, int tag, const QDateTime& loadedAt);
    // Whether a load of `tag` that brought `origins` is kept for the next start.
    static bool isKept(int tag, const originList& origins) {
        return tag != usgsWeeklyListTag && !origins.isEmpty();
    }

Q_SIGNALS:
    // A load's outcome, on the main thread; a superseded or stopped load sends none.
    void loadFinished(const catalogueLoader::outcome& loaded);
    // isLoading() or loadingCatalogue() changed.
    void loadingChanged();
    void bulletinFinished(const QString& text);
    // From the worker to the main thread only (queued): job `id` is done.
    void jobDone(quint64 id, const catalogueLoader::outcome& loaded, bool show, QPrivateSignal);

private:
    // Queues `work` as load job of `catalogue`; its outcome is shown when `show`.
    void enqueue(const QString& catalogue, whenBusy busy, bool show, std::function<outcome()> work);
    void finishJob(quint64 id, const outcome& loaded, bool show);
    QString weeklySummary() const;

    // How a catalogue is asked: its displays' magnitudes for the feeds and lists, the search
    // tab for the searches.
    enum class request { monthFeed, list, boxSearch, ringSearch };
    struct catalogue {
        EQ_QueryController* controller;
        QString name;
        request how;
    };
    // The one place a tag chooses its catalogue: the table's entry, and this loader's
    // controller for it.
    catalogue catalogueFor(int tag) const;
    // Copies the search tab's limits and days; false, with the reason in `result`, when the
    // days are no days.
    bool applySearchLimits(EQ_QueryController& c, const searchLimits& limits, outcome& result);
    static void loadEvents(EQ_QueryController& c, outcome& result);
    QDateTime now() const { return clock_(); }

    std::unique_ptr<NEIC_QueryController> neic_;
    std::unique_ptr<INGV_QueryController> ingv_;
    std::unique_ptr<CSEM_QueryController> csem_;
    std::unique_ptr<PDE_QueryController> pde_;
    std::unique_ptr<fdsnEventQueryController> fdsn_;
    std::unique_ptr<fdsnEventQueryController> emscFdsn_;
    std::unique_ptr<fdsnEventQueryController> ingvFdsn_;
    std::function<QDateTime()> clock_;
    QString summary_;
    // The load jobs whose outcomes are still wanted, in the order they run.
    struct pendingLoad {
        quint64 id;
        QString catalogue;
    };
    QList<pendingLoad> pending_;
    quint64 lastJob_ = 0;
    // Declared last, so that it is gone (its worker stopped) before the controllers go.
    std::unique_ptr<serialOperationQueue> queue_;
};

Q_DECLARE_METATYPE(catalogueLoader::outcome)
