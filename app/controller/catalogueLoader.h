#pragma once

#include "catalogueTable.h"
#include "seismicOrigin.h"
#include "timeLineDates.h"

#include <QCoreApplication>
#include <QDateTime>
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

// Owns the catalogue query controllers and runs one load at a time: the catalogue a
// data-source tag names, asked with the search limits, the list kept on disk for the next
// start and the weekly summary.
//
// Loads are synchronous, but a download turns a local event loop, so a timer or a click can
// ask for a second load while the first waits; that one is refused rather than nested.
class catalogueLoader {
    Q_DECLARE_TR_FUNCTIONS(catalogueLoader)
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

    // What a load brought. The origins are in the catalogue's order; the error is null text
    // when the download succeeded (a catalogue may report an error and still bring origins).
    struct outcome {
        QString catalogue; // "USGS feed", "PDE search", …
        originList origins;
        QString error;
        timeLineDates timeLine;
    };

    // `applicationController` is told to each query controller as its owner; `clock` is "now".
    catalogueLoader(QObject* applicationController, std::function<QDateTime()> clock);
    ~catalogueLoader();
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

    bool isLoading() const { return loading_; }
    // The catalogue of `tag`; none when a load already runs.
    std::optional<outcome> load(int tag, const searchLimits& limits);
    // The USGS weekly list, which keeps the time line's dates; none when a load already runs.
    std::optional<outcome> loadWeeklyList(const searchLimits& limits);
    // The span of a list shown as if a load of `tag` had brought it: the USGS month feed's last
    // 30 days, or (for any other tag, a file's -1 included) from the oldest to the newest origin
    // of `newestFirst`.
    static timeLineDates spanOfList(int tag, const originList& newestFirst, const QDateTime& now);
    // The weekly summary, always the USGS list's whichever catalogue was loaded last.
    QString summaryText() const;

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

private:
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
    bool loading_ = false;
};
