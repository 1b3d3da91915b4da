#pragma once

#include "SacObject.h"
#include "seismicOrigin.h"
#include "seismogramProcessing.h"
#include "seismogramViews.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class QVRView;
class QWidget;
class arrayAnalysisController;

namespace Ui {
class seismogramsWindow;
}

// The Seismograms window: SAC and miniSEED files the user opens or drops, told apart by content,
// listed with a line for each seismogram (one per miniSEED trace), processed as the fields say
// and shown in the chosen view. The samples are kept as read, so that every change of the
// processing starts again from them.
class seismogramsWindowController : public QObject {
    Q_OBJECT
public:
    explicit seismogramsWindowController(QObject* parent = nullptr);
    ~seismogramsWindowController() override;

    QWidget* window() const { return window_.get(); }
    Ui::seismogramsWindow& interface() { return *ui_; }
    void showWindow();

    // Opens the files that are SAC or miniSEED seismograms and adds each of their seismograms
    // to the list; every other file, and a file without a trace, is named in the window with
    // the reason it was refused, and logged. The number of seismograms added.
    int openFiles(const QStringList& paths);
    // Shows `seismograms` (downloaded, say) in place of the files open, in the view `k`. Their
    // picks predicted through Earth model `model` (a name of earthModel::names()), the event
    // record section's curves take that model too, so that both agree.
    void showSeismograms(const QList<std::shared_ptr<SacObject>>& seismograms,
                         seismogramViews::kind k, const QString& model = QString());
    // Asks for files in a dialog that starts in the folder of the last files opened.
    void chooseFiles();
    void removeSelectedFiles();
    void clearFiles();
    // Writes the selected seismograms (all when none is selected) into `folder` as SAC files
    // under their standard names, processed as shown or as read; the paths written, or why
    // not. The window says what was saved.
    QVRResult<QStringList> saveAsSac(const QString& folder, bool processed);
    // Asks for the folder and the choice in a dialog, then saves.
    void chooseSaveAsSac();

    seismogramViews::kind viewKind() const { return kind_; }
    void setViewKind(seismogramViews::kind k);
    // The view on display; replaced whenever the files, processing or settings change.
    QVRView* view() const { return view_; }
    // The seismograms the view shows, processed.
    const QList<std::shared_ptr<SacObject>>& shownSeismograms() const { return shown_; }

    // The earthquakes the helicorder may mark: the main window's visible origins.
    void setVisibleOrigins(const originList& origins);

    // "IU.ANMO.00.BHZ  2026-12-08 10:37:12.000  20 Hz  72000 samples  NEAR COAST OF PERU".
    static QString summaryLine(const SacObject& seismogram);

    // The Array Analysis window of the seismograms shown, made the first time it is asked for.
    void showArrayAnalysis();
    arrayAnalysisController* arrayAnalysis() const { return arrayAnalysis_.get(); }

private:
    struct openFile {
        std::shared_ptr<const SacObject> asRead;
        std::shared_ptr<SacObject> processed; // none when processing failed
    };

    // Adds one seismogram to the list, its line's tooltip saying where it came from.
    void addSeismogram(std::shared_ptr<const SacObject> seismogram, const QString& from);
    // The processing the fields ask for; none after naming the faulty field in the status.
    std::optional<seismogramProcessing> processingFromFields();
    std::optional<seismogramViews::settings> settingsFromFields();
    void processAll();
    void reprocessAndShow();
    // The rows selected, in order; all rows when `allWhenNone` and none is selected.
    QList<int> selectedRows(bool allWhenNone) const;
    // The files the chosen view draws: the selected ones when two or more are selected, else
    // all; of those, the helicorder takes the current file's channel and the three-component
    // view its station.
    QList<std::shared_ptr<SacObject>> filesForView() const;
    void showView();
    // Takes the phases of the field when all are known; otherwise names the unknown ones in the
    // status and keeps the last good list.
    void readPhases();
    void placeView(std::unique_ptr<QVRView> view);
    void enableSettingsOfView();
    // Copies the picks the user set on the seismograms shown to the samples as read.
    void keepPicks();
    void setStatus(const QString& text);
    void restoreFields();
    void keepFields() const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::unique_ptr<Ui::seismogramsWindow> ui_;
    std::unique_ptr<QWidget> window_;
    std::unique_ptr<arrayAnalysisController> arrayAnalysis_;
    QList<openFile> files_;
    QList<std::shared_ptr<SacObject>> shown_;
    QVRView* view_ = nullptr; // owned by the view holder
    seismogramViews::kind kind_ = seismogramViews::kind::overlay;
    // The user's choice; none until one is made, and then the files decide.
    std::optional<seismogramViews::timeAlignment> alignment_;
    seismogramProcessing processing_;
    std::optional<seismogramProcessing> processedWith_; // of the files' processed samples
    QStringList filterProblems_;    // the files a filter was refused for, with why
    QHash<int, double> gainOfKind_; // what the user set for each kind, by kind
    QStringList sectionPhases_;     // the last good list of the phases field
    helicorderView::hypocenterList hypocenters_;
    QStringList refused_; // the files of the last opening that were not read, with why
    QString problem_;     // a field that could not be read, or a view that could not be made
    QString saved_;       // what the last "Save as SAC…" wrote, or why it did not
};
