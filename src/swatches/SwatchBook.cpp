#include "colour/TColor.h"
#include "swatches/SwatchBook.h"

namespace hw {

TColor SwatchBook::GetColor(int slot) const {
    return slot == 1 ? m_color1 : slot == 2 ? m_color2 : m_color3;
}

void SwatchBook::SetColor(int slot, TColor c) {
    (slot == 1 ? m_color1 : slot == 2 ? m_color2 : m_color3) = c;
}

const AnsiString& SwatchBook::GetCaption(int slot) const {
    return slot == 1 ? m_caption1 : slot == 2 ? m_caption2 : m_caption3;
}

void SwatchBook::SetCaption(int slot, const AnsiString& t) {
    (slot == 1 ? m_caption1 : slot == 2 ? m_caption2 : m_caption3) = t;
}

} // namespace hw
