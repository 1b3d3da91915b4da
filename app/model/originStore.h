#pragma once

#include "seismicOrigin.h"

#include <QObject>
#include <QPointF>

#include <functional>
#include <memory>
#include <optional>

// The one owner of the origins the windows show: all origins of the last list shown (newest
// first after a load), the visible ones (all of them, or those a click filter keeps), the click
// filter in force and the latest origin. It says when they change, and everything that shows
// origins listens (the event table, the map and the time line, the Statistics, Seismograms and
// Live Seismograms windows) or reads from it when asked (the clipboard, files, exports).
//
// Lives on the main thread; loads hand their lists to it there.
class originStore : public QObject {
    Q_OBJECT
public:
    // The click that narrowed the visible origins.
    struct clickFilter {
        enum class kind { time, distance };
        kind what = kind::time;
        double age = 0;     // time filter: seconds before now
        double window = 0;  // time filter: seconds either side of `age`
        QPointF lonLat;     // distance filter: the clicked place, degrees
        float radiusKm = 0; // distance filter

        static clickFilter byTime(double age, double window) {
            clickFilter f;
            f.age = age;
            f.window = window;
            return f;
        }
        static clickFilter byDistance(QPointF lonLat, float radiusKm) {
            clickFilter f;
            f.what = kind::distance;
            f.lonLat = lonLat;
            f.radiusKm = radiusKm;
            return f;
        }
    };

    explicit originStore(QObject* parent = nullptr);

    const originList& allOrigins() const { return all_; }
    const originList& visibleOrigins() const { return visible_; }
    const std::optional<clickFilter>& filter() const { return filter_; }
    bool isFiltered() const { return filter_.has_value(); }
    // The newest origin of the last list that had one; kept while later lists are empty.
    const std::shared_ptr<seismicOrigin>& latestOrigin() const { return latest_; }

    // A new list, newest first: every origin visible, no filter, its first origin the latest.
    void replaceOrigins(const originList& newestFirst);
    // All origins only, as they are given (the visible ones stay).
    void setAllOrigins(const originList& origins);
    // The visible origins as they are given, with the filter that kept them (none: unfiltered).
    void setVisibleOrigins(const originList& origins,
                           const std::optional<clickFilter>& filter = std::nullopt);
    // Every origin visible again.
    void clearFilter();
    // Calls `take` with the visible origins now and after every change, for as long as
    // `receiver` lives: the one way a window follows them.
    void followVisibleOrigins(QObject* receiver, std::function<void(const originList&)> take) const;

    // The same visible origins in another order (the table's sort): nothing else changes, so
    // nobody is told.
    void reorderVisibleOrigins(const originList& sameOriginsReordered);

Q_SIGNALS:
    // All origins were replaced (a load, a file, the kept list); visibleOriginsChanged follows.
    void originsReplaced();
    // The visible origins or the filter changed.
    void visibleOriginsChanged();

private:
    originList all_;
    originList visible_;
    std::optional<clickFilter> filter_;
    std::shared_ptr<seismicOrigin> latest_;
};
