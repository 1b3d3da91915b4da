#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

// Reads XML property lists (the "Root.plist" and "appDefaults.plist" resources): dict becomes
// a QVariantMap, array a QVariantList, string, integer, real, true/false, date and data their
// Qt values. None, with the reason in `error`, for text that is not such a list.
namespace propertyList {
std::optional<QVariant> read(const QByteArray& xml, QString* error = nullptr);
}
