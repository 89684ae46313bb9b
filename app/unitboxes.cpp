#include "app/unitboxes.h"

#include <QDoubleSpinBox>

void applyLimitBoxes(const LimitBoxes &boxes, QDoubleSpinBox *high, QDoubleSpinBox *low)
{
    for (QDoubleSpinBox *box : {high, low})
        box->setRange(boxes.minimum, boxes.maximum);
    high->setValue(boxes.high);
    low->setValue(boxes.low);
}

void applyOffsetBox(const OffsetBox &box, QDoubleSpinBox *spinBox)
{
    spinBox->setDecimals(box.decimals);
    spinBox->setRange(box.minimum, box.maximum);
    spinBox->setSingleStep(box.singleStep);
    spinBox->setValue(box.value);
}
