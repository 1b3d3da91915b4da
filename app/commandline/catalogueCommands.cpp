#include "catalogueCommands.h"

#include "QVRDateFormatter.h"
#include "catalogueTable.h"
#include "fdsnEventQueryController.h"
#include "originTableModel.h"
#include "serviceEndpoints.h"

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
    if (!c.setService(parser.value(o.service))) {
        QStringList names;
        for (const serviceEndpoints::fdsnEventService& s : serviceEndpoints::fdsnEventServices())
            names << QString::fromLatin1(s.name);
        return QStringLiteral("--service takes %1 or an http or https address")
            .arg(names.join(QStringLiteral(", ")));
    }
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
    const catalogueTable::catalogue* chosen = catalogueTable::catalogueNamed(source);
    if (!chosen)
        return refuse(QStringLiteral("unknown source '%1': use %2")
                          .arg(source, catalogueTable::commandLineNames()));
    std::unique_ptr<EQ_QueryController> controller = chosen->make();
    for (const auto& limit : {std::pair{&o.minMag, &EQ_QueryController::setMinMagnitude},
                              std::pair{&o.maxMag, &EQ_QueryController::setMaxMagnitude}}) {
        const auto setter = limit.second;
        if (complaint why = applyNumber(parser, *limit.first, [&controller, setter](float v) {
                (controller.get()->*setter)(v);
            }))
            return refuse(*why);
    }
    if (chosen->tag == catalogueTable::fdsnTag) {
        if (complaint why =
                applyFdsnSearch(parser, o, static_cast<fdsnEventQueryController&>(*controller)))
            return refuse(*why);
    } else if (chosen->tag == catalogueTable::pdeTag) {
        if (complaint why = applySearchLimits(parser, o, *controller))
            return refuse(*why);
    }

    QVRResult<EQ_QueryController::parsedOrigins> read =
        QVRResult<EQ_QueryController::parsedOrigins>::failure(QStringLiteral("nothing read"));
    if (parser.isSet(o.input)) {
        QFile file(parser.value(o.input));
        if (!file.open(QIODevice::ReadOnly)) {
            err << "Quorvel: cannot read " << file.fileName() << ": " << file.errorString() << "\n";
            return 2;
        }
        // A saved answer gives no detail documents to follow.
        read = controller->parseOrigins(file.readAll());
    } else {
        read = controller->fetchOrigins();
        if (read)
            controller->loadSideDocuments(read->origins);
    }
    if (!read) {
        err << "Quorvel: the " << source << " catalogue could not be loaded: " << read.error()
            << "\n";
        return 2;
    }
    controller->setSeismicOrigins(read->origins);
    result.origins = read->origins;
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
