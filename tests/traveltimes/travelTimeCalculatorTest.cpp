#include "travelTimeCalculator.h"
#include "earthModel.h"

#include <QFile>
#include <QMap>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

namespace {

// One line of the reference program's output.
struct referenceArrival {
    double distance, depth;
    QString phase;
    double time, rayParameter, takeoff, incidence;
};

std::vector<referenceArrival> referenceArrivals() {
    QFile f(QStringLiteral(QUORVEL_TEST_DATA "/traveltimes/iasp91_reference_times.txt"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    std::vector<referenceArrival> rows;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> w = line.simplified().split(' ');
        bool ok = w.size() >= 8;
        double v[7] = {};
        for (int c : {0, 1, 3, 4, 5, 6})
            if (ok)
                v[c] = w[c].toDouble(&ok);
        if (ok)
            rows.push_back({v[0], v[1], QString::fromLatin1(w[2]), v[3], v[4], v[5], v[6]});
    }
    return rows;
}

bool computedPhase(const QString& name) {
    return travelTimeCalculator::phaseNames().contains(name) || name == QLatin1String("p") ||
           name == QLatin1String("s");
}

std::vector<seismicArrival> ofPhase(const std::vector<seismicArrival>& all, const QString& name) {
    std::vector<seismicArrival> some;
    std::copy_if(all.begin(), all.end(), std::back_inserter(some),
                 [&](const seismicArrival& a) { return a.phase == name; });
    return some;
}

} // namespace

// Every arrival the reference program gives for iasp91 from sources down to 700 km, of the
// phases computed here: the same branches, each within 0.1 s for P and S (0.3 s for the
// others), with its ray parameter and angles.
TEST(TravelTimeCalculator, MatchesTheReferenceProgramForIasp91) {
    const travelTimeCalculator calculator(*earthModel::named(QStringLiteral("iasp91")));
    std::map<std::tuple<double, double, QString>, std::vector<referenceArrival>> expected;
    int compared = 0;
    for (const referenceArrival& r : referenceArrivals())
        if (r.depth <= 700 && computedPhase(r.phase))
            expected[{r.depth, r.distance, r.phase}].push_back(r);
    ASSERT_EQ(expected.size(), 60u);
    for (const auto& [key, rows] : expected) {
        const auto& [depth, distance, phase] = key;
        SCOPED_TRACE(
            QStringLiteral("%1 at %2 km, %3°").arg(phase).arg(depth).arg(distance).toStdString());
        const auto found = ofPhase(calculator.arrivals(depth, distance), phase);
        ASSERT_EQ(found.size(), rows.size());
        const double tolerance = phase.compare(QLatin1String("P"), Qt::CaseInsensitive) == 0 ||
                                         phase.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0
                                     ? 0.1
                                     : 0.3;
        for (const referenceArrival& r : rows) {
            // The branch of the nearest ray parameter: branches of a triplication can arrive
            // within hundredths of a second of each other.
            const auto a = std::min_element(found.begin(), found.end(), [&](auto& x, auto& y) {
                return std::abs(x.rayParameter - r.rayParameter) <
                       std::abs(y.rayParameter - r.rayParameter);
            });
            EXPECT_NEAR(a->time, r.time, tolerance) << r.rayParameter;
            EXPECT_NEAR(a->rayParameter, r.rayParameter, 0.02);
            EXPECT_EQ(a->distance, distance);
            EXPECT_NEAR(a->pathDistance, distance, 1e-6);
            // The reference gives a grazing ray at no distance angles of 0.
            if (r.time > 0) {
                EXPECT_NEAR(a->takeoffAngle, r.takeoff, 0.1);
                EXPECT_NEAR(a->incidenceAngle, r.incidence, 0.1);
            }
            ++compared;
        }
    }
    EXPECT_EQ(compared, 74);
}

// Without an outside table, for ak135: along every branch the slope of the travel-time curve
// is the ray parameter, and where a triplication closes its two branches meet.
TEST(TravelTimeCalculator, BranchesOfAk135AreConsistentCurves) {
    const travelTimeCalculator calculator(*earthModel::named(QStringLiteral("ak135")));
    const double h = 0.001; // deg
    std::map<std::string, int> closings;
    for (double depth : {0.0, 10.0, 100.0, 300.0, 600.0}) {
        std::map<QString, int> previousCount;
        double previousDistance = 0;
        for (double distance = 1; distance <= 180; distance += 0.5) {
            SCOPED_TRACE(QStringLiteral("%1 km, %2°").arg(depth).arg(distance).toStdString());
            const auto here = calculator.arrivals(depth, distance);
            const auto before = calculator.arrivals(depth, distance - h);
            const auto after = calculator.arrivals(depth, std::min(180.0, distance + h));
            const double span = std::min(180.0, distance + h) - (distance - h);
            std::map<QString, int> count;
            for (const seismicArrival& a : here) {
                ++count[a.phase];
                const auto nearest = [&](const std::vector<seismicArrival>& list) {
                    const seismicArrival* best = nullptr;
                    for (const seismicArrival& b : list)
                        if (b.phase == a.phase &&
                            (b.pathDistance > 180) == (a.pathDistance > 180) &&
                            (!best || std::abs(b.rayParameter - a.rayParameter) <
                                          std::abs(best->rayParameter - a.rayParameter)))
                            best = &b;
                    return best;
                };
                const seismicArrival* b = nearest(before);
                const seismicArrival* c = nearest(after);
                // A branch ending within h of here has no neighbour on one side.
                if (!b || !c || std::abs(b->rayParameter - a.rayParameter) > 0.05 ||
                    std::abs(c->rayParameter - a.rayParameter) > 0.05)
                    continue;
                // The long way round, the time falls as the distance grows.
                const double slope = a.pathDistance > 180 ? -a.rayParameter : a.rayParameter;
                EXPECT_NEAR((c->time - b->time) / span, slope, 2e-3) << a.phase.toStdString();
            }
            // Two branches fewer: a triplication closed between the last distance and this
            // one. Just before it closes, its two last branches are one ray.
            for (const auto& [phase, n] : previousCount) {
                if (count[phase] != n - 2)
                    continue;
                double lo = previousDistance, hi = distance;
                for (int i = 0; i < 40; ++i) {
                    const double mid = (lo + hi) / 2;
                    (int(ofPhase(calculator.arrivals(depth, mid), phase).size()) == n ? lo : hi) =
                        mid;
                }
                auto closing = ofPhase(calculator.arrivals(depth, lo), phase);
                ASSERT_EQ(int(closing.size()), n);
                std::sort(closing.begin(), closing.end(),
                          [](auto& x, auto& y) { return x.rayParameter < y.rayParameter; });
                double closest = 1e9, timeGap = 0;
                for (std::size_t i = 0; i + 1 < closing.size(); ++i) {
                    const double gap = closing[i + 1].rayParameter - closing[i].rayParameter;
                    if (gap < closest) {
                        closest = gap;
                        timeGap = std::abs(closing[i + 1].time - closing[i].time);
                    }
                }
                EXPECT_LT(closest, 0.01) << phase.toStdString() << " closing at " << lo;
                EXPECT_LT(timeGap, 1e-3) << phase.toStdString() << " closing at " << lo;
                closings[phase.toStdString()]++;
            }
            previousCount = count;
            previousDistance = distance;
        }
    }
    // The triplications of the upper mantle's discontinuities, seen from every depth.
    for (const char* phase : {"P", "S", "PP", "SS"})
        EXPECT_GE(closings[phase], 5) << phase;
}

// A mantle of uniform velocity has straight rays: P and S along the chord, PcP down and back.
TEST(TravelTimeCalculator, UniformMantleGivesStraightRays) {
    const QByteArray text = "uniform mantle\nP and S\n"
                            "0 10 5 3\n2871 10 5 3\n2871 8 0 10\n5000 9 0 11\n"
                            "5000 11 3.5 12\n6371 11 3.5 13\n";
    QString error;
    const auto model = earthModel::fromTvel(text, QStringLiteral("uniform"), &error);
    ASSERT_TRUE(model) << error.toStdString();
    EXPECT_EQ(model->surfaceRadius(), 6371);
    EXPECT_EQ(model->coreMantleBoundaryDepth(), 2871);
    EXPECT_EQ(model->innerCoreBoundaryDepth(), 5000);
    const travelTimeCalculator calculator(*model);

    const auto at60 = calculator.arrivals(0, 60, {QStringLiteral("P"), QStringLiteral("S")});
    ASSERT_EQ(at60.size(), 2u);
    EXPECT_EQ(at60[0].phase, QStringLiteral("P"));
    EXPECT_NEAR(at60[0].time, 637.1, 1e-6);          // the chord, 6371 km, at 10 km/s
    EXPECT_NEAR(at60[0].rayParameter, 9.6298, 1e-4); // 6371 cos 30° / 10 s/rad
    EXPECT_NEAR(at60[0].takeoffAngle, 60, 1e-4);
    EXPECT_NEAR(at60[0].incidenceAngle, 60, 1e-4);
    EXPECT_EQ(at60[1].phase, QStringLiteral("S"));
    EXPECT_NEAR(at60[1].time, 1274.2, 1e-6);
    EXPECT_NEAR(at60[1].rayParameter, 19.2596, 1e-4);

    const auto vertical = calculator.arrivals(100, 0, {QStringLiteral("PcP"), QStringLiteral("P")});
    ASSERT_EQ(vertical.size(), 2u);
    EXPECT_EQ(vertical[0].phase, QStringLiteral("p"));
    EXPECT_NEAR(vertical[0].time, 10, 1e-6);
    EXPECT_NEAR(vertical[0].takeoffAngle, 180, 1e-6);
    EXPECT_EQ(vertical[1].phase, QStringLiteral("PcP"));
    EXPECT_NEAR(vertical[1].time, (2771 + 2871) / 10.0, 1e-6);
    EXPECT_NEAR(vertical[1].takeoffAngle, 0, 1e-6);
}

// Sources and distances outside the range, and phases not asked for, give nothing; models
// that are not models are refused with their reason.
TEST(TravelTimeCalculator, RefusesWhatItCannotCompute) {
    const travelTimeCalculator calculator(*earthModel::named(QStringLiteral("ak135")));
    for (const auto& [depth, distance] :
         std::vector<std::pair<double, double>>{{-1, 30},
                                                {700.5, 30},
                                                {std::nan(""), 30},
                                                {100, -0.1},
                                                {100, 180.01},
                                                {100, std::nan("")}})
        EXPECT_TRUE(calculator.arrivals(depth, distance).empty()) << depth << " " << distance;
    EXPECT_FALSE(calculator.arrivals(700, 180).empty());
    EXPECT_TRUE(calculator.arrivals(100, 60, {QStringLiteral("PKKP")}).empty());
    for (const seismicArrival& a :
         calculator.arrivals(100, 60, {QStringLiteral("sS"), QStringLiteral("PcP")}))
        EXPECT_TRUE(a.phase == QStringLiteral("sS") || a.phase == QStringLiteral("PcP"));

    EXPECT_EQ(earthModel::names(),
              QStringList({QStringLiteral("ak135"), QStringLiteral("iasp91")}));
    EXPECT_EQ(earthModel::named(QStringLiteral("prem")), nullptr);
    const earthModel* ak135 = earthModel::named(QStringLiteral("ak135"));
    EXPECT_EQ(ak135->points().size(), 136u);
    EXPECT_EQ(ak135->coreMantleBoundaryDepth(), 2891.5);
    EXPECT_EQ(ak135->innerCoreBoundaryDepth(), 5153.5);
    EXPECT_EQ(earthModel::named(QStringLiteral("iasp91"))->coreMantleBoundaryDepth(), 2889);

    const std::vector<std::pair<QByteArray, QString>> refused = {
        {"a\nb\n", QStringLiteral("fewer than two depths")},
        {"a\nb\n0 5.8 3.4 2.7\n10 6 x 2.8\n", QStringLiteral("line 4 is not four numbers")},
        {"a\nb\n0 5.8 3.4 2.7\n10 6 3.5\n", QStringLiteral("line 4 is not four numbers")},
        {"a\nb\n0 5.8 3.4 2.7\n10 6 3.5 2.8\n5 6 3.5 2.8\n",
         QStringLiteral("line 5: the depths must start at 0 and increase, a discontinuity giving "
                        "one depth twice")},
        {"a\nb\n0 5.8 3.4 2.7\n10 0 3.5 2.8\n",
         QStringLiteral("line 4: a velocity that is not positive")},
        {"a\nb\n0 5.8 3.4 2.7\n6371 6 3.5 2.8\n",
         QStringLiteral("no fluid outer core below a discontinuity")},
        {"a\nb\n0 5.8 3.4 2.7\n3000 6 3.5 2.8\n3000 8 0 10\n6371 9 0 12\n",
         QStringLiteral("no solid inner core below a discontinuity")},
    };
    for (const auto& [text, reason] : refused) {
        QString error;
        EXPECT_FALSE(earthModel::fromTvel(text, QStringLiteral("bad"), &error)) << text.data();
        EXPECT_EQ(error, reason) << text.data();
    }
}
