#include "EQ_QueryController.h"
#include "originTableViewLink.h"

#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include <cmath>

#include <gtest/gtest.h>

namespace {

std::shared_ptr<seismicOrigin> origin(const char* id, float lat, float lon, float depth,
                                      float mag) {
    auto o = std::make_shared<seismicOrigin>();
    o->setEventID(QString::fromUtf8(id));
    o->setLatitude(lat);
    o->setLongitude(lon);
    o->setDepth(depth);
    o->setMagnitude(mag);
    return o;
}

QStringList eventIDs(const originList& origins) {
    QStringList ids;
    for (const auto& o : origins)
        ids << o->eventID();
    return ids;
}

// The header's column index for a column identifier.
int columnOf(const EQ_QueryController& c, const char* identifier) {
    return int(const_cast<EQ_QueryController&>(c).tableModel()->columnIdentifiers().indexOf(
        QString::fromUtf8(identifier)));
}

} // namespace

TEST(QueryController, StartsWithTheBaseDefaultsAndLoadsNothing) {
    EQ_QueryController c;
    EXPECT_EQ(c.minMagnitude(), 3.0f);
    EXPECT_EQ(c.maxMagnitude(), 19.0f);
    EXPECT_EQ(c.minLatitude(), 0.0f);
    EXPECT_EQ(c.maxRadius(), 0.0f);
    EXPECT_FALSE(c.startDate().isValid());
    EXPECT_TRUE(c.seismicOrigins().isEmpty());
    EXPECT_EQ(c.controller(), nullptr);
    EXPECT_EQ(c.eventTableView(), nullptr);
    EXPECT_FALSE(c.loadEvents());
    EXPECT_EQ(c.numberOfRowsInTableView(), 0);

    // The list pointer is the controller's own list: changes through it are seen.
    c.getSeismicOriginsPointer()->append(origin("a", 0, 0, 0, 0));
    EXPECT_EQ(c.seismicOrigins().size(), 1);
    EXPECT_EQ(c.numberOfRowsInTableView(), 1);

    // Records are shared, not copied.
    const auto shared = origin("b", 1, 1, 1, 1);
    c.setSeismicOrigins({shared});
    shared->setDepth(99);
    EXPECT_EQ(c.seismicOrigins().first()->depth(), 99.0f);
    const auto latest = origin("c", 0, 0, 0, 0);
    c.setTheLatestOrigin(latest);
    EXPECT_EQ(c.theLatestOrigin(), latest);
}

TEST(QueryController, BoxTestIsInclusiveWithoutWrapAroundAndRejectsNaN) {
    EQ_QueryController c;
    c.setMinLatitude(-10);
    c.setMaxLatitude(10);
    c.setMinLongitude(20);
    c.setMaxLongitude(30);
    EXPECT_TRUE(c.isOriginInBox(*origin("in", 0, 25, 0, 0)));
    EXPECT_TRUE(c.isOriginInBox(*origin("north edge", 10, 25, 0, 0)));
    EXPECT_TRUE(c.isOriginInBox(*origin("south-west corner", -10, 20, 0, 0)));
    EXPECT_TRUE(c.isOriginInBox(*origin("east edge", 0, 30, 0, 0)));
    EXPECT_FALSE(c.isOriginInBox(*origin("just north", std::nextafter(10.0f, 11.0f), 25, 0, 0)));
    EXPECT_FALSE(c.isOriginInBox(*origin("just east", 0, std::nextafter(30.0f, 31.0f), 0, 0)));
    EXPECT_FALSE(c.isOriginInBox(*origin("nan latitude", std::nanf(""), 25, 0, 0)));
    EXPECT_FALSE(c.isOriginInBox(*origin("nan longitude", 0, std::nanf(""), 0, 0)));

    // Limits are compared as 32-bit floats: 10.1 as a float equals the float of 10.1.
    c.setMaxLatitude(10.1f);
    EXPECT_TRUE(c.isOriginInBox(*origin("float edge", float(10.1), 25, 0, 0)));

    // A box across the date line written west 170, east -170 holds nothing.
    c.setMinLongitude(170);
    c.setMaxLongitude(-170);
    for (float lon : {175.0f, 170.0f, -170.0f, -175.0f, 180.0f, 0.0f})
        EXPECT_FALSE(c.isOriginInBox(*origin("date line", 0, lon, 0, 0))) << lon;
}

TEST(QueryController, TableCellsFollowTheColumnIdentifiers) {
    EQ_QueryController c;
    auto o = origin("us7000abcd", 12.5f, -71.123456f, 10.0f, 5.44f);
    o->setOriginDateTime(QDateTime(QDate(2012, 5, 29), QTime(7, 0, 3), QTimeZone::utc()));
    o->setCatalog(QStringLiteral("USGS"));
    o->setLocationContributor(QStringLiteral("USGS-us"));
    o->setShortFlinnEngdahlString(QStringLiteral("NORTHERN ITALY"));
    o->setCsvRegionString(QStringLiteral("catalogue text"));
    c.setSeismicOrigins({o});

    EXPECT_EQ(c.tableViewObjectValueForTableColumn("1", 0), "2012-05-29 07:00:03 +0000");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("2", 0), "USGS");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("3", 0), " 12.500");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("4", 0), " -71.123");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("5", 0), " 10.0");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("6", 0), "  5.4");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("7", 0), "USGS-us");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("8", 0), "us7000abcd");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("9", 0), "NORTHERN ITALY");
    EXPECT_TRUE(c.tableViewObjectValueForTableColumn("10", 0).endsWith(" years"));
    for (const char* other : {"0", "11", "depth", "", "-3"})
        EXPECT_EQ(c.tableViewObjectValueForTableColumn(other, 0), "NA") << other;
    // Identifiers are read as the number they start with.
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("8 (id)", 0), "us7000abcd");

    // The age in the largest whole unit that fits, counted from now.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    auto weeks = origin("us1", 0, 0, 10, 5), days = origin("us2", 0, 0, 10, 5),
         hours = origin("us3", 0, 0, 10, 5), minutes = origin("us4", 0, 0, 10, 5);
    weeks->setOriginDateTime(now.addDays(-16));
    days->setOriginDateTime(now.addSecs(-(3 * 86400 + 3600)));
    hours->setOriginDateTime(now.addSecs(-(5 * 3600 + 600)));
    minutes->setOriginDateTime(now.addSecs(-(12 * 60 + 20)));
    c.setSeismicOrigins({weeks, days, hours, minutes});
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("10", 0), "2 weeks");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("10", 1), "3 days");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("10", 2), "5 hours");
    EXPECT_EQ(c.tableViewObjectValueForTableColumn("10", 3), "12 minutes");

    // The Qt model shows the same texts, and a non-numeric column is "NA" in every row.
    c.setSeismicOrigins({o, o});
    originTableModel* model = c.tableModel();
    model->setColumnIdentifiers({QStringLiteral("5"), QStringLiteral("region")});
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->index(1, 0).data().toString(), " 10.0");
    EXPECT_EQ(model->index(0, 1).data().toString(), "NA");
    EXPECT_EQ(model->index(1, 1).data().toString(), "NA");
}

TEST(QueryController, HeaderClicksSortAscendingThenAlternate) {
    EQ_QueryController c;
    c.setSeismicOrigins({origin("mid", 0, 0, 35, 5), origin("deep", 0, 0, 600, 4),
                         origin("shallow", 0, 0, 10, 6), origin("shallow too", 0, 0, 10, 7)});
    const int depth = columnOf(c, "5");
    const int catalogue = columnOf(c, "2");
    originTableModel* model = c.tableModel();

    c.tableViewMouseDownInHeaderOfTableColumn(depth);
    EXPECT_EQ(eventIDs(c.seismicOrigins()), (QStringList{"shallow", "shallow too", "mid", "deep"}));
    EXPECT_EQ(model->sortIndicatorColumn(), depth);
    EXPECT_TRUE(model->sortIndicatorAscending());

    c.tableViewMouseDownInHeaderOfTableColumn(depth);
    EXPECT_EQ(eventIDs(c.seismicOrigins()), (QStringList{"deep", "mid", "shallow", "shallow too"}));
    EXPECT_FALSE(model->sortIndicatorAscending());

    c.tableViewMouseDownInHeaderOfTableColumn(depth);
    EXPECT_EQ(eventIDs(c.seismicOrigins()), (QStringList{"shallow", "shallow too", "mid", "deep"}));
    EXPECT_TRUE(model->sortIndicatorAscending());

    // A column without an ordering flips its indicator and keeps the rows.
    const QStringList before = eventIDs(c.seismicOrigins());
    c.tableViewMouseDownInHeaderOfTableColumn(catalogue);
    EXPECT_EQ(model->sortIndicatorColumn(), catalogue);
    EXPECT_TRUE(model->sortIndicatorAscending());
    c.tableViewMouseDownInHeaderOfTableColumn(catalogue);
    EXPECT_FALSE(model->sortIndicatorAscending());
    EXPECT_EQ(eventIDs(c.seismicOrigins()), before);

    // Another column starts at ascending again; clearing removes the indicator.
    c.tableViewMouseDownInHeaderOfTableColumn(columnOf(c, "6"));
    EXPECT_EQ(eventIDs(c.seismicOrigins()), (QStringList{"deep", "mid", "shallow", "shallow too"}));
    c.clearTableSortImages();
    EXPECT_EQ(model->sortIndicatorColumn(), -1);

    // Each column sorts by its own value: the three events come in a different order in each.
    auto north = origin("north", 40, 30, 10, 5), equator = origin("equator", 0, -60, 100, 6),
         south = origin("south", -30, 0, 50, 4);
    north->setOriginDateTime(QDateTime(QDate(2024, 1, 2), QTime(0, 0), QTimeZone::utc()));
    equator->setOriginDateTime(QDateTime(QDate(2024, 1, 3), QTime(0, 0), QTimeZone::utc()));
    south->setOriginDateTime(QDateTime(QDate(2024, 1, 1), QTime(0, 0), QTimeZone::utc()));
    north->setFlinnEngdahlString(QStringLiteral("ALASKA"));
    equator->setFlinnEngdahlString(QStringLiteral("VANUATU"));
    south->setFlinnEngdahlString(QStringLiteral("CHILE"));
    const std::pair<const char*, QStringList> ascending[] = {
        {"1", {"south", "north", "equator"}}, {"3", {"south", "equator", "north"}},
        {"4", {"equator", "south", "north"}}, {"5", {"north", "south", "equator"}},
        {"6", {"south", "north", "equator"}}, {"9", {"north", "south", "equator"}}};
    for (const auto& [column, order] : ascending) {
        EQ_QueryController table;
        table.setSeismicOrigins({north, equator, south});
        table.tableViewMouseDownInHeaderOfTableColumn(columnOf(table, column));
        EXPECT_EQ(eventIDs(table.seismicOrigins()), order) << "column " << column;
    }
}

TEST(QueryController, ClicksOnARealTableHeaderSortAndShowTheIndicator) {
    EQ_QueryController c;
    c.setSeismicOrigins(
        {origin("mid", 0, 0, 35, 5), origin("deep", 0, 0, 600, 4), origin("shallow", 0, 0, 10, 6)});
    QTableView view;
    view.resize(900, 300);
    originTableViewLink::attach(*c.tableModel(), &view);
    c.setEventTableView(&view);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    QHeaderView* header = view.horizontalHeader();
    const int depth = columnOf(c, "5");
    const QPoint depthHeader(header->sectionViewportPosition(depth) +
                                 header->sectionSize(depth) / 2,
                             header->height() / 2);
    auto clickDepth = [&] {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, depthHeader);
    };

    clickDepth();
    EXPECT_EQ(eventIDs(c.seismicOrigins()), (QStringList{"shallow", "mid", "deep"}));
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), depth);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(view.model()->index(0, depth).data().toString(), " 10.0");

    clickDepth();
    EXPECT_EQ(eventIDs(c.seismicOrigins()), (QStringList{"deep", "mid", "shallow"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(view.model()->index(0, depth).data().toString(), "600.0");

    clickDepth();
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);

    c.clearTableSortImages();
    EXPECT_FALSE(header->isSortIndicatorShown());
}

TEST(QueryController, OneTableAtATimeShowsTheIndicator) {
    EQ_QueryController c;
    c.setSeismicOrigins({origin("mid", 0, 0, 35, 5), origin("deep", 0, 0, 600, 4)});
    const int depth = columnOf(c, "5");
    QTableView first;
    originTableViewLink::attach(*c.tableModel(), &first);
    EXPECT_EQ(c.eventTableView(), &first);
    {
        QTableView second;
        second.setModel(c.tableModel());
        c.setEventTableView(&second);
        c.tableViewMouseDownInHeaderOfTableColumn(depth);
        EXPECT_TRUE(second.horizontalHeader()->isSortIndicatorShown());
        EXPECT_EQ(second.horizontalHeader()->sortIndicatorSection(), depth);
        EXPECT_FALSE(first.horizontalHeader()->isSortIndicatorShown());
    }
    // The table went away: the model sorts on and answers that no table shows its indicator.
    EXPECT_EQ(c.eventTableView(), nullptr);
    c.tableViewMouseDownInHeaderOfTableColumn(depth);
    EXPECT_EQ(eventIDs(c.seismicOrigins()), (QStringList{"deep", "mid"}));
}
