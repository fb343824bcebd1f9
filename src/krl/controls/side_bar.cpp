#include "krl/controls/side_bar.h"

namespace krl::controls {

SideBar::SideBar(std::string name) : Control(Kind::SideBar, std::move(name)) {}

void SideBar::initialise(ObjectPtr programInterface, bool expandAll) {
    programInterface_ = std::move(programInterface);
    expandAll_ = expandAll;
    initialised_ = true;
    for (auto& group : groups_) {
        group.expanded = expandAll_;
    }
}

void SideBar::addGroup(std::string key, std::string caption) {
    for (const auto& group : groups_) {
        if (group.key == key) {
            err::raise(err::InvalidProcedureCall, "Gruppo già presente: " + key);
        }
    }
    groups_.push_back({std::move(key), std::move(caption), expandAll_, {}});
}

void SideBar::addItem(std::string_view groupKey, std::string key, std::string caption) {
    if (item(key) != nullptr) {
        err::raise(err::InvalidProcedureCall, "Voce già presente: " + key);
    }
    for (auto& group : groups_) {
        if (group.key == groupKey) {
            group.items.push_back({std::move(key), std::move(caption), true});
            return;
        }
    }
    err::raise(err::InvalidProcedureCall, "Gruppo inesistente: " + std::string(groupKey));
}

SideBar::Item* SideBar::find(std::string_view groupKey, std::string_view itemKey) {
    for (auto& group : groups_) {
        if (group.key != groupKey) {
            continue;
        }
        for (auto& entry : group.items) {
            if (entry.key == itemKey) {
                return &entry;
            }
        }
    }
    return nullptr;
}

SideBar::Group* SideBar::groupOf(std::string_view itemKey) {
    for (auto& group : groups_) {
        for (const auto& entry : group.items) {
            if (entry.key == itemKey) {
                return &group;
            }
        }
    }
    return nullptr;
}

const SideBar::Item* SideBar::item(std::string_view groupKey, std::string_view itemKey) const {
    return const_cast<SideBar*>(this)->find(groupKey, itemKey);
}

const SideBar::Item* SideBar::item(std::string_view itemKey) const {
    Group* group = const_cast<SideBar*>(this)->groupOf(itemKey);
    return group != nullptr ? const_cast<SideBar*>(this)->find(group->key, itemKey) : nullptr;
}

void SideBar::setItemEnabled(std::string_view groupKey, std::string_view itemKey, bool enabled) {
    if (Item* entry = find(groupKey, itemKey)) {
        entry->enabled = enabled;
    }
}

bool SideBar::choose(Group& group, const Item& chosen) {
    if (!chosen.enabled) {
        return false;
    }
    selected_ = chosen.key;
    if (!expandAll_) {
        group.expanded = true;
    }
    // The handler may change the bar (enable items, select another): raise a copy.
    Item copy = chosen;
    OnClickItemLink.raise(copy);
    return true;
}

bool SideBar::select(std::string_view groupKey, std::string_view itemKey) {
    Item* entry = find(groupKey, itemKey);
    if (entry == nullptr) {
        return false;
    }
    return choose(*groupOf(itemKey), *entry);
}

InputResult SideBar::userClick(std::string_view itemKey) {
    if (!effectivelyVisible() || !effectivelyEnabled()) {
        return InputResult::ignore();
    }
    Group* group = groupOf(itemKey);
    if (group == nullptr) {
        return InputResult::ignore();
    }
    Item* entry = find(group->key, itemKey);
    return choose(*group, *entry) ? InputResult::accept() : InputResult::ignore();
}

void SideBar::terminate() {
    Control::terminate();
    programInterface_.reset();
    initialised_ = false;
}

}  // namespace krl::controls
