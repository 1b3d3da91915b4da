#include "SacObject.h"
#include "butterworthFilter.h"
#include "butterworthStream.h"

#include <QFile>

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace {

struct referenceCase {
    bool highPass = false;
    float corner = 0;
    int passes = 0;
    int poles = 0;
    std::vector<double> samples;
};

// Reads the SciPy output that tools/makeFilterReference.py wrote.
std::vector<referenceCase> readReference() {
    QFile f(QStringLiteral(QUORVEL_TEST_DATA "/sac/filter_reference.txt"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text));
    std::vector<referenceCase> cases;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine().trimmed();
        if (line.startsWith('#') || line.isEmpty())
            continue;
        if (line.startsWith("case ")) {
            const QList<QByteArray> w = line.split(' ');
            referenceCase c;
            c.highPass = w.at(1) == "highpass";
            c.corner = w.at(2).toFloat();
            c.passes = w.at(3).toInt();
            c.poles = w.at(4).toInt();
            cases.push_back(c);
        } else {
            cases.back().samples.push_back(line.toDouble());
        }
    }
    return cases;
}

} // namespace

TEST(ButterworthFilter, MatchesSciPyForCausalAndZeroPhaseFilters) {
    const std::vector<referenceCase> cases = readReference();
    ASSERT_EQ(cases.size(), 7u);
    for (const referenceCase& c : cases) {
        SacObject s;
        ASSERT_TRUE(
            s.InitWithContentsOfFile(QStringLiteral(QUORVEL_TEST_DATA "/sac/obspy_seism.sac")));
        const bool ok = c.highPass ? s.HPBUfilter(c.corner, c.passes, c.poles)
                                   : s.LPBUfilter(c.corner, c.passes, c.poles);
        ASSERT_TRUE(ok);
        ASSERT_EQ(size_t(s.npts()), c.samples.size());
        double scale = 0;
        for (double v : c.samples)
            scale = std::max(scale, std::fabs(v));
        double worst = 0;
        for (int i = 0; i < s.npts(); ++i)
            worst = std::max(worst,
                             std::fabs(double(s.GetSacSeis()[i]) - c.samples[size_t(i)]) / scale);
        EXPECT_LT(worst, 1e-4) << (c.highPass ? "high" : "low") << " pass " << c.corner << " Hz, "
                               << c.passes << " passes, " << c.poles << " poles";
    }
}

TEST(ButterworthFilter, CornersOutsideTheBandLeaveTheTraceUnchanged) {
    SacObject s;
    ASSERT_TRUE(s.InitWithContentsOfFile(QStringLiteral(QUORVEL_TEST_DATA "/sac/obspy_seism.sac")));
    const std::vector<float> before(s.GetSacSeis(), s.GetSacSeis() + s.npts());
    // Sampled at 100 Hz: Nyquist is 50 Hz.
    EXPECT_FALSE(s.HPBUfilter(50.0f, 1, 4));
    EXPECT_FALSE(s.LPBUfilter(80.0f, 2, 4));
    EXPECT_FALSE(s.LPBUfilter(0.0f, 1, 4));
    EXPECT_FALSE(s.HPBUfilter(-1.0f, 1, 4));
    EXPECT_FALSE(s.HPBUfilter(std::nanf(""), 1, 4));
    EXPECT_FALSE(s.HPBUfilter(1.0f, 1, 0));
    EXPECT_FALSE(s.HPBUfilter(1.0f, 1, 11));
    EXPECT_EQ(std::vector<float>(s.GetSacSeis(), s.GetSacSeis() + s.npts()), before);
}

TEST(ButterworthFilter, HasUnitGainInItsPassBand) {
    // A low pass keeps a constant; a high pass removes it and keeps an alternating signal.
    for (int poles = 1; poles <= butterworthFilter::maximumPoles; ++poles) {
        std::vector<float> constant(4000, 1.0f);
        auto low = butterworthFilter::design(butterworthFilter::kind::lowPass, 2.0, 0.01, poles);
        butterworthFilter::apply(low, constant.data(), qsizetype(constant.size()), 1);
        EXPECT_NEAR(constant.back(), 1.0f, 1e-4) << poles;

        std::vector<float> alternating(4000);
        for (size_t i = 0; i < alternating.size(); ++i)
            alternating[i] = i % 2 ? 1.0f : -1.0f;
        auto high = butterworthFilter::design(butterworthFilter::kind::highPass, 2.0, 0.01, poles);
        butterworthFilter::apply(high, alternating.data(), qsizetype(alternating.size()), 2);
        EXPECT_NEAR(std::fabs(alternating[2000]), 1.0f, 1e-3) << poles;
    }
}

namespace {

// The cascade sample by sample, as the filter is defined: transposed direct form II from rest,
// the second pass over the reversed result.
std::vector<double> directCascade(const std::vector<butterworthFilter::section>& sections,
                                  std::vector<double> x, int passes) {
    for (int pass = 0; pass < passes; ++pass) {
        if (pass == 1)
            std::reverse(x.begin(), x.end());
        for (const butterworthFilter::section& c : sections) {
            double z1 = 0, z2 = 0;
            for (double& v : x) {
                const double y = c.b0 * v + z1;
                z1 = c.b1 * v - c.a1 * y + z2;
                z2 = c.b2 * v - c.a2 * y;
                v = y;
            }
        }
        if (pass == 1)
            std::reverse(x.begin(), x.end());
    }
    return x;
}

} // namespace

TEST(ButterworthFilter, MatchesTheDirectCascadeAtTheEndsAndOnShortSignals) {
    // The filter pipelines its sections, so the first and last samples, and signals shorter
    // than the pipeline, are where it could go wrong.
    std::vector<float> signal(300);
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] = float(std::sin(0.37 * double(i)) + 0.5 * std::cos(2.9 * double(i)) + 0.2);
    for (int poles = 1; poles <= butterworthFilter::maximumPoles; ++poles)
        for (const auto kind :
             {butterworthFilter::kind::lowPass, butterworthFilter::kind::highPass})
            for (const int passes : {1, 2})
                for (const qsizetype count : {1, 2, 3, 5, 6, 7, 11, 300}) {
                    const auto sections = butterworthFilter::design(kind, 7.0, 0.01, poles);
                    std::vector<float> filtered(signal.begin(), signal.begin() + count);
                    butterworthFilter::apply(sections, filtered.data(), count, passes);
                    const std::vector<double> expected = directCascade(
                        sections, std::vector<double>(signal.begin(), signal.begin() + count),
                        passes);
                    for (qsizetype i = 0; i < count; ++i)
                        ASSERT_NEAR(filtered[size_t(i)], expected[size_t(i)],
                                    1e-6 * (1 + std::fabs(expected[size_t(i)])))
                            << poles << " poles, " << passes << " passes, " << count
                            << " samples, sample " << i;
                }
    // Nothing to filter is no error.
    butterworthFilter::apply(
        butterworthFilter::design(butterworthFilter::kind::lowPass, 7.0, 0.01, 4), nullptr, 0, 2);
}

TEST(ButterworthStream, GivesOnePassOverTheWholeHoweverThePacketsAreCut) {
    SacObject s;
    ASSERT_TRUE(s.InitWithContentsOfFile(QStringLiteral(QUORVEL_TEST_DATA "/sac/obspy_seism.sac")));
    const std::vector<float> signal(s.GetSacSeis(), s.GetSacSeis() + s.npts());
    // The causal cases of the SciPy reference: a stream cut into packets of any sizes gives
    // the reference's one pass over the whole.
    for (const referenceCase& c : readReference()) {
        if (c.passes != 1)
            continue;
        const auto kind =
            c.highPass ? butterworthFilter::kind::highPass : butterworthFilter::kind::lowPass;
        std::vector<float> whole = signal;
        butterworthStream(kind, c.corner, s.delta(), c.poles)
            .process(whole.data(), qsizetype(whole.size()));
        double scale = 0, worst = 0;
        for (double v : c.samples)
            scale = std::max(scale, std::fabs(v));
        for (size_t i = 0; i < whole.size(); ++i)
            worst = std::max(worst, std::fabs(double(whole[i]) - c.samples[i]) / scale);
        EXPECT_LT(worst, 1e-4) << c.corner << " Hz, " << c.poles << " poles";

        // Packets of one sample, of a record's few hundred, of sizes that vary, and one empty.
        const std::vector<std::vector<qsizetype>> cuttings = {
            {1}, {412}, {1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144}, {0, 999, 7}};
        for (const std::vector<qsizetype>& sizes : cuttings) {
            std::vector<float> packets = signal;
            butterworthStream stream(kind, c.corner, s.delta(), c.poles);
            qsizetype at = 0;
            for (size_t k = 0; at < qsizetype(packets.size()); ++k) {
                const qsizetype n =
                    std::min(sizes[k % sizes.size()], qsizetype(packets.size()) - at);
                stream.process(packets.data() + at, n);
                at += n;
            }
            EXPECT_EQ(packets, whole) << c.corner << " Hz, packets of " << sizes.front();
        }
    }
}

TEST(ButterworthStream, PassesThroughWithoutAFilterAndStartsAgainAtRest) {
    const std::vector<float> signal = {3.0f, -1.0f, 4.0f, 1.0f, -5.0f, 9.0f};
    // A corner at the Nyquist frequency makes no filter: the samples pass unchanged.
    butterworthStream none(butterworthFilter::kind::lowPass, 50.0, 0.01, 4);
    EXPECT_FALSE(none.isFiltering());
    std::vector<float> passed = signal;
    none.process(passed.data(), qsizetype(passed.size()));
    EXPECT_EQ(passed, signal);

    butterworthStream stream(butterworthFilter::kind::highPass, 1.0, 0.01, 2);
    EXPECT_TRUE(stream.isFiltering());
    std::vector<float> first = signal, again = signal;
    stream.process(first.data(), qsizetype(first.size()));
    stream.reset();
    stream.process(again.data(), qsizetype(again.size()));
    EXPECT_EQ(again, first);
    EXPECT_NE(first, signal);
}
