#pragma once

#include "SacObject.h"
#include "eventSeismograms.h"
#include "serialOperationQueue.h"

#include <QDialog>
#include <QList>

#include <memory>
#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

// "Seismograms of this Event…": asks which data centre, distances, channel and number of
// stations, then fetches the event's seismograms on a worker of its own (the window takes
// input all the while) and hands them on. A failure is said in the dialog, which stays open.
class eventSeismogramsDialog : public QDialog {
    Q_OBJECT
public:
    explicit eventSeismogramsDialog(QWidget* parent = nullptr);
    ~eventSeismogramsDialog() override;

    // The earthquake the next fetch is for, named in the dialog by `title`.
    void setEvent(const eventSeismograms::event& quake, const QString& title);
    // What the fields ask for; none, with the reason in the status line, when one is wrong.
    std::optional<eventSeismograms::request> requestFromFields();
    // Fetches what the fields ask for; the status line says how it went.
    void fetch();
    bool isFetching() const { return fetching_; }
    void setDownloadTimeoutMs(int ms) { timeoutMs_ = ms; }

    // The fields, for the tests and for accessibility tools.
    QComboBox* dataCentreField() const { return dataCentre_; }
    QDoubleSpinBox* minDistanceField() const { return minDistance_; }
    QDoubleSpinBox* maxDistanceField() const { return maxDistance_; }
    QLineEdit* channelField() const { return channel_; }
    QSpinBox* stationsField() const { return stations_; }
    QComboBox* modelField() const { return model_; }
    QPushButton* fetchButton() const { return fetchButton_; }
    QLabel* statusLabel() const { return status_; }

Q_SIGNALS:
    // The seismograms of a fetch, nearest first; at least one. Their picks were predicted
    // through the Earth model `model`.
    void seismogramsArrived(const QList<std::shared_ptr<SacObject>>& seismograms,
                            const QString& model);

private:
    void finished(eventSeismograms::outcome fetched, const QString& model);
    void showFetching(bool fetching);
    void restoreFields();
    void keepFields() const;

    eventSeismograms::event quake_;
    QLabel* title_;
    QComboBox* dataCentre_;
    QDoubleSpinBox* minDistance_;
    QDoubleSpinBox* maxDistance_;
    QLineEdit* channel_;
    QSpinBox* stations_;
    QComboBox* model_;
    QLabel* status_;
    QProgressBar* busy_;
    QPushButton* fetchButton_;
    bool fetching_ = false;
    int timeoutMs_ = 30000;
    // Last, so that it is gone, its operation stopped, before the fields it reports to.
    serialOperationQueue queue_;
};
