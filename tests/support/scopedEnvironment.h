#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Sets an environment variable for the life of a test and restores what was there before. A
// null value unsets the variable for that time.
class scopedEnvironment {
public:
    scopedEnvironment(const char* name, const QString& value)
        : name_(name)
        , hadValue_(qEnvironmentVariableIsSet(name))
        , previous_(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toUtf8());
    }
    ~scopedEnvironment() {
        if (hadValue_)
            qputenv(name_, previous_);
        else
            qunsetenv(name_);
    }
    scopedEnvironment(const scopedEnvironment&) = delete;
    scopedEnvironment& operator=(const scopedEnvironment&) = delete;

private:
    const char* name_;
    bool hadValue_;
    QByteArray previous_;
};
