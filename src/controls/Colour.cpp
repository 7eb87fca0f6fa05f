#include "controls/Colour.h"

#include "base/Error.h"
#include "base/Text.h"

#include <limits>

namespace tessaly {

std::uint32_t ColourFromValue(const PropertyValue& value) {
    const std::int64_t number = ToInt(value);
    if (number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::uint32_t>::max())
        throw Error(error::kTypeMismatch, "not a 32-bit colour: " + WideToUtf8(ToText(value)));
    return static_cast<std::uint32_t>(number);
}

} // namespace tessaly
