#include "krl/controls/grid_nav.h"

#include <algorithm>

namespace krl::controls {

namespace {

bool isMove(std::string_view key) {
    return key == "primo" || key == "precedente" || key == "successivo" || key == "ultimo";
}

}  // namespace

GridNav::GridNav(std::string name) : Control(Kind::GridNav, std::move(name)) {
    for (const char* key : {"primo", "precedente", "successivo", "ultimo", "apri", "nuovo",
                            "elimina", "indietro", "avanti", "Conferma", "Annulla"}) {
        buttons_.push_back({key, key, {}, true, true});
    }
}

GridNav::Button* GridNav::find(std::string_view key) {
    auto it = std::find_if(buttons_.begin(), buttons_.end(),
                           [key](const Button& b) { return b.key == key; });
    return it == buttons_.end() ? nullptr : &*it;
}

const GridNav::Button* GridNav::button(std::string_view key) const {
    return const_cast<GridNav*>(this)->find(key);
}

void GridNav::addButton(std::string key, std::string caption, std::string image,
                        std::string_view beforeKey) {
    if (Button* existing = find(key)) {
        existing->caption = std::move(caption);
        existing->image = std::move(image);
        return;
    }
    auto before = std::find_if(buttons_.begin(), buttons_.end(),
                               [beforeKey](const Button& b) { return b.key == beforeKey; });
    buttons_.insert(before, {std::move(key), std::move(caption), std::move(image), true, true});
}

void GridNav::setButtonEnabled(std::string_view key, bool enabled) {
    if (Button* b = find(key)) {
        b->enabled = enabled;
    }
}

void GridNav::setButtonVisible(std::string_view key, bool visible) {
    if (Button* b = find(key)) {
        b->visible = visible;
    }
}

bool GridNav::buttonUsable(std::string_view key) const {
    const Button* b = button(key);
    if (b == nullptr || !b->enabled || !b->visible) {
        return false;
    }
    if (isMove(key) && navigationLocked_) {
        return false;
    }
    if (key == "Conferma" || key == "Annulla") {
        auto target = frame();
        return target && target->status() != 0;
    }
    return true;
}

InputResult GridNav::userClick(std::string_view key) {
    if (!effectivelyVisible() || !effectivelyEnabled() || !buttonUsable(key)) {
        return InputResult::ignore();
    }
    return press(key) ? InputResult::accept() : InputResult::refuse({});
}

bool GridNav::press(std::string_view key) {
    std::string pressed(key);
    bool cancel = false;
    ButtonClick.raise(cancel, pressed);
    if (cancel) {
        return false;
    }
    auto target = frame();
    if (!target) {
        return true;
    }
    if (key == "primo") {
        return target->move(Move::First);
    }
    if (key == "precedente") {
        return target->move(Move::Previous);
    }
    if (key == "successivo") {
        return target->move(Move::Next);
    }
    if (key == "ultimo") {
        return target->move(Move::Last);
    }
    if (key == "nuovo") {
        return target->addNew();
    }
    if (key == "elimina") {
        return target->deleteCurrent();
    }
    if (key == "Conferma") {
        return target->confirm();
    }
    if (key == "Annulla") {
        return target->undo();
    }
    return true;
}

void GridNav::terminate() {
    Control::terminate();
    programInterface_.reset();
    frame_.reset();
}

}  // namespace krl::controls
