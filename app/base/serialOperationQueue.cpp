#include "serialOperationQueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

serialOperationQueue::serialOperationQueue(std::function<void()> operationsChanged)
    : operationsChanged_(std::move(operationsChanged)) {}

serialOperationQueue::~serialOperationQueue() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_.clear();
        if (running_)
            running_->cancelled = true;
    }
    wake_.notify_all();
    idle_.notify_all();
    if (thread_)
        thread_->wait();
}

void serialOperationQueue::addOperation(const QString& name, work operation, const QString& group) {
    {
        const std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        auto op = std::make_unique<serialOperationQueue::operation>();
        op->name = name;
        op->group = group;
        op->run = std::move(operation);
        waiting_.push_back(std::move(op));
        if (!thread_) {
            thread_.reset(QThread::create([this] { runOperations(); }));
            thread_->setObjectName(QStringLiteral("serialOperationQueue"));
            thread_->start();
        }
    }
    wake_.notify_one();
    operationsChanged_();
}

void serialOperationQueue::cancelAllOperations() {
    bool changed = false;
    {
        const std::lock_guard lock(mutex_);
        changed = !waiting_.empty();
        waiting_.clear();
        if (running_)
            running_->cancelled = true;
    }
    if (changed) {
        idle_.notify_all();
        operationsChanged_();
    }
}

void serialOperationQueue::cancelOperationsOf(const QString& group) {
    bool changed = false;
    {
        const std::lock_guard lock(mutex_);
        const auto before = waiting_.size();
        std::erase_if(waiting_, [&group](const auto& op) { return op->group == group; });
        changed = waiting_.size() != before;
        if (running_ && running_->group == group)
            running_->cancelled = true;
    }
    if (changed) {
        idle_.notify_all();
        operationsChanged_();
    }
}

void serialOperationQueue::waitForAllOperations() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return stopping_ || (!running_ && waiting_.empty()); });
}

QStringList serialOperationQueue::operations() const {
    const std::lock_guard lock(mutex_);
    QStringList names;
    if (running_)
        names << running_->name;
    for (const auto& op : waiting_)
        names << op->name;
    return names;
}

void serialOperationQueue::runOperations() {
    for (;;) {
        std::unique_ptr<operation> current;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (stopping_)
                return;
            current = std::move(waiting_.front());
            waiting_.pop_front();
            running_ = current.get();
        }
        current->run(current->cancelled);
        // What the operation's event loops left to be deleted (network replies and their
        // helpers) goes now, not when the thread ends: a live display runs for days.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bool report = false;
        {
            const std::lock_guard lock(mutex_);
            running_ = nullptr;
            report = !stopping_;
        }
        idle_.notify_all();
        current.reset();
        if (report)
            operationsChanged_();
    }
}
