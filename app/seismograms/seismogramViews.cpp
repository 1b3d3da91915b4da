#include "seismogramViews.h"

#include "MultiSeisView.h"
#include "SeisView01.h"
#include "SeisView02.h"
#include "ThreeCompView.h"
#include "evenlySampledSignal.h"
#include "eventSectionView.h"
#include "groundMotionUnits.h"
#include "seismogramClock.h"
#include "spectrogram.h"
#include "spectrogramView.h"
#include "threeComponents.h"
#include "uniformTimeSeriesView.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace seismogramViews {

const QList<kind>& allKinds() {
    static const QList<kind> kinds = {kind::overlay,      kind::panels,     kind::section,
                                      kind::eventSection, kind::helicorder, kind::threeComponents,
                                      kind::uniform,      kind::spectrogram};
    return kinds;
}

QString title(kind k) {
    switch (k) {
    case kind::overlay:
        return QStringLiteral("Overlay");
    case kind::panels:
        return QStringLiteral("Panels");
    case kind::section:
        return QStringLiteral("Record section");
    case kind::eventSection:
        return QStringLiteral("Event record section");
    case kind::helicorder:
        return QStringLiteral("Helicorder");
    case kind::threeComponents:
        return QStringLiteral("Three components");
    case kind::uniform:
        return QStringLiteral("Uniform");
    case kind::spectrogram:
        return QStringLiteral("Spectrogram");
    }
    return {};
}

namespace {

// Each kind's --render word, in the order of allKinds(); "stack" is another word for overlay.
const QList<std::pair<QString, kind>>& commandWords() {
    static const QList<std::pair<QString, kind>> names = {
        {QStringLiteral("overlay"), kind::overlay},
        {QStringLiteral("panels"), kind::panels},
        {QStringLiteral("section"), kind::section},
        {QStringLiteral("event-section"), kind::eventSection},
        {QStringLiteral("helicorder"), kind::helicorder},
        {QStringLiteral("threecomp"), kind::threeComponents},
        {QStringLiteral("uniform"), kind::uniform},
        {QStringLiteral("spectrogram"), kind::spectrogram},
        {QStringLiteral("stack"), kind::overlay}};
    return names;
}

} // namespace

std::optional<kind> kindForCommandName(const QString& name) {
    for (const auto& [word, k] : commandWords())
        if (word == name)
            return k;
    return std::nullopt;
}

QStringList commandNames() {
    QStringList words;
    for (const kind k : allKinds()) {
        for (const auto& [word, named] : commandWords()) {
            if (named == k) {
                words.append(word);
                break;
            }
        }
    }
    return words;
}

bool hasGain(kind k) {
    return k == kind::section || k == kind::eventSection || k == kind::helicorder;
}

bool hasZeroLines(kind k) {
    return k == kind::section || k == kind::eventSection || k == kind::helicorder;
}

bool hasFixedRanges(kind k) {
    return k == kind::overlay || k == kind::panels || k == kind::uniform;
}

bool hasAlignment(kind k) {
    return k == kind::overlay || k == kind::panels || k == kind::uniform;
}

bool hasTravelTimeCurves(kind k) {
    return k == kind::eventSection;
}

QStringList defaultSectionPhases() {
    return eventSectionView::defaultPhases();
}

QString title(timeAlignment a) {
    return a == timeAlignment::commonClock ? QStringLiteral("common clock")
                                           : QStringLiteral("start of each file");
}

timeAlignment alignmentFor(const settings& how,
                           const QList<std::shared_ptr<SacObject>>& seismograms) {
    if (how.alignment)
        return *how.alignment;
    std::vector<const SacObject*> traces;
    for (const auto& s : seismograms)
        traces.push_back(s.get());
    return seismogramClock::overlapInTime(traces) ? timeAlignment::commonClock
                                                  : timeAlignment::eachFile;
}

float defaultGain(kind k) {
    switch (k) {
    case kind::section:
        return MultiSeisView().plotGainFactor();
    case kind::eventSection:
        return eventSectionView::defaultGain;
    case kind::helicorder:
        return helicorderView().gainFactor();
    default:
        return 1.0f;
    }
}

namespace {

using traceList = QList<std::shared_ptr<const SacObject>>;

const QString timeTitle = QStringLiteral("Time (s)");

// The units of the traces' samples, when they share them.
QString amplitudeTitle(const traceList& traces) {
    QString title;
    for (const auto& s : traces) {
        const QString own = groundMotionUnits::amplitudeTitle(s->GetSacHeader());
        if (!title.isNull() && own != title)
            return QStringLiteral("Amplitude");
        title = own;
    }
    return title;
}

// The fixed limits of `how` on a view that honours them.
void fixRanges(QVRView& view, const settings& how) {
    view.set_fixedXAxisRange(how.fixedTime.has_value());
    if (how.fixedTime)
        view.setXLimits(how.fixedTime->first, how.fixedTime->second);
    view.set_fixedYAxisRange(how.fixedAmplitude.has_value());
    if (how.fixedAmplitude)
        view.setYLimits(how.fixedAmplitude->first, how.fixedAmplitude->second);
}

std::unique_ptr<QVRView> uniformView(const traceList& traces, bool commonClock,
                                     const settings& how) {
    std::vector<const SacObject*> files;
    for (const auto& s : traces)
        files.push_back(s.get());
    // Without a common clock each signal starts at 0, at its own first sample.
    const QDateTime clockStart = commonClock ? seismogramClock::earliestStart(files) : QDateTime();
    const std::vector<double> shifts = seismogramClock::shifts(files, clockStart);
    uniformTimeSeriesView::signalList signalsToShow;
    QList<QDateTime> starts;
    double earliest = 0, latest = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const SacObject& s = *files[i];
        const float* samples = s.GetSacSeis();
        auto signal = std::make_shared<evenlySampledSignal>(
            std::vector<float>(samples, samples + s.npts()), double(s.delta()), s.labelString());
        const double begin = commonClock ? shifts[i] + s.b() : 0.0;
        signal->setBegin(begin);
        signalsToShow.append(signal);
        const QDateTime first = s.firstSampleTime();
        starts.append(first.isValid() ? first.addMSecs(-qint64(std::llround(begin * 1000.0)))
                                      : QDateTime());
        const double end = begin + double(s.delta()) * std::max(0, s.npts() - 1);
        earliest = i == 0 ? begin : std::min(earliest, begin);
        latest = i == 0 ? end : std::max(latest, end);
    }
    auto uniform = std::make_unique<uniformTimeSeriesView>();
    // The view takes its time axis from its client and its amplitude range from the first
    // signal, unless both are fixed here.
    uniform->setXLimits(float(earliest), float(std::max(latest, earliest + 1.0)));
    fixRanges(*uniform, how);
    uniform->setWvfrmArray(signalsToShow);
    uniform->setAxisStarts(starts);
    return uniform;
}

// The first seismogram's spectrogram.
std::unique_ptr<QVRView> spectrogramOfFirst(const traceList& traces, const settings& how) {
    auto view = std::make_unique<spectrogramView>();
    view->setFrequencyScale(how.logFrequency ? spectrogramView::frequencyAxis::logarithmic
                                             : spectrogramView::frequencyAxis::linear);
    if (traces.isEmpty() || !traces.first())
        return view;
    const SacObject& first = *traces.first();
    const spectrogram::parameters window{how.spectrogramWindow, how.spectrogramOverlap};
    view->setSpectrogram(traces.first(),
                         std::make_shared<const spectrogram>(first.GetSacSeis(), first.npts(),
                                                             double(first.delta()), window));
    return view;
}

} // namespace

QVRResult<std::unique_ptr<QVRView>>
make(kind k, const QList<std::shared_ptr<SacObject>>& seismograms, const settings& how) {
    traceList traces(seismograms.begin(), seismograms.end());
    const float gain = how.gain.value_or(defaultGain(k));
    const bool commonClock = alignmentFor(how, seismograms) == timeAlignment::commonClock;
    switch (k) {
    case kind::panels: {
        auto panels = std::make_unique<SeisView02>();
        panels->setplotStyle(SeisView02::panelStyle);
        panels->setCommonClock(commonClock);
        panels->setXLabelString(timeTitle);
        panels->setYLabelString(amplitudeTitle(traces));
        fixRanges(*panels, how);
        // The user's picks go into the seismograms shown.
        panels->setPickableSeismograms(seismograms);
        return std::unique_ptr<QVRView>(std::move(panels));
    }
    case kind::section: {
        // Nearest first, as a record section reads.
        std::stable_sort(traces.begin(), traces.end(),
                         [](const auto& a, const auto& b) { return a->gcarc() < b->gcarc(); });
        auto section = std::make_unique<MultiSeisView>();
        section->setPlotGainFactor(gain);
        section->setShowZeroLine(how.zeroLines);
        section->setXLabelString(timeTitle);
        section->setWvfrmsArray(traces);
        return std::unique_ptr<QVRView>(std::move(section));
    }
    case kind::eventSection: {
        auto section = std::make_unique<eventSectionView>();
        section->setGain(gain);
        section->setShowZeroLine(how.zeroLines);
        section->setPhases(how.phases);
        section->setModelName(how.model);
        section->setWvfrmsArray(seismograms);
        section->setReductionVelocity(how.reductionVelocity);
        return std::unique_ptr<QVRView>(std::move(section));
    }
    case kind::helicorder: {
        std::stable_sort(traces.begin(), traces.end(), [](const auto& a, const auto& b) {
            return a->firstSampleTime() < b->firstSampleTime();
        });
        auto helicorder = std::make_unique<helicorderView>();
        helicorder->setRowDuration(float(how.rowMinutes) * 60.0f);
        helicorder->setNRows(how.rows);
        helicorder->setPlotDuration(double(how.rowMinutes) * 60.0 * how.rows);
        helicorder->setGainFactor(gain);
        helicorder->setShowZeroLines(how.zeroLines);
        helicorder->setMagThreshold(how.magnitudeThreshold);
        helicorder->setTheHypoArray(how.hypocenters);
        helicorder->setWvfrmArray(traces);
        return std::unique_ptr<QVRView>(std::move(helicorder));
    }
    case kind::threeComponents: {
        const auto observation = threeComponents::fromSeismograms(seismograms);
        if (!observation)
            return QVRResult<std::unique_ptr<QVRView>>::failureOf(observation);
        auto components = std::make_unique<ThreeCompView>();
        components->setObservation(*observation);
        return std::unique_ptr<QVRView>(std::move(components));
    }
    case kind::uniform:
        return uniformView(traces, commonClock, how);
    case kind::spectrogram:
        return spectrogramOfFirst(traces, how);
    case kind::overlay:
        break;
    }
    auto overlay = std::make_unique<SeisView01>();
    overlay->setXLabelString(timeTitle);
    overlay->setYLabelString(amplitudeTitle(traces));
    overlay->setCommonClock(commonClock);
    fixRanges(*overlay, how);
    overlay->setWvfrmsArray(traces);
    return std::unique_ptr<QVRView>(std::move(overlay));
}

} // namespace seismogramViews
