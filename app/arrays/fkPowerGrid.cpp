#include "fkPowerGrid.h"

#include "fkArrayAnalysis.h"
#include "qvrFKImageView.h"

namespace fkPowerGrid {

void showIn(qvrFKImageView& view, const fkArrayAnalysis& analysis) {
    // The analysis keeps its most southern row first; the view's row 0 is its top.
    const int side = analysis.gridSide();
    std::vector<float> rows;
    rows.reserve(analysis.relativePower().size());
    for (int row = side - 1; row >= 0; --row) {
        for (int column = 0; column < side; ++column)
            rows.push_back(analysis.relativePowerAt(column, row));
    }
    const float edge = float(analysis.slownessAt(side - 1));
    view.setSlownessLimits(-edge, edge, -edge, edge);
    view.setPowerGrid(std::move(rows), side, side);
}

} // namespace fkPowerGrid
