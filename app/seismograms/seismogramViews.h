#pragma once

#include "QVRResult.h"
#include "QVRView.h"
#include "SacObject.h"
#include "helicorderView.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>

// The seismogram views a user can choose, built from a list of seismograms the same way for the
// Seismograms window and for the command line's pictures.
namespace seismogramViews {

// The window keeps the user's choice as the kind's number: a new kind comes last.
enum class kind {
    overlay,
    panels,
    section,
    helicorder,
    threeComponents,
    uniform,
    eventSection,
    spectrogram
};

// The kinds in the order the window offers them.
const QList<kind>& allKinds();
// "Overlay", "Panels", "Record section", "Event record section", "Helicorder", "Three
// components", "Uniform", "Spectrogram".
QString title(kind k);
// The --render word: overlay (or stack), panels, section, event-section, helicorder,
// threecomp, uniform, spectrogram.
std::optional<kind> kindForCommandName(const QString& name);
// The --render words, one for each kind, in the order of allKinds().
QStringList commandNames();

// What a view has of the adjustable settings.
bool hasGain(kind k);
bool hasZeroLines(kind k);
bool hasFixedRanges(kind k);
// The view's own gain: the record section's 1.5, the event record section's 1 and the
// helicorder's 8; 1 for the others.
float defaultGain(kind k);
// Whether the view lays several files on one time axis that they may share or not.
bool hasAlignment(kind k);
// Whether the view draws travel-time curves, and so takes a reduction velocity, phases and a
// model.
bool hasTravelTimeCurves(kind k);

// Each trace's time counted from its own file's reference, or every trace on one clock.
enum class timeAlignment { eachFile, commonClock };
// "start of each file", "common clock".
QString title(timeAlignment a);

// P, S, PP, SS, PKIKP and SKS: the phases a record section is read by.
QStringList defaultSectionPhases();

struct settings {
    std::optional<float> gain; // the view's default when unset
    bool zeroLines = false;
    // Time (s) and amplitude limits that stay put, where the view has fixed ranges.
    std::optional<std::pair<float, float>> fixedTime, fixedAmplitude;
    // Unset: the common clock when the files overlap in time.
    std::optional<timeAlignment> alignment;
    // The helicorder's rows, and the earthquakes it marks at or above the threshold.
    int rowMinutes = 60;
    int rows = 24;
    float magnitudeThreshold = 4.0f;
    helicorderView::hypocenterList hypocenters;
    // The spectrogram's frequency axis, window length (samples; 0 for its default) and overlap.
    bool logFrequency = false;
    int spectrogramWindow = 0;
    double spectrogramOverlap = 0.5;
    // The event record section's reduction velocity (km/s; 0 reduces nothing), the phases whose
    // curves it draws (names of travelTimeCalculator::phaseNames()) and their Earth model.
    float reductionVelocity = 0;
    QStringList phases = defaultSectionPhases();
    QString model = QStringLiteral("ak135");
};

// The alignment `how` asks for, or, when it asks for none, the common clock for seismograms
// that overlap in time and each file's own clock for the others.
timeAlignment alignmentFor(const settings& how,
                           const QList<std::shared_ptr<SacObject>>& seismograms);

// A view of kind `k` showing `seismograms` (already processed): a record section ordered by
// distance, nearest first; an event record section of those with an event and an origin
// time, each at its distance; a helicorder of the records in time order; the three components of
// the files, which should be one station's; the spectrogram of the first seismogram. Fails only
// when the files hold no three components.
QVRResult<std::unique_ptr<QVRView>>
make(kind k, const QList<std::shared_ptr<SacObject>>& seismograms, const settings& how);

} // namespace seismogramViews
