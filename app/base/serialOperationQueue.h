#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

// Runs operations one at a time, in the order they were added, on a thread of its own, so that
// slow downloads never hold up the caller. The thread is started with the first operation;
// it has an event dispatcher, so an operation may turn a local event loop (a download does).
//
// Operations cannot be stopped from outside: cancelling drops the waiting ones and raises the
// running one's flag, which the operation is expected to watch and give up on. Operations may
// belong to a group, so that one kind of work can be cancelled while another goes on.
//
// This is the program's one way to run work in the background: catalogue loads and bulletins,
// seismogram downloads, and the kept list's read and write each have a queue of this type,
// and hand their results to the main thread by queued signal or call.
class serialOperationQueue {
public:
    // The work of one operation; `cancelled` is raised when it should stop early.
    using work = std::function<void(const std::atomic<bool>& cancelled)>;

    // `operationsChanged` is called after every change of the operations (one added, one
    // finished, the waiting ones dropped), on whichever thread made the change. The queue's
    // lock is not held then, so it may ask for operations().
    explicit serialOperationQueue(std::function<void()> operationsChanged);
    // Cancels everything and waits for the running operation to give up; no change is
    // reported from here on.
    ~serialOperationQueue();
    serialOperationQueue(const serialOperationQueue&) = delete;
    serialOperationQueue& operator=(const serialOperationQueue&) = delete;

    // `name` says what the operation does, for operations(); `group` is what
    // cancelOperationsOf() names.
    void addOperation(const QString& name, work operation, const QString& group = QString());
    // Drops the waiting operations and asks the running one to stop.
    void cancelAllOperations();
    // The same for the operations of `group` only.
    void cancelOperationsOf(const QString& group);
    // Blocks until every operation added so far has run (or was dropped).
    void waitForAllOperations();
    // The names of the running operation and of those waiting, in the order they run.
    QStringList operations() const;

private:
    struct operation {
        QString name;
        QString group;
        work run;
        std::atomic<bool> cancelled{false};
    };

    void runOperations();

    std::function<void()> operationsChanged_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_; // no operation running or waiting
    std::deque<std::unique_ptr<operation>> waiting_;
    // Owned by the worker while it runs; only its flag and name are touched from outside.
    operation* running_ = nullptr;
    bool stopping_ = false;
    std::unique_ptr<QThread> thread_;
};
