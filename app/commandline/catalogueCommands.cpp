#include "catalogueCommands.h"

#include "CSEM_QueryController.h"
#include "INGV_QueryController.h"
#include "NEIC_QueryController.h"
#include "PDE_QueryController.h"
#include "QVRDateFormatter.h"
#include "fdsnEventQueryController.h"
#include "originTableModel.h"

#include <QFile>

#include <memory>
#include <optional>

namespace catalogueCommands {

using quorvelCommandLine::strictFloat;
using quorvelCommandLine::usageHint;

namespace {

// The reason an argument is refused, or none.
using complaint = std::optional<QString>;

std::optional<QDateTime> timeArgument(const QString& text) {
    for (const char* pattern : {"yyyy-MM-dd'T'HH:mm:ss", "yyyy-MM-dd"}) {
        const QDateTime t =
            QVRDateFormatter(QString::fromLatin1(pattern), QTimeZone::utc()).dateFromString(text);
        if (t.isValid())
            return t;
    }
    return std::nullopt;
}

// Copies one numeric option into a controller setter.
template <typename Setter>
complaint applyNumber(const QCommandLineParser& parser, const QCommandLineOption& option,
                      Setter set) {
    if (!parser.isSet(option))
        return std::nullopt;
    const auto value = strictFloat(parser.value(option));
    if (!value)
        return QStringLiteral("--%1 takes a number").arg(option.names().first());
    set(*value);
    return std::nullopt;
}

// Depths, box, ring and dates of a search form.
complaint applySearchLimits(const QCommandLineParser& parser, const commandLineOptions& o,
                            EQ_QueryController& c) {
    const std::pair<const QCommandLineOption*, void (EQ_QueryController::*)(float)> numbers[] = {
        {&o.minDepth, &EQ_QueryController::setMinDepth},
        {&o.maxDepth, &EQ_QueryController::setMaxDepth},
        {&o.minLat, &EQ_QueryController::setMinLatitude},
        {&o.maxLat, &EQ_QueryController::setMaxLatitude},
        {&o.minLon, &EQ_QueryController::setMinLongitude},
        {&o.maxLon, &EQ_QueryController::setMaxLongitude},
        // The ring's centre lives in the box's south-west corner.
        {&o.lat, &EQ_QueryController::setMinLatitude},
        {&o.lon, &EQ_QueryController::setMinLongitude},
        {&o.minRadius, &EQ_QueryController::setMinRadius},
        {&o.maxRadius, &EQ_QueryController::setMaxRadius}};
    for (const auto& number : numbers) {
        const auto setter = number.second; // a named copy: lambdas cannot capture bindings
        if (complaint why =
                applyNumber(parser, *number.first, [&c, setter](float v) { (c.*setter)(v); }))
            return why;
    }
    for (const auto& [option, setter] : {std::pair{&o.start, &EQ_QueryController::setStartDate},
                                         std::pair{&o.end, &EQ_QueryController::setEndDate}}) {
        if (!parser.isSet(*option))
            continue;
        const auto t = timeArgument(parser.value(*option));
        if (!t)
            return QStringLiteral("--%1 takes yyyy-MM-dd or yyyy-MM-ddTHH:mm:ss")
                .arg(option->names().first());
        (c.*setter)(*t);
    }
    return std::nullopt;
}

complaint applyFdsnSearch(const QCommandLineParser& parser, const commandLineOptions& o,
                          fdsnEventQueryController& c) {
    const QString kind = parser.value(o.search);
    if (kind == QLatin1StringView("global"))
        c.setSearchType(fdsnEventQueryController::globalSearch);
    else if (kind == QLatin1StringView("box"))
        c.setSearchType(fdsnEventQueryController::boxSearch);
    else if (kind == QLatin1StringView("annulus"))
        c.setSearchType(fdsnEventQueryController::annulusSearch);
    else
        return QStringLiteral("--search takes global, box or annulus");
    return applySearchLimits(parser, o, c);
}

void printTable(const originList& origins, QTextStream& out) {
    originList rows = origins;
    sortNewestFirst(rows);
    originTableModel table(&rows);
    QStringList titles;
    for (int column = 0; column < table.columnCount(); ++column)
        titles << table.headerData(column, Qt::Horizontal).toString();
    out << titles.join(u'\t') << "\n";
    for (int row = 0; row < rows.size(); ++row) {
        QStringList cells;
        for (const QString& identifier : table.columnIdentifiers())
            cells << table.cellText(identifier, row);
        out << cells.join(u'\t') << "\n";
    }
}

// What "Copy" puts on the clipboard: the heading line and one line per origin, newest first.
void printClipboard(const originList& origins, QTextStream& out) {
    originList rows = origins;
    sortNewestFirst(rows);
    out << seismicOrigin::headingsForSeparatedString();
    for (const auto& o : rows)
        out << o->valuesInSeparatedString();
}

} // namespace

int loadCatalogue(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& err,
                  loadedCatalogue& result) {
    auto refuse = [&err](const QString& why) {
        err << "Quorvel: " << why << "\n" << usageHint;
        return 2;
    };
    const QString source = parser.value(o.source);
    std::unique_ptr<EQ_QueryController> controller;
    if (source == QLatin1StringView("usgs") || source == QLatin1StringView("usgs-text"))
        controller = std::make_unique<NEIC_QueryController>();
    else if (source == QLatin1StringView("fdsn"))
        controller = std::make_unique<fdsnEventQueryController>();
    else if (source == QLatin1StringView("ingv"))
        controller = std::make_unique<INGV_QueryController>();
    else if (source == QLatin1StringView("emsc"))
        controller = std::make_unique<CSEM_QueryController>();
    else if (source == QLatin1StringView("pde"))
        controller = std::make_unique<PDE_QueryController>();
    else
        return refuse(
            QStringLiteral("unknown source '%1': use usgs, usgs-text, fdsn, ingv, emsc or pde")
                .arg(source));
    for (const auto& limit : {std::pair{&o.minMag, &EQ_QueryController::setMinMagnitude},
                              std::pair{&o.maxMag, &EQ_QueryController::setMaxMagnitude}}) {
        const auto setter = limit.second;
        if (complaint why = applyNumber(parser, *limit.first, [&controller, setter](float v) {
                (controller.get()->*setter)(v);
            }))
            return refuse(*why);
    }
    auto* fdsn = dynamic_cast<fdsnEventQueryController*>(controller.get());
    if (fdsn) {
        if (complaint why = applyFdsnSearch(parser, o, *fdsn))
            return refuse(*why);
    }
    auto* pde = dynamic_cast<PDE_QueryController*>(controller.get());
    if (pde) {
        if (complaint why = applySearchLimits(parser, o, *pde))
            return refuse(*why);
    }

    std::optional<QByteArray> answer;
    if (parser.isSet(o.input)) {
        QFile file(parser.value(o.input));
        if (!file.open(QIODevice::ReadOnly)) {
            err << "Quorvel: cannot read " << file.fileName() << ": " << file.errorString() << "\n";
            return 2;
        }
        answer = file.readAll();
    }

    originList origins;
    auto* usgs = dynamic_cast<NEIC_QueryController*>(controller.get());
    if (source == QLatin1StringView("usgs")) {
        // A file gives no detail documents to follow; a download does.
        origins = answer ? usgs->parseUSGSGeoJSONFeed(*answer, false) : usgs->loadUSGSGeoJSONFeed();
    } else if (source == QLatin1StringView("usgs-text")) {
        origins = answer ? usgs->parseNEIC_TextList(*answer) : usgs->loadNEIC_TextList();
    } else if (fdsn) {
        origins = answer ? fdsnEventQueryController::parseFDSNEventText(*answer)
                         : fdsn->parse_events_from_text().value_or(originList());
    } else if (auto* ingv = dynamic_cast<INGV_QueryController*>(controller.get())) {
        origins = answer ? ingv->parseINGVPage(*answer)
                         : ingv->scrape_IGNV_EQ_html().value_or(originList());
    } else if (auto* emsc = dynamic_cast<CSEM_QueryController*>(controller.get())) {
        origins = answer ? emsc->parseEMSCExport(*answer, QDateTime::currentDateTimeUtc())
                         : emsc->scrape_CSEM_EQ_html().value_or(originList());
    } else if (answer) {
        // A saved result page, or just its lines.
        origins = answer->contains("<pre") || answer->contains("<PRE")
                      ? PDE_QueryController::parsePDEResultPage(*answer)
                      : PDE_QueryController::parsePDELines(QString::fromLatin1(*answer));
    } else {
        origins = pde->parse_PDE_Compressed_EQ_html().value_or(originList());
    }
    if (!controller->lastError().isNull()) {
        err << "Quorvel: the " << source
            << " catalogue could not be loaded: " << controller->lastError() << "\n";
        return 2;
    }
    controller->setSeismicOrigins(origins);
    result.origins = origins;
    result.controller = std::move(controller);
    return 0;
}

int printCatalogue(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
                   QTextStream& err) {
    const QString what = parser.value(o.print);
    if (what != QLatin1StringView("table") && what != QLatin1StringView("summary") &&
        what != QLatin1StringView("clipboard")) {
        err << "Quorvel: --source needs --print table, summary or clipboard, or --render\n"
            << usageHint;
        return 2;
    }
    loadedCatalogue catalogue;
    if (const int refused = loadCatalogue(parser, o, err, catalogue))
        return refused;
    if (what == QLatin1StringView("summary"))
        out << catalogue.controller->summarizeTheSeismicActivity();
    else if (what == QLatin1StringView("table"))
        printTable(catalogue.origins, out);
    else
        printClipboard(catalogue.origins, out);
    return 0;
}

} // namespace catalogueCommands
