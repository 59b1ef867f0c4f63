#include "colour/Pallet.h"

#include "colour/ColorCodes.h"

namespace hw {

void Pallet::pick(TColor color) {
    SetColor(color);
    SetHexCode(ColorToHexCode(color));
}

} // namespace hw
