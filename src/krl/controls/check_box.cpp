#include "krl/controls/check_box.h"

namespace krl::controls {

CheckBox::CheckBox(std::string name, std::string caption)
    : Control(Kind::CheckBox, std::move(name)) {
    setCaption(std::move(caption));
    storeText("0");
}

std::string CheckBox::normalise(std::string_view text) const {
    return numericValue(Variant(text)) != 0 ? "1" : "0";
}

InputResult CheckBox::userClick() {
    if (auto check = checkInput(); !check.accepted()) {
        return check;
    }
    return commitUserValue(checked() ? "0" : "1");
}

}  // namespace krl::controls
