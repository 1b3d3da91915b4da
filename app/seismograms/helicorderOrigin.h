#pragma once

#include "QVRHelicorderHypocenter.h"
#include "seismicOrigin.h"

#include <memory>

// An origin record as an earthquake the helicorder marks: its origin time and, of its magnitude
// records, the largest of type mb, of type Ms and of a type starting with Mw (types compared
// without regard to case), each 0 when it has none. Read from the record each time.
//
// Most catalogues give none of the three: the EMSC and INGV lists carry no magnitude records,
// and local events come as ML or Md. Such an origin answers the magnitude the event table
// shows as its mb, so that the events of every catalogue are marked by their size.
class helicorderOrigin : public QVRHelicorderHypocenter {
public:
    explicit helicorderOrigin(std::shared_ptr<seismicOrigin> origin)
        : origin_(std::move(origin)) {}

    QDateTime oDate() const override { return origin_->originDateTime(); }
    float mb() const override;
    float Ms() const override;
    float Mw() const override;

private:
    enum class match { exactly, startingWith };
    float largestOfType(const QString& type, match how) const;

    std::shared_ptr<seismicOrigin> origin_;
};
