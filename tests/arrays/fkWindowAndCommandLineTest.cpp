#include "arrayAnalysisController.h"
#include "commandLineRun.h"
#include "qvrFKImageView.h"
#include "syntheticArray.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace {

// The array's seismograms as SAC files, and the arguments naming them.
QStringList writtenArray(const QTemporaryDir& folder, const syntheticArray::wave& w) {
    QStringList files;
    int i = 0;
    for (const auto& s : syntheticArray::seismograms(w)) {
        const QString path = folder.filePath(QStringLiteral("S%1.sac").arg(++i));
        EXPECT_TRUE(s->WriteSacFile(path));
        files << path;
    }
    return files;
}

QStringList fkArguments(const QStringList& files) {
    return QStringList{QStringLiteral("--fk"), QStringLiteral("--sac")} + files +
           QStringList{QStringLiteral("--window"), QStringLiteral("3"),   QStringLiteral("20"),
                       QStringLiteral("--band"),   QStringLiteral("0.8"), QStringLiteral("3")};
}

} // namespace

TEST(FKCommandLine, PrintsThePeakAndTheGrid) {
    QTemporaryDir folder;
    const QStringList files = writtenArray(folder, {0, 10, 0.0});
    const commandLineRun peak = runQuorvel(fkArguments(files) + QStringList{"--print", "peak"});
    ASSERT_EQ(peak.status, 0) << peak.err.toStdString();
    const QStringList lines = peak.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines.at(0), QStringLiteral("slowness_east 0.0000"));
    EXPECT_EQ(lines.at(1), QStringLiteral("slowness_north -0.1000"));
    EXPECT_EQ(lines.at(2), QStringLiteral("back_azimuth 0.00"));
    EXPECT_EQ(lines.at(3), QStringLiteral("apparent_velocity 10.000"));
    EXPECT_TRUE(lines.at(4).startsWith(QStringLiteral("relative_power 0.999")))
        << lines.at(4).toStdString();

    const commandLineRun grid =
        runQuorvel(fkArguments(files) + QStringList{"--slowness-max", "0.2", "--slowness-step",
                                                    "0.02", "--print", "grid"});
    ASSERT_EQ(grid.status, 0) << grid.err.toStdString();
    const QStringList points = grid.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(points.size(), 21 * 21);
    EXPECT_TRUE(points.first().startsWith(QStringLiteral("-0.2000 -0.2000 0.")));
    EXPECT_TRUE(points.last().startsWith(QStringLiteral("0.2000 0.2000 0.")));
    // The peak's node, (0, -0.1): row 5, column 10.
    const QStringList node = points.at(5 * 21 + 10).split(u' ');
    EXPECT_EQ(node.at(0), QStringLiteral("0.0000"));
    EXPECT_EQ(node.at(1), QStringLiteral("-0.1000"));
    EXPECT_GT(node.at(2).toDouble(), 0.99);
}

TEST(FKCommandLine, RefusesBadInput) {
    QTemporaryDir folder;
    const QStringList files = writtenArray(folder, {128, 8});
    const QString notSac = folder.filePath(QStringLiteral("notes.sac"));
    QFile text(notSac);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("station list, not a seismogram\n");
    text.close();

    const commandLineRun unreadable = runQuorvel(
        fkArguments(files.mid(0, 3) + QStringList{notSac}) + QStringList{"--print", "peak"});
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_TRUE(unreadable.err.contains(
        notSac + QStringLiteral(" is not a SAC seismogram or miniSEED file: ")))
        << unreadable.err.toStdString();

    const commandLineRun two =
        runQuorvel(fkArguments(files.mid(0, 2)) + QStringList{"--print", "peak"});
    EXPECT_EQ(two.status, 2);
    EXPECT_TRUE(two.err.contains(QStringLiteral("at least 3"))) << two.err.toStdString();

    for (const QStringList& bad :
         {QStringList{"--fk", "--sac", files.at(0), "--print", "peak"},
          fkArguments(files) + QStringList{"--print", "beam"}, fkArguments(files),
          fkArguments(files) + QStringList{"--render", "fk", "--output", "fk.gif"},
          QStringList{"--fk", "--sac", files.at(0), files.at(1), files.at(2), "--window", "3",
                      "--print", "peak"},
          QStringList{"--sac", files.at(0), "--window", "3", "20", "--print", "header"}}) {
        const commandLineRun run = runQuorvel(bad);
        EXPECT_EQ(run.status, 2) << bad.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
}

TEST(FKCommandLine, RendersThePicture) {
    QTemporaryDir folder;
    const QStringList files = writtenArray(folder, {221, 6.3});
    const QString picture = folder.filePath(QStringLiteral("fk.png"));
    const commandLineRun run =
        runQuorvel(fkArguments(files) +
                   QStringList{"--render", "fk", "--output", picture, "--size", "500x460"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QImage image(picture);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(500, 460));
}

TEST(ArrayAnalysisWindow, ComputesAndNamesRefusals) {
    arrayAnalysisController controller;
    QWidget* window = controller.window();
    ASSERT_NE(window, nullptr);
    auto* message = window->findChild<QLabel*>(QStringLiteral("messageLabel"));
    auto* compute = window->findChild<QPushButton*>(QStringLiteral("computeButton"));
    auto* backAzimuth = window->findChild<QLabel*>(QStringLiteral("backAzimuthLabel"));
    auto* velocity = window->findChild<QLabel*>(QStringLiteral("apparentVelocityLabel"));
    auto* view = window->findChild<qvrFKImageView*>();
    ASSERT_TRUE(message && compute && backAzimuth && velocity && view);

    const auto array = syntheticArray::seismograms({306, 11.5});
    controller.setSeismograms(array.mid(0, 2));
    EXPECT_TRUE(message->text().contains(QStringLiteral("at least 3")));
    QTest::mouseClick(compute, Qt::LeftButton);
    EXPECT_TRUE(message->text().contains(QStringLiteral("at least 3")));
    EXPECT_EQ(backAzimuth->text(), QStringLiteral("–"));

    controller.setSeismograms(array);
    EXPECT_TRUE(message->text().isEmpty());
    window->findChild<QDoubleSpinBox*>(QStringLiteral("windowStartField"))->setValue(3);
    window->findChild<QDoubleSpinBox*>(QStringLiteral("minFrequencyField"))->setValue(0.8);
    window->findChild<QDoubleSpinBox*>(QStringLiteral("maxFrequencyField"))->setValue(3);
    QTest::mouseClick(compute, Qt::LeftButton);
    EXPECT_TRUE(message->text().isEmpty()) << message->text().toStdString();
    const double shownBackAzimuth = backAzimuth->text().chopped(1).toDouble();
    EXPECT_NEAR(shownBackAzimuth, 306, 5);
    EXPECT_TRUE(velocity->text().endsWith(QStringLiteral(" km/s")));
    EXPECT_EQ(view->nr(), 101);
    EXPECT_EQ(view->nc(), 101);
    // The wave comes from the north-west and travels south-east: the picture's strongest power
    // lies below and right of its centre (row 0 is north, column 0 west).
    const std::vector<float>& power = *view->imageFloats();
    const auto strongest =
        std::distance(power.begin(), std::max_element(power.begin(), power.end()));
    EXPECT_GT(strongest / view->nc(), 50);
    EXPECT_GT(strongest % view->nc(), 50);

    // A window past the data is named; the last result stays on show.
    window->findChild<QDoubleSpinBox*>(QStringLiteral("windowStartField"))->setValue(55);
    QTest::mouseClick(compute, Qt::LeftButton);
    EXPECT_TRUE(message->text().contains(QStringLiteral("outside the data")));
    EXPECT_NEAR(backAzimuth->text().chopped(1).toDouble(), 306, 5);
}
