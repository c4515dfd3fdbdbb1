#include "engine/engine_values.h"

#include <algorithm>
#include <cmath>

namespace mv {

double VolumeGain(int value) {
    const double v = std::clamp(value, 0, 100) / 100.0;
    return v * v;
}

double SpeedFactor(int value) {
    return std::clamp(value, kSlowestSpeedValue, kFastestSpeedValue) / 1000.0;
}

double EqualizerFactor(std::int8_t bandValue) {
    return std::pow(10.0, 0.15 * bandValue / 20.0);
}

}  // namespace mv
