#pragma once

class fkArrayAnalysis;
class qvrFKImageView;

// Hands an analysis's relative power to the FK view, as the window and the command line
// show it.
namespace fkPowerGrid {

void showIn(qvrFKImageView& view, const fkArrayAnalysis& analysis);

} // namespace fkPowerGrid
