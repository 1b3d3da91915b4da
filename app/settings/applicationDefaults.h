#pragma once

#include <QByteArray>
#include <QVariantMap>

// The settings Quorvel starts from: the default values of the settings description
// ("Settings.bundle/Root.plist"), then the 24 fixed defaults (which win), then the defaults
// file ("appDefaults.plist", registered later, so its values win again). All fixed defaults
// are texts; "minSeachMag" is spelled so.
namespace applicationDefaults {

// The settings description's defaults with the fixed ones laid over them.
QVariantMap registrationDefaults(const QByteArray& rootPlist);
QVariantMap fixedDefaults();

// Registers both files from the program's resources with the standard user defaults.
void registerApplicationDefaults();

} // namespace applicationDefaults
