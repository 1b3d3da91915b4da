#pragma once

#include <QString>

#include <optional>
#include <utility>

// The outcome of work that can fail: a value, or the text of the error that kept it from being
// made. Downloads, catalogue reads and file reads all answer with one, so that every caller
// tells success from failure the same way and always has a reason to log.
template <typename T>
class QVRResult {
public:
    QVRResult(T value)
        : value_(std::move(value)) {}

    // A failure; an empty text still counts as a failure, with a generic reason. `code` is an
    // optional number the caller may act on (an HTTP status, say); 0 when there is none.
    static QVRResult failure(QString error, int code = 0) {
        QVRResult r;
        r.error_ = error.isEmpty() ? QStringLiteral("unknown error") : std::move(error);
        r.errorCode_ = code;
        return r;
    }

    // Carries another result's failure over to this value type.
    template <typename U>
    static QVRResult failureOf(const QVRResult<U>& other) {
        return failure(other.error(), other.errorCode());
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    // The value; only for a success.
    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    const T* operator->() const { return &*value_; }
    T valueOr(T fallback) const { return value_ ? *value_ : std::move(fallback); }

    // Null text for a success.
    const QString& error() const { return error_; }
    int errorCode() const { return errorCode_; }

private:
    QVRResult() = default;

    std::optional<T> value_;
    QString error_;
    int errorCode_ = 0;
};

// The outcome of work that makes no value: success, or the text of the error.
template <>
class QVRResult<void> {
public:
    static QVRResult success() { return QVRResult(); }
    static QVRResult failure(QString error, int code = 0) {
        QVRResult r;
        r.error_ = error.isEmpty() ? QStringLiteral("unknown error") : std::move(error);
        r.errorCode_ = code;
        return r;
    }

    bool ok() const { return error_.isNull(); }
    explicit operator bool() const { return ok(); }
    const QString& error() const { return error_; }
    int errorCode() const { return errorCode_; }

private:
    QVRResult() = default;

    QString error_;
    int errorCode_ = 0;
};
