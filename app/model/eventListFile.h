#pragma once

#include "QVRResult.h"
#include "seismicOrigin.h"

#include <QByteArray>
#include <QString>

#include <functional>

// A list of origins kept in a file: a keyed archive whose root names its kind and version and
// holds the origins, each archived as a record does it. Used for saving and opening event
// lists and for the offline cache. Reading is all or nothing: a file that is cut short, of
// another kind, from a newer version or with a damaged record gives no origins at all.
class eventListFile {
public:
    static const QString kind;        // "Quorvel event list"
    static constexpr int version = 1; // raise when the root's layout changes

    static QByteArray archivedData(const originList& origins);
    static QVRResult<originList> originsFromData(const QByteArray& data);

    // Written atomically: an existing file is replaced only once the new one is complete.
    static QVRResult<void> write(const originList& origins, const QString& path);

    // A copy no one else holds: records and their magnitudes copied, so that another thread
    // can read it while the program goes on changing its own.
    static originList snapshotOf(const originList& origins);
    // Writes `snapshot` (from snapshotOf, and untouched after) on a worker thread, atomically
    // as write does, then calls `done` there with the outcome. A later write to the same path
    // supersedes one that has not begun.
    static void writeInBackground(originList snapshot, const QString& path,
                                  std::function<void(const QVRResult<void>&)> done = {});
    // Returns once every background write asked for so far is on disk (or has failed).
    static void waitForBackgroundWrites();
    static QVRResult<originList> read(const QString& path);
};
