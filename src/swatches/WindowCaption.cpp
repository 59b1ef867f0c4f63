#include "swatches/WindowCaption.h"

namespace hw {

std::string WindowCaption::compose() const {
    if (!bookName.empty() && !pageName.empty()) return "Huewright - " + bookName + " | " + pageName;
    return "Huewright - " + bookName + pageName;
}

} // namespace hw
