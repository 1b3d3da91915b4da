#include "seismogramViews.h"

#include "MultiSeisView.h"
#include "SeisView01.h"
#include "SeisView02.h"
#include "ThreeCompView.h"
#include "evenlySampledSignal.h"
#include "eventSectionView.h"
#include "threeComponents.h"
#include "uniformTimeSeriesView.h"

#include <algorithm>
#include <vector>

namespace seismogramViews {

const QList<kind>& allKinds() {
    static const QList<kind> kinds = {kind::overlay,      kind::panels,     kind::section,
                                      kind::eventSection, kind::helicorder, kind::threeComponents,
                                      kind::uniform};
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

// The fixed limits of `how` on a view that honours them.
void fixRanges(QVRView& view, const settings& how) {
    view.set_fixedXAxisRange(how.fixedTime.has_value());
    if (how.fixedTime)
        view.setXLimits(how.fixedTime->first, how.fixedTime->second);
    view.set_fixedYAxisRange(how.fixedAmplitude.has_value());
    if (how.fixedAmplitude)
        view.setYLimits(how.fixedAmplitude->first, how.fixedAmplitude->second);
}

std::unique_ptr<QVRView> uniformView(const traceList& traces, const settings& how) {
    uniformTimeSeriesView::signalList signalsToShow;
    double longest = 0;
    for (const auto& s : traces) {
        const float* samples = s->GetSacSeis();
        signalsToShow.append(
            std::make_shared<evenlySampledSignal>(std::vector<float>(samples, samples + s->npts()),
                                                  double(s->delta()), s->labelString()));
        longest = std::max(longest, double(s->delta()) * std::max(0, s->npts() - 1));
    }
    auto uniform = std::make_unique<uniformTimeSeriesView>();
    // The view takes its time axis from its client and its amplitude range from the first
    // signal, unless both are fixed here.
    uniform->setXLimits(0.0f, float(std::max(longest, 1.0)));
    fixRanges(*uniform, how);
    uniform->setWvfrmArray(signalsToShow);
    return uniform;
}

} // namespace

QVRResult<std::unique_ptr<QVRView>>
make(kind k, const QList<std::shared_ptr<SacObject>>& seismograms, const settings& how) {
    traceList traces(seismograms.begin(), seismograms.end());
    const float gain = how.gain.value_or(defaultGain(k));
    switch (k) {
    case kind::panels: {
        auto panels = std::make_unique<SeisView02>();
        panels->setplotStyle(SeisView02::panelStyle);
        fixRanges(*panels, how);
        panels->setWvfrmsArray(traces);
        return std::unique_ptr<QVRView>(std::move(panels));
    }
    case kind::section: {
        // Nearest first, as a record section reads.
        std::stable_sort(traces.begin(), traces.end(),
                         [](const auto& a, const auto& b) { return a->gcarc() < b->gcarc(); });
        auto section = std::make_unique<MultiSeisView>();
        section->setPlotGainFactor(gain);
        section->setShowZeroLine(how.zeroLines);
        section->setWvfrmsArray(traces);
        return std::unique_ptr<QVRView>(std::move(section));
    }
    case kind::eventSection: {
        auto section = std::make_unique<eventSectionView>();
        section->setGain(gain);
        section->setShowZeroLine(how.zeroLines);
        section->setWvfrmsArray(seismograms);
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
        return uniformView(traces, how);
    case kind::overlay:
        break;
    }
    auto overlay = std::make_unique<SeisView01>();
    overlay->setXLabelString(QStringLiteral("Time (s)"));
    fixRanges(*overlay, how);
    overlay->setWvfrmsArray(traces);
    return std::unique_ptr<QVRView>(std::move(overlay));
}

} // namespace seismogramViews
