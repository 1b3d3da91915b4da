// The Seismograms window as a user meets it: files opened from the menu or dropped on a window,
// the ones that are not seismograms named with the reason, each view of the chooser showing the
// right files, the processing fields applied to what is shown, and the helicorder marked with
// the main window's earthquakes.

#include "MultiSeisView.h"
#include "OrrelinController.h"
#include "SeisView01.h"
#include "SeisView02.h"
#include "ThreeCompView.h"
#include "arrayAnalysisController.h"
#include "eventSectionView.h"
#include "helicorderView.h"
#include "logCapture.h"
#include "qtTestInGoogleTest.h"
#include "saveSacDialog.h"
#include "seismogramFile.h"
#include "seismogramsWindowController.h"
#include "spectrogramView.h"
#include "uniformTimeSeriesView.h"
#include "webViewHolder.h"

#include "ui_mainWindow.h"
#include "ui_seismogramsWindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include <gtest/gtest.h>

namespace {

const QDateTime recordStart(QDate(2026, 12, 8), QTime(10, 37, 12), QTimeZone::utc());

void setCode(char* field, std::size_t size, const char* code) {
    for (std::size_t i = 0; i < size; ++i)
        field[i] = i < std::strlen(code) ? code[i] : ' ';
}

struct channel {
    const char* station;
    const char* component;
    float distance = -12345.0f; // gcarc
    float backAzimuth = -12345.0f;
    QDateTime start = recordStart;
    // Set: the file is of an event at 0°, 0° whose origin lies this long after its start.
    float origin = -12345.0f;
};

class seismogramsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings().clear();
        webViewHolder::setViewsAllowed(false);
        ASSERT_TRUE(folder.isValid());
    }

    // A 20 Hz file of 100 samples, a ramp offset by 50 so that its mean is far from zero.
    QString writeFile(const QString& name, const channel& c) {
        SacObject s;
        std::vector<float> samples(100);
        std::iota(samples.begin(), samples.end(), 50.0f);
        s.InitWithSamples(std::move(samples), 0.05f, 0.0f, c.start);
        SacHeader* h = s.GetSacHeader();
        setCode(h->knetwk, sizeof h->knetwk, "XX");
        setCode(h->kstnm, sizeof h->kstnm, c.station);
        setCode(h->kcmpnm, sizeof h->kcmpnm, c.component);
        h->gcarc = c.distance;
        h->baz = c.backAzimuth;
        if (c.origin != -12345.0f) {
            h->evla = 0;
            h->evlo = 0;
            h->o = c.origin;
        }
        const QString path = folder.filePath(name);
        EXPECT_TRUE(s.WriteSacFile(path));
        return path;
    }

    QString writeText(const QString& name, const QByteArray& text) {
        QFile file(folder.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return file.fileName();
    }

    QTemporaryDir folder;
};

TEST_F(seismogramsWindowTest, OpensSeismogramsNamesTheRefusedAndListsEachHeader) {
    OrrelinController c;
    c.awakeFromNib(OrrelinController::firstLoads::skip);
    Ui::mainWindow& main = c.mainInterface();
    EXPECT_EQ(main.openSeismogramsAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+O")));
    EXPECT_EQ(main.openSeismogramsAction->text(), QStringLiteral("Open Seismograms…"));

    const QString near = writeFile(QStringLiteral("near.sac"), {"NEAR", "BHZ", 10.0f});
    const QString notes = writeText(QStringLiteral("notes.txt"), "not a seismogram\n");
    const QString real = QStringLiteral(QUORVEL_TEST_DATA "/sac/obspy_test.sac");
    logCapture log;
    c.openSeismogramFiles({near, notes, real});

    seismogramsWindowController* window = c.seismograms();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->window()->isVisible());
    Ui::seismogramsWindow& ui = window->interface();
    ASSERT_EQ(ui.fileList->count(), 2);
    EXPECT_EQ(ui.fileList->item(0)->text(),
              QStringLiteral("XX.NEAR..BHZ  2026-12-08 10:37:12.000  20 Hz  100 samples"));
    EXPECT_EQ(ui.fileList->item(1)->text(),
              QStringLiteral(".STA..Q  1978-07-18 08:00:10.000  1 Hz  100 samples"));
    // The refused file is named, with why, in the window and once in the log.
    EXPECT_TRUE(ui.statusLabel->text().contains(QStringLiteral("Could not open notes.txt: ")))
        << qPrintable(ui.statusLabel->text());
    EXPECT_EQ(log.problems().filter(QStringLiteral("notes.txt")).size(), 1);
    EXPECT_EQ(window->shownSeismograms().size(), 2);

    // Dropping a file on the main window opens it in the same window.
    const QString far = writeFile(QStringLiteral("far.sac"), {"FAR", "BHZ", 80.0f});
    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(far)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QCoreApplication::sendEvent(c.mainWindow(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dragged, Qt::LeftButton, {});
    QCoreApplication::sendEvent(c.mainWindow(), &drop);
    EXPECT_EQ(ui.fileList->count(), 3);
    EXPECT_EQ(c.seismograms(), window);
}

TEST_F(seismogramsWindowTest, EachViewShowsTheFilesItIsFor) {
    seismogramsWindowController window;
    Ui::seismogramsWindow& ui = window.interface();
    const QDateTime hour(QDate(2026, 12, 8), QTime(10, 0), QTimeZone::utc());
    window.openFiles({
        writeFile(QStringLiteral("b.sac"), {"FAR", "BHZ", 80.0f}),
        writeFile(QStringLiteral("a.sac"), {"NEAR", "BHZ", 10.0f, 30.0f}),
        writeFile(QStringLiteral("n.sac"), {"NEAR", "BHN", 10.0f, 30.0f}),
        writeFile(QStringLiteral("e.sac"), {"NEAR", "BHE", 10.0f, 30.0f}),
        writeFile(QStringLiteral("h2.sac"), {"FAR", "BHZ", 80.0f, -12345.0f, hour.addSecs(3600)}),
        writeFile(QStringLiteral("odd.sac"), {"ODD", "BHN", 40.0f}),
    });
    ASSERT_EQ(ui.fileList->count(), 6);
    using kind = seismogramViews::kind;
    const auto choose = [&ui](kind k) {
        ui.viewChooser->setCurrentIndex(ui.viewChooser->findData(int(k)));
    };

    EXPECT_NE(dynamic_cast<SeisView01*>(window.view()), nullptr);
    EXPECT_EQ(window.shownSeismograms().size(), 6);

    choose(kind::panels);
    auto* panels = dynamic_cast<SeisView02*>(window.view());
    ASSERT_NE(panels, nullptr);
    EXPECT_EQ(panels->plotStyle(), SeisView02::panelStyle);

    choose(kind::section);
    auto* section = dynamic_cast<MultiSeisView*>(window.view());
    ASSERT_NE(section, nullptr);
    ASSERT_EQ(section->wvfrmsArray().size(), 6);
    EXPECT_FLOAT_EQ(section->wvfrmsArray().first()->gcarc(), 10.0f); // nearest first
    EXPECT_FLOAT_EQ(section->wvfrmsArray().last()->gcarc(), 80.0f);
    // The gain is the section's own until the user sets it, then applies to the section only.
    EXPECT_TRUE(ui.gainSpinBox->isEnabled());
    EXPECT_DOUBLE_EQ(ui.gainSpinBox->value(), 1.5);
    ui.gainSpinBox->setValue(3.0);
    EXPECT_FLOAT_EQ(dynamic_cast<MultiSeisView*>(window.view())->plotGainFactor(), 3.0f);
    ui.zeroLinesCheckBox->setChecked(true);
    EXPECT_TRUE(dynamic_cast<MultiSeisView*>(window.view())->showZeroLine());

    // The helicorder takes the current file's channel: the two FAR.BHZ hours.
    choose(kind::helicorder);
    EXPECT_DOUBLE_EQ(ui.gainSpinBox->value(), 8.0);
    ui.fileList->setCurrentRow(0);
    auto* helicorder = dynamic_cast<helicorderView*>(window.view());
    ASSERT_NE(helicorder, nullptr);
    ASSERT_EQ(helicorder->wvfrmArray().size(), 2);
    EXPECT_LT(helicorder->wvfrmArray().first()->b() +
                  helicorder->wvfrmArray().first()->mySeisReferenceTime().toSecsSinceEpoch(),
              helicorder->wvfrmArray().last()->b() +
                  helicorder->wvfrmArray().last()->mySeisReferenceTime().toSecsSinceEpoch());
    ui.rowMinutesSpinBox->setValue(30);
    EXPECT_FLOAT_EQ(dynamic_cast<helicorderView*>(window.view())->rowDuration(), 1800.0f);

    // The three components of the current file's station, rotated from N and E.
    choose(kind::threeComponents);
    ui.fileList->setCurrentRow(2);
    auto* components = dynamic_cast<ThreeCompView*>(window.view());
    ASSERT_NE(components, nullptr);
    ASSERT_NE(components->observation(), nullptr);
    EXPECT_EQ(components->observation()->radial()->kcmpnm(), QStringLiteral("BHR"));
    EXPECT_EQ(window.shownSeismograms().size(), 3);
    // ODD has one horizontal and no back-azimuth: the window says so and keeps an empty plot.
    ui.fileList->setCurrentRow(5);
    EXPECT_TRUE(ui.statusLabel->text().startsWith(QStringLiteral("No three components to show")))
        << qPrintable(ui.statusLabel->text());
    ASSERT_NE(window.view(), nullptr);

    // Two selected files: only those.
    choose(kind::uniform);
    ui.fileList->clearSelection();
    ui.fileList->item(0)->setSelected(true);
    ui.fileList->item(4)->setSelected(true);
    auto* uniform = dynamic_cast<uniformTimeSeriesView*>(window.view());
    ASSERT_NE(uniform, nullptr);
    EXPECT_EQ(uniform->wvfrmArray().size(), 2);

    // The array analysis works on what is shown.
    ui.arrayAnalysisButton->click();
    ASSERT_NE(window.arrayAnalysis(), nullptr);
    EXPECT_TRUE(window.arrayAnalysis()->window()->isVisible());
}

TEST_F(seismogramsWindowTest, SpectrogramIsOfTheFirstSelectedFile) {
    seismogramsWindowController window;
    Ui::seismogramsWindow& ui = window.interface();
    window.openFiles({writeFile(QStringLiteral("a.sac"), {"ONE", "BHZ"}),
                      writeFile(QStringLiteral("b.sac"), {"TWO", "BHZ"}),
                      writeFile(QStringLiteral("c.sac"), {"THREE", "BHZ"})});
    ASSERT_EQ(ui.fileList->count(), 3);
    const int item = ui.viewChooser->findData(int(seismogramViews::kind::spectrogram));
    ASSERT_GE(item, 0);
    EXPECT_EQ(ui.viewChooser->itemText(item), QStringLiteral("Spectrogram"));
    ui.viewChooser->setCurrentIndex(item);
    const auto shownStation = [&window] {
        auto* view = dynamic_cast<spectrogramView*>(window.view());
        EXPECT_NE(view, nullptr);
        EXPECT_EQ(window.shownSeismograms().size(), 1);
        return view && view->seismogram() ? view->seismogram()->kstnm() : QString();
    };
    // Nothing selected: the first file. Then the first of those selected.
    ui.fileList->clearSelection();
    EXPECT_EQ(shownStation(), QStringLiteral("ONE"));
    ui.fileList->item(2)->setSelected(true);
    EXPECT_EQ(shownStation(), QStringLiteral("THREE"));
    ui.fileList->item(1)->setSelected(true);
    EXPECT_EQ(shownStation(), QStringLiteral("TWO"));
    // 100 samples at 20 Hz, shorter than the 256-sample window: one padded column.
    auto* view = dynamic_cast<spectrogramView*>(window.view());
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->spectra(), nullptr);
    EXPECT_EQ(view->spectra()->columns(), 1);
    EXPECT_EQ(view->spectra()->windowLength(), 256);
}

TEST_F(seismogramsWindowTest, ProcessingStartsAgainFromTheSamplesAsRead) {
    seismogramsWindowController window;
    Ui::seismogramsWindow& ui = window.interface();
    ui.removeMeanCheckBox->setChecked(false);
    window.openFiles({writeFile(QStringLiteral("a.sac"), {"STA", "BHZ"})});
    const auto mean = [&window] {
        const SacObject& s = *window.shownSeismograms().first();
        return std::accumulate(s.GetSacSeis(), s.GetSacSeis() + s.npts(), 0.0) / s.npts();
    };
    EXPECT_NEAR(mean(), 99.5, 1e-3);
    ui.removeMeanCheckBox->setChecked(true);
    EXPECT_NEAR(mean(), 0.0, 1e-3);
    ui.removeMeanCheckBox->setChecked(false);
    EXPECT_NEAR(mean(), 99.5, 1e-3); // not the de-meaned samples again

    // A corner that is not a number is named; one above Nyquist names the file.
    ui.highPassTField->setText(QStringLiteral("fast"));
    Q_EMIT ui.highPassTField->editingFinished();
    EXPECT_TRUE(ui.statusLabel->text().contains(QStringLiteral("high-pass")));
    logCapture log;
    ui.highPassTField->setText(QStringLiteral("50"));
    Q_EMIT ui.highPassTField->editingFinished();
    EXPECT_TRUE(ui.statusLabel->text().contains(QStringLiteral("Could not filter a.sac")))
        << qPrintable(ui.statusLabel->text());
    EXPECT_EQ(window.shownSeismograms().size(), 1);
    ui.highPassTField->setText(QStringLiteral("1"));
    Q_EMIT ui.highPassTField->editingFinished();
    EXPECT_FALSE(ui.statusLabel->text().contains(QStringLiteral("Could not")));

    // Fixed ranges reach the view; a reversed range is refused with a message.
    ui.fixedAmplitudeCheckBox->setChecked(true);
    EXPECT_TRUE(ui.statusLabel->text().contains(QStringLiteral("fixed amplitude range")));
    ui.amplitudeMinTField->setText(QStringLiteral("-5"));
    ui.amplitudeMaxTField->setText(QStringLiteral("5"));
    Q_EMIT ui.amplitudeMaxTField->editingFinished();
    EXPECT_TRUE(window.view()->_fixedYAxisRange());
    EXPECT_FLOAT_EQ(window.view()->ymax(), 5.0f);
}

TEST_F(seismogramsWindowTest, TheHelicorderMarksTheVisibleEarthquakes) {
    seismogramsWindowController window;
    window.setViewKind(seismogramViews::kind::helicorder);
    window.openFiles({writeFile(QStringLiteral("a.sac"), {"STA", "BHZ"})});
    auto quake = std::make_shared<seismicOrigin>();
    quake->setOriginDateTime(recordStart.addSecs(600));
    window.setVisibleOrigins({quake});
    auto* helicorder = dynamic_cast<helicorderView*>(window.view());
    ASSERT_NE(helicorder, nullptr);
    ASSERT_EQ(helicorder->theHypos().size(), 1);
    EXPECT_EQ(helicorder->theHypos().first()->oDate(), recordStart.addSecs(600));
    EXPECT_FLOAT_EQ(helicorder->magThreshold(), 4.0f);
}

} // namespace

TEST_F(seismogramsWindowTest, MiniSeedGivesALineEachTraceAndSaveAsSacWritesOneFileEach) {
    OrrelinController c;
    c.awakeFromNib(OrrelinController::firstLoads::skip);
    // Named as SAC, holding miniSEED: the content decides.
    const QString gaps = folder.filePath(QStringLiteral("gaps.sac"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUORVEL_TEST_DATA "/mseed/obspy_gaps.mseed"), gaps));
    c.openSeismogramFiles({gaps});
    seismogramsWindowController* window = c.seismograms();
    ASSERT_NE(window, nullptr);
    Ui::seismogramsWindow& ui = window->interface();
    ASSERT_EQ(ui.fileList->count(), 4);
    EXPECT_EQ(ui.fileList->item(0)->text(),
              QStringLiteral("BW.BGLD..EHE  2007-12-31 23:59:59.915  200 Hz  412 samples"));
    EXPECT_EQ(ui.fileList->item(3)->text(),
              QStringLiteral("BW.BGLD..EHE  2008-01-01 00:00:18.455  200 Hz  50668 samples"));
    EXPECT_EQ(window->shownSeismograms().size(), 4);
    EXPECT_EQ(ui.saveSacButton->text(), QStringLiteral("Save as SAC…"));

    // The mean removed on screen; the trace itself is far from zero.
    ui.removeMeanCheckBox->setChecked(true);
    ui.fileList->item(1)->setSelected(true);
    ui.fileList->item(3)->setSelected(true);
    const QString shownFolder = folder.filePath(QStringLiteral("shown"));
    QVRResult<QStringList> shown = window->saveAsSac(shownFolder, true);
    ASSERT_TRUE(shown.ok()) << qPrintable(shown.error());
    EXPECT_EQ(*shown,
              (QStringList{shownFolder + QStringLiteral("/BW.BGLD..EHE.2008.001.000004.SAC"),
                           shownFolder + QStringLiteral("/BW.BGLD..EHE.2008.001.000018.SAC")}));
    EXPECT_TRUE(ui.statusLabel->text().contains(QStringLiteral("Saved 2 SAC file(s) in ")))
        << qPrintable(ui.statusLabel->text());
    const QString readFolder = folder.filePath(QStringLiteral("read"));
    QVRResult<QStringList> asRead = window->saveAsSac(readFolder, false);
    ASSERT_TRUE(asRead.ok()) << qPrintable(asRead.error());
    ASSERT_EQ(asRead->size(), 2);

    QVRResult<std::vector<SacObject>> original =
        seismogramFile::fromFile(QStringLiteral(QUORVEL_TEST_DATA "/mseed/obspy_gaps.mseed"));
    ASSERT_TRUE(original.ok());
    const SacObject& last = original->at(3);
    QVRResult<SacObject> processed = SacObject::fromFile(shown->at(1));
    QVRResult<SacObject> unprocessed = SacObject::fromFile(asRead->at(1));
    ASSERT_TRUE(processed.ok() && unprocessed.ok());
    ASSERT_EQ(unprocessed->npts(), 50668);
    EXPECT_EQ(std::memcmp(unprocessed->GetSacSeis(), last.GetSacSeis(), 50668 * sizeof(float)), 0);
    EXPECT_EQ(unprocessed->streamId(), QStringLiteral("BW.BGLD..EHE"));
    EXPECT_LT(last.GetSacHeader()->depmen, -300.0f);
    EXPECT_NEAR(processed->GetSacHeader()->depmen, 0.0f, 0.01f);

    // With nothing selected, every seismogram is saved.
    ui.fileList->clearSelection();
    QVRResult<QStringList> all = window->saveAsSac(folder.filePath(QStringLiteral("all")), false);
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all->size(), 4);

    // A folder that cannot be made is said in the window and the log.
    logCapture log;
    const QString blocked = writeText(QStringLiteral("blocked"), "a file, not a folder");
    EXPECT_FALSE(window->saveAsSac(blocked + QStringLiteral("/inside"), true).ok());
    EXPECT_TRUE(ui.statusLabel->text().contains(QStringLiteral("Could not save as SAC: ")))
        << qPrintable(ui.statusLabel->text());
    EXPECT_EQ(log.problems().size(), 1);
}

TEST_F(seismogramsWindowTest, SaveAsSacDialogAsksForAFolderAndProcessedOrAsRead) {
    saveSacDialog dialog(QStringLiteral("/data/out"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save as SAC"));
    EXPECT_EQ(dialog.folder(), QStringLiteral("/data/out"));
    EXPECT_TRUE(dialog.processed());
    EXPECT_EQ(dialog.processedButton()->text(), QStringLiteral("As shown (processed)"));
    EXPECT_EQ(dialog.asReadButton()->text(), QStringLiteral("As read"));
    dialog.setProcessed(false);
    EXPECT_FALSE(dialog.processed());
    EXPECT_TRUE(dialog.asReadButton()->isChecked());
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_TRUE(buttons->button(QDialogButtonBox::Save)->isEnabled());
    dialog.folderField()->clear();
    EXPECT_FALSE(buttons->button(QDialogButtonBox::Save)->isEnabled());
}

TEST_F(seismogramsWindowTest, FilesThatOverlapInTimeShareTheCommonClockUnlessTheUserChooses) {
    {
        seismogramsWindowController window;
        Ui::seismogramsWindow& ui = window.interface();
        EXPECT_EQ(ui.alignmentLabel->text(), QStringLiteral("Align on"));
        ASSERT_EQ(ui.alignmentChooser->count(), 2);
        EXPECT_EQ(ui.alignmentChooser->itemText(0), QStringLiteral("start of each file"));
        EXPECT_EQ(ui.alignmentChooser->itemText(1), QStringLiteral("common clock"));
        // 5-second files 3 s apart overlap; one a minute later does not join them.
        channel later{"LATE", "BHZ"};
        later.start = recordStart.addSecs(3);
        window.openFiles({writeFile(QStringLiteral("a.sac"), {"EARLY", "BHZ"}),
                          writeFile(QStringLiteral("b.sac"), later)});
        EXPECT_EQ(ui.alignmentChooser->currentText(), QStringLiteral("common clock"));
        auto* overlay = qobject_cast<SeisView01*>(window.view());
        ASSERT_NE(overlay, nullptr);
        EXPECT_TRUE(overlay->commonClock());
        EXPECT_EQ(overlay->timeShift(1), 3);
        channel apart{"APART", "BHZ"};
        apart.start = recordStart.addSecs(60);
        window.openFiles({writeFile(QStringLiteral("c.sac"), apart)});
        EXPECT_EQ(ui.alignmentChooser->currentText(), QStringLiteral("start of each file"));
        EXPECT_FALSE(qobject_cast<SeisView01*>(window.view())->commonClock());
        // The user's choice holds whatever the files, and is kept.
        ui.alignmentChooser->setCurrentIndex(1);
        EXPECT_TRUE(qobject_cast<SeisView01*>(window.view())->commonClock());
        ui.viewChooser->setCurrentIndex(ui.viewChooser->findText(QStringLiteral("Helicorder")));
        EXPECT_FALSE(ui.alignmentChooser->isEnabled());
        ui.viewChooser->setCurrentIndex(ui.viewChooser->findText(QStringLiteral("Panels")));
        EXPECT_TRUE(ui.alignmentChooser->isEnabled());
        EXPECT_TRUE(qobject_cast<SeisView02*>(window.view())->commonClock());
    }
    EXPECT_EQ(QSettings().value(QStringLiteral("seismograms/alignment")).toInt(), 1);
    seismogramsWindowController again;
    again.openFiles({writeFile(QStringLiteral("d.sac"), {"ALONE", "BHZ"})});
    EXPECT_EQ(again.interface().alignmentChooser->currentText(), QStringLiteral("common clock"));
}

TEST_F(seismogramsWindowTest, APickSetWithThePKeyIsShownKeptAndSaved) {
    seismogramsWindowController window;
    Ui::seismogramsWindow& ui = window.interface();
    window.openFiles({writeFile(QStringLiteral("pick.sac"), {"PICK", "BHZ"})});
    window.setViewKind(seismogramViews::kind::panels);
    window.showWindow();
    QVRView* view = window.view();
    ASSERT_NE(view, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(view->isVisible() && view->width() > 200, 10000);
    view->snapshot(); // lays the plot out at the view's size
    // Halfway along the 100 samples at 20 Hz: 2.475 s after the reference time.
    const QRectF plot = view->iRect();
    const QPointF middle(plot.center().x(), view->height() - plot.center().y());
    QMouseEvent move(QEvent::MouseMove, middle, view->mapToGlobal(middle), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
    EXPECT_TRUE(ui.readingLabel->text().startsWith(QStringLiteral("2026-12-08 10:37:14.475 UTC")))
        << qPrintable(ui.readingLabel->text());
    QTest::keyClick(view, Qt::Key_P);
    const SacObject& shown = *window.shownSeismograms().at(0);
    EXPECT_NEAR(shown.timePickKey(2), 2.475, 0.01);
    EXPECT_EQ(shown.pickLabelWithKey(2), QStringLiteral("P"));

    // Processing again starts from the samples as read, which have the pick too.
    ui.removeMeanCheckBox->setChecked(!ui.removeMeanCheckBox->isChecked());
    EXPECT_NEAR(window.shownSeismograms().at(0)->timePickKey(2), 2.475, 0.01);
    for (const bool processed : {true, false}) {
        const QString into =
            folder.filePath(processed ? QStringLiteral("shown") : QStringLiteral("read"));
        QVRResult<QStringList> written = window.saveAsSac(into, processed);
        ASSERT_TRUE(written.ok()) << qPrintable(written.error());
        QVRResult<SacObject> saved = SacObject::fromFile(written->at(0));
        ASSERT_TRUE(saved.ok());
        EXPECT_NEAR(saved->timePickKey(2), 2.475, 0.01) << processed;
        EXPECT_EQ(saved->pickLabelWithKey(2), QStringLiteral("P")) << processed;
        EXPECT_EQ(saved->timePickKey(3), SacHeader::undefinedValue) << processed;
    }
}

TEST_F(seismogramsWindowTest, TheEventSectionsReductionPhasesAndModelShowWithItAndAreKept) {
    const QStringList files = {
        writeFile(QStringLiteral("near.sac"), {"NEAR", "BHZ", 30.0f, -12345.0f, recordStart, 0}),
        writeFile(QStringLiteral("far.sac"), {"FAR", "BHZ", 50.0f, -12345.0f, recordStart, 0})};
    using kind = seismogramViews::kind;
    {
        seismogramsWindowController window;
        Ui::seismogramsWindow& ui = window.interface();
        window.openFiles(files);
        EXPECT_TRUE(ui.sectionBox->isHidden());
        ui.viewChooser->setCurrentIndex(ui.viewChooser->findData(int(kind::eventSection)));
        EXPECT_FALSE(ui.sectionBox->isHidden());
        EXPECT_EQ(ui.reductionVelocityLabel->text(), QStringLiteral("Reduction velocity"));
        EXPECT_EQ(ui.phasesLabel->text(), QStringLiteral("Phases"));
        EXPECT_EQ(ui.modelLabel->text(), QStringLiteral("Model"));
        EXPECT_EQ(ui.reductionVelocitySpinBox->text(), QStringLiteral("none"));
        EXPECT_EQ(ui.phasesTField->text(), QStringLiteral("P, S, PP, SS, PKIKP, SKS"));
        ASSERT_EQ(ui.modelChooser->count(), 2);
        EXPECT_EQ(ui.modelChooser->currentText(), QStringLiteral("ak135"));
        auto* section = qobject_cast<eventSectionView*>(window.view());
        ASSERT_NE(section, nullptr);
        EXPECT_EQ(section->reductionVelocity(), 0.0f);
        EXPECT_EQ(section->xmin(), 0.0f);

        // Each change draws the section again with it: reduced at 8 km/s, the far trace's
        // first sample stands 50° worth of 8 km/s before the origin.
        ui.reductionVelocitySpinBox->stepBy(16);
        EXPECT_EQ(ui.reductionVelocitySpinBox->text(), QStringLiteral("8.0 km/s"));
        section = qobject_cast<eventSectionView*>(window.view());
        EXPECT_EQ(section->reductionVelocity(), 8.0f);
        EXPECT_NEAR(section->xmin(), -50 * 111.19 / 8, 0.01);
        ui.phasesTField->setText(QStringLiteral(" P,SKS "));
        QTest::keyClick(ui.phasesTField, Qt::Key_Return);
        section = qobject_cast<eventSectionView*>(window.view());
        EXPECT_EQ(section->phases(), (QStringList{"P", "SKS"}));
        ui.modelChooser->setCurrentText(QStringLiteral("iasp91"));
        EXPECT_EQ(qobject_cast<eventSectionView*>(window.view())->modelName(), "iasp91");

        // Unknown names are said, logged once, and the curves keep the last good list.
        logCapture log;
        ui.phasesTField->setText(QStringLiteral("P, PKKP, Q"));
        QTest::keyClick(ui.phasesTField, Qt::Key_Return);
        EXPECT_TRUE(ui.statusLabel->text().contains(
            QStringLiteral("Phases: unknown phases 'PKKP', 'Q' (known: P,pP,")))
            << qPrintable(ui.statusLabel->text());
        EXPECT_TRUE(ui.statusLabel->text().contains(QStringLiteral("the curves keep P, SKS.")))
            << qPrintable(ui.statusLabel->text());
        EXPECT_EQ(log.problems().size(), 1);
        section = qobject_cast<eventSectionView*>(window.view());
        EXPECT_EQ(section->phases(), (QStringList{"P", "SKS"}));

        ui.viewChooser->setCurrentIndex(ui.viewChooser->findData(int(kind::section)));
        EXPECT_TRUE(ui.sectionBox->isHidden());
    }
    // Opened again, the window has them as they were left, the refused list not among them.
    seismogramsWindowController again;
    Ui::seismogramsWindow& ui = again.interface();
    EXPECT_EQ(ui.reductionVelocitySpinBox->value(), 8.0);
    EXPECT_EQ(ui.phasesTField->text(), QStringLiteral("P, SKS"));
    EXPECT_EQ(ui.modelChooser->currentText(), QStringLiteral("iasp91"));
    again.openFiles(files);
    again.setViewKind(kind::eventSection);
    auto* section = qobject_cast<eventSectionView*>(again.view());
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->reductionVelocity(), 8.0f);
    EXPECT_EQ(section->phases(), (QStringList{"P", "SKS"}));
    EXPECT_EQ(section->modelName(), QStringLiteral("iasp91"));
}

TEST_F(seismogramsWindowTest, AfterAViewIsChosenThePlotUnderThePointerTakesThePKey) {
    seismogramsWindowController window;
    Ui::seismogramsWindow& ui = window.interface();
    window.openFiles(
        {writeFile(QStringLiteral("near.sac"), {"NEAR", "BHZ", 30.0f, -12345.0f, recordStart, 0}),
         writeFile(QStringLiteral("far.sac"), {"FAR", "BHZ", 50.0f, -12345.0f, recordStart, 0})});
    window.showWindow();
    QTRY_VERIFY_WITH_TIMEOUT(window.window()->isActiveWindow(), 10000);
    ui.viewChooser->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(ui.viewChooser->hasFocus(), 10000);
    ui.viewChooser->setCurrentIndex(
        ui.viewChooser->findData(int(seismogramViews::kind::eventSection)));
    auto* section = qobject_cast<eventSectionView*>(window.view());
    ASSERT_NE(section, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(section->isVisible() && section->width() > 200, 10000);
    section->snapshot(); // lays the plot out at the view's size
    // On the far trace's line, halfway through its five seconds.
    const auto widgetPoint = [section](double seconds, double degrees) {
        return QPoint(int(std::lround(section->xForTime(seconds))),
                      section->height() - int(std::lround(section->yForDistance(degrees))));
    };
    QTest::mouseMove(section, widgetPoint(2.5, 50));
    QTRY_VERIFY_WITH_TIMEOUT(section->hasFocus(), 10000);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P);
    EXPECT_EQ(window.viewKind(), seismogramViews::kind::eventSection);
    const auto far =
        std::find_if(window.shownSeismograms().begin(), window.shownSeismograms().end(),
                     [](const auto& s) { return s->kstnm().trimmed() == QStringLiteral("FAR"); });
    ASSERT_NE(far, window.shownSeismograms().end());
    EXPECT_NEAR((*far)->timePickKey(2), 2.5, 0.05);
    EXPECT_EQ((*far)->pickLabelWithKey(2), QStringLiteral("P"));

    // A field being typed in keeps the keys when the pointer passes over the plot; a click
    // on the plot takes them.
    ui.phasesTField->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(ui.phasesTField->hasFocus(), 10000);
    QTest::mouseMove(ui.fileList);
    QTest::mouseMove(section, widgetPoint(1, 30));
    EXPECT_TRUE(ui.phasesTField->hasFocus());
    QTest::mouseClick(section, Qt::LeftButton, Qt::NoModifier, widgetPoint(1, 30));
    QTRY_VERIFY_WITH_TIMEOUT(section->hasFocus(), 10000);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S);
    const auto near =
        std::find_if(window.shownSeismograms().begin(), window.shownSeismograms().end(),
                     [](const auto& s) { return s->kstnm().trimmed() == QStringLiteral("NEAR"); });
    ASSERT_NE(near, window.shownSeismograms().end());
    EXPECT_NEAR((*near)->timePickKey(3), 1, 0.05);
}
