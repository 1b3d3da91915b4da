#pragma once

class geoMapView;

// Where the user keeps the map's pictures and topography grid: the settings
// "map/pictureDirectory" and "map/topographyDirectory". The plotting library reads no settings,
// so the application hands these to each map before the map loads a picture or a grid.
namespace mapDirectories {

// Gives `map` the two directories; an unset one leaves the map's own default (the installed
// maps folder, and for the grid the picture directory).
void applyTo(geoMapView& map);

} // namespace mapDirectories
