#include "eventSeismogramsDialog.h"

#include "earthModel.h"
#include "quorvelLogging.h"
#include "seismogramDataSource.h"
#include "serviceEndpoints.h"
#include "webFetcher.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString settingsKey(const char* name) {
    return QStringLiteral("eventSeismograms/") + QLatin1StringView(name);
}

QDoubleSpinBox* degreesField(double value) {
    auto* field = new QDoubleSpinBox;
    field->setRange(0, 180);
    field->setDecimals(1);
    field->setSuffix(QStringLiteral("°"));
    field->setValue(value);
    return field;
}

} // namespace

eventSeismogramsDialog::eventSeismogramsDialog(QWidget* parent)
    : QDialog(parent)
    , title_(new QLabel)
    , dataCentre_(new QComboBox)
    , minDistance_(degreesField(0))
    , maxDistance_(degreesField(90))
    , channel_(new QLineEdit(QStringLiteral("BHZ")))
    , stations_(new QSpinBox)
    , model_(new QComboBox)
    , status_(new QLabel)
    , busy_(new QProgressBar)
    , fetchButton_(new QPushButton(tr("Fetch")))
    , queue_([] {}) {
    setWindowTitle(tr("Seismograms of this Event"));
    for (const serviceEndpoints::fdsnDataCentre& centre : serviceEndpoints::fdsnDataCentres())
        dataCentre_->addItem(QString::fromLatin1(centre.name));
    dataCentre_->setEditable(true);
    dataCentre_->setToolTip(tr("An FDSN data centre by name, or the http(s) address of another"));
    channel_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[A-Za-z0-9?*]{1,3}")), channel_));
    channel_->setToolTip(tr("BHZ, HHZ, LHZ, or a pattern such as BH?"));
    stations_->setRange(1, 1000);
    stations_->setValue(20);
    model_->addItems(earthModel::names());
    status_->setWordWrap(true);
    busy_->setRange(0, 0);
    busy_->setVisible(false);

    auto* distances = new QHBoxLayout;
    distances->addWidget(minDistance_);
    distances->addWidget(new QLabel(tr("to")));
    distances->addWidget(maxDistance_);
    auto* form = new QFormLayout;
    form->addRow(tr("Data centre"), dataCentre_);
    form->addRow(tr("Distance"), distances);
    form->addRow(tr("Channel"), channel_);
    form->addRow(tr("Stations"), stations_);
    form->addRow(tr("Earth model"), model_);
    auto* window = new QLabel(tr("From 1 minute before the predicted P to 10 minutes after the "
                                 "predicted S"));
    window->setWordWrap(true);
    form->addRow(tr("Window"), window);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->addButton(fetchButton_, QDialogButtonBox::AcceptRole);
    fetchButton_->setDefault(true);
    connect(fetchButton_, &QPushButton::clicked, this, &eventSeismogramsDialog::fetch);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addLayout(form);
    layout->addWidget(status_);
    layout->addWidget(busy_);
    layout->addWidget(buttons);
    restoreFields();
}

eventSeismogramsDialog::~eventSeismogramsDialog() {
    keepFields();
}

void eventSeismogramsDialog::setEvent(const eventSeismograms::event& quake, const QString& title) {
    quake_ = quake;
    title_->setText(title);
    if (!fetching_)
        status_->clear();
}

std::optional<eventSeismograms::request> eventSeismogramsDialog::requestFromFields() {
    const QString centre = dataCentre_->currentText().trimmed();
    const std::optional<seismogramDataSource> source =
        seismogramDataSource::parse(QStringLiteral("fdsn:") + centre);
    QString problem;
    if (!source)
        problem = tr("%1 is no data centre: name one (iris, geofon, …) or type its http(s) "
                     "address.")
                      .arg(centre);
    else if (!(minDistance_->value() < maxDistance_->value()))
        problem = tr("The nearest distance must lie below the farthest.");
    else if (channel_->text().isEmpty())
        problem = tr("Name a channel: BHZ, HHZ, LHZ or a pattern such as BH?.");
    else if (!quake_.origin.isValid())
        problem = tr("Select an event first.");
    if (!problem.isEmpty()) {
        status_->setText(problem);
        return std::nullopt;
    }
    eventSeismograms::request r;
    r.quake = quake_;
    r.baseURL = source->fdsnBaseURL();
    r.minDistance = float(minDistance_->value());
    r.maxDistance = float(maxDistance_->value());
    r.channel = channel_->text().toUpper();
    r.maxStations = stations_->value();
    r.model = model_->currentText();
    return r;
}

void eventSeismogramsDialog::fetch() {
    if (fetching_)
        return;
    const std::optional<eventSeismograms::request> request = requestFromFields();
    if (!request)
        return;
    QVRResult<eventSeismograms> event = eventSeismograms::make(*request);
    if (!event) {
        status_->setText(event.error());
        qCWarning(lcSeismograms).noquote() << event.error();
        return;
    }
    keepFields();
    showFetching(true);
    status_->setText(tr("Asking %1 for the stations and their seismograms…")
                         .arg(dataCentre_->currentText().trimmed()));
    const int timeoutMs = timeoutMs_;
    queue_.addOperation(QStringLiteral("event seismograms"),
                        [this, event = std::move(event.value()), timeoutMs,
                         model = request->model](const std::atomic<bool>& cancelled) {
                            eventSeismograms::outcome fetched =
                                event.fetch(timeoutMs, webFetcher::defaultUserAgent(), &cancelled);
                            if (cancelled)
                                return;
                            QMetaObject::invokeMethod(
                                this,
                                [this, fetched = std::move(fetched), model]() mutable {
                                    finished(std::move(fetched), model);
                                },
                                Qt::QueuedConnection);
                        });
}

void eventSeismogramsDialog::finished(eventSeismograms::outcome fetched, const QString& model) {
    showFetching(false);
    if (!fetched.failure.isEmpty()) {
        status_->setText(fetched.failure); // logged where it happened
        return;
    }
    QString text = tr("%1 seismograms of %2 stations.")
                       .arg(fetched.seismograms.size())
                       .arg(fetched.stationsChosen);
    if (!fetched.withoutData.isEmpty()) {
        text += u' ' + tr("No data: %1.").arg(fetched.withoutData.join(QStringLiteral(", ")));
        qCWarning(lcSeismograms).noquote()
            << QStringLiteral("No data: %1").arg(fetched.withoutData.join(QStringLiteral(", ")));
    }
    status_->setText(text);
    QList<std::shared_ptr<SacObject>> seismograms;
    for (SacObject& seismogram : fetched.seismograms)
        seismograms.append(std::make_shared<SacObject>(std::move(seismogram)));
    Q_EMIT seismogramsArrived(seismograms, model);
}

void eventSeismogramsDialog::showFetching(bool fetching) {
    fetching_ = fetching;
    busy_->setVisible(fetching);
    fetchButton_->setEnabled(!fetching);
}

void eventSeismogramsDialog::restoreFields() {
    const QSettings settings;
    dataCentre_->setCurrentText(
        settings.value(settingsKey("dataCentre"), dataCentre_->itemText(0)).toString());
    minDistance_->setValue(settings.value(settingsKey("minDistance"), 0.0).toDouble());
    maxDistance_->setValue(settings.value(settingsKey("maxDistance"), 90.0).toDouble());
    channel_->setText(settings.value(settingsKey("channel"), QStringLiteral("BHZ")).toString());
    stations_->setValue(settings.value(settingsKey("stations"), 20).toInt());
    model_->setCurrentText(
        settings.value(settingsKey("model"), QStringLiteral("ak135")).toString());
}

void eventSeismogramsDialog::keepFields() const {
    QSettings settings;
    settings.setValue(settingsKey("dataCentre"), dataCentre_->currentText().trimmed());
    settings.setValue(settingsKey("minDistance"), minDistance_->value());
    settings.setValue(settingsKey("maxDistance"), maxDistance_->value());
    settings.setValue(settingsKey("channel"), channel_->text());
    settings.setValue(settingsKey("stations"), stations_->value());
    settings.setValue(settingsKey("model"), model_->currentText());
}
