#pragma once

#include <QString>

// Where the user keeps the map's pictures and topography grid: the settings
// "map/pictureDirectory" and "map/topographyDirectory". The plotting library reads no settings,
// so whoever makes a map hands these to it before the map loads a picture or a grid.
namespace mapDirectories {

// The two directories; empty when unset, which leaves the map its own default (the installed
// maps folder, and for the grid the picture directory).
QString pictureDirectory();
QString topographyDirectory();

// Gives `map` (a map view) the two directories. Written for any map so that the settings need
// not know the map view: the code that makes a map instantiates it.
template <typename Map>
void applyTo(Map& map) {
    map.setPictureDirectory(pictureDirectory());
    map.setTopographyDirectory(topographyDirectory());
}

} // namespace mapDirectories
