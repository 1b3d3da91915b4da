#pragma once

#include <QString>

// The time units of the age fields and the age classes they make, shared by the map, the time
// line and the exports, so that an origin is as old everywhere.
namespace displayUnits {

// Seconds of the time unit at `index` of the units menu: minutes, hours, days, weeks, years
// (365 days); hours for an index outside 0…4.
double timeUnitSeconds(int index);

// The short name of the time unit at `index` ("min", "h", "d", "wk", "yr").
QString timeUnitAbbreviation(int index);

// The age class of an origin `age` old (in the unit of the cutoffs): 0 up to `recent`, 1 up to
// `older`, 2 beyond; the index of its colour among the recent, older and oldest colours.
int ageClass(double age, float recent, float older);

} // namespace displayUnits
