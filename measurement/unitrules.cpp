#include "measurement/unitrules.h"

#include "instrument/temperature.h"

#include <algorithm>
#include <cmath>

namespace {

// A difference of one degree Celsius in degrees Fahrenheit.
constexpr double kFahrenheitPerCelsius = 1.8;

// Box limits of an offset: the instrument accepts -50 to 50 tenths, that is
// -5 to 5 degrees Celsius or -9 to 9 degrees Fahrenheit.
constexpr double kOffsetLimitCelsius = 5.0;
constexpr double kOffsetLimitFahrenheit = 9.0;

} // namespace

LimitBoxes limitBoxes(int typeCode, float highLimit, float lowLimit, int unit)
{
    const TypeRange range = typeRange(typeCode);
    LimitBoxes boxes;
    // int() truncates towards zero: 1372 degrees Celsius is 2501.6 in
    // Fahrenheit and gives 2501, -200 is 73.15 in Kelvin and gives 73.
    boxes.minimum = int(celsiusToUnit(float(range.lowest), unit));
    boxes.maximum = int(celsiusToUnit(float(range.highest), unit));
    boxes.high = celsiusToUnit(highLimit, unit);
    boxes.low = celsiusToUnit(lowLimit, unit);
    return boxes;
}

LimitEdit editHighLimit(double boxValue, float lowLimit, int unit)
{
    const float v = unitToCelsius(float(boxValue), unit);
    LimitEdit edit;
    edit.limit = std::max(v, lowLimit);
    edit.rewriteBox = edit.limit != v;
    edit.boxValue = edit.rewriteBox ? double(celsiusToUnit(edit.limit, unit)) : boxValue;
    return edit;
}

LimitEdit editLowLimit(double boxValue, float highLimit, int unit)
{
    const float v = unitToCelsius(float(boxValue), unit);
    LimitEdit edit;
    edit.limit = std::min(v, highLimit);
    edit.rewriteBox = edit.limit != v;
    edit.boxValue = edit.rewriteBox ? double(celsiusToUnit(edit.limit, unit)) : boxValue;
    return edit;
}

OffsetBox offsetBox(qint8 offsetTenths, int unit)
{
    OffsetBox box;
    if (unit == UnitFahrenheit) {
        box.minimum = -kOffsetLimitFahrenheit;
        box.maximum = kOffsetLimitFahrenheit;
        box.decimals = 2;
        box.singleStep = kFahrenheitPerCelsius / 10;
        box.value = offsetTenths * 0.18;
    } else {
        box.minimum = -kOffsetLimitCelsius;
        box.maximum = kOffsetLimitCelsius;
        box.decimals = 1;
        box.singleStep = 0.1;
        box.value = offsetTenths / 10.0;
    }
    return box;
}

qint8 offsetTenthsFromBox(double boxValue, int unit)
{
    // The Fahrenheit difference is divided in double precision: going through
    // an absolute temperature (value x 10 + 32) held in single precision
    // would turn 0.18 into 0.9999996 tenths and truncate it to 0.
    const double tenths =
        unit == UnitFahrenheit ? boxValue * 10 / kFahrenheitPerCelsius : boxValue * 10;
    // Rounding to single precision absorbs the last-bit errors of the decimal
    // box value (0.18 x 10 / 1.8 = 0.9999999999999999) before the truncation.
    const float t = float(tenths);
    if (!(std::fabs(t) < 2147483648.0f))
        return 0;
    const int low8 = int(t) & 0xFF;
    return qint8(low8 >= 0x80 ? low8 - 0x100 : low8);
}
