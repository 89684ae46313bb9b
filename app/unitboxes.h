#pragma once

#include "measurement/unitrules.h"

class QDoubleSpinBox;

// The window's limit and offset boxes set from the unit rules of
// measurement/unitrules.h.

// Sets range, then value, on both boxes: a limit outside the type's range is
// shown at the range's end while the stored limit stays as it is.
void applyLimitBoxes(const LimitBoxes &boxes, QDoubleSpinBox *high, QDoubleSpinBox *low);

// Sets decimals, range, step and value, in that order (a spin box rounds its
// range and value to its decimals).
void applyOffsetBox(const OffsetBox &box, QDoubleSpinBox *spinBox);
