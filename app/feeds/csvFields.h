#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The fields of one comma-separated line. A field in double quotes may hold commas, and ""
// inside it stands for one quote; the quotes themselves are removed.
QList<QString> csvFields(QStringView line);
