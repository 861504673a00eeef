#pragma once
// The largest picture the program makes: a full frame of the largest sensor it drives, either
// way round. Anything read from disk that claims more is refused before it is decoded, so a
// damaged or hostile header cannot make the program allocate gigabytes.

#include <QtGlobal>

namespace picturelimits {

constexpr int kSensorWidth = 4656;
constexpr int kSensorHeight = 3136;
// Pictures are grey, BGR or BGRA.
constexpr int kMaxChannels = 4;

// width x height fits the largest sensor, landscape or portrait.
constexpr bool fitsSensor(qint64 width, qint64 height)
{
    return width > 0 && height > 0
           && ((width <= kSensorWidth && height <= kSensorHeight) || (width <= kSensorHeight && height <= kSensorWidth));
}

} // namespace picturelimits
