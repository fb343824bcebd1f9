#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "krl/controls/control.h"
#include "krl/controls/event.h"
#include "krl/variant/variant.h"

namespace krl::controls {

// KRL_SIDEBAR: groups of items, each found by key. One item is the selected one (the page shown).
class SideBar : public Control {
  public:
    struct Item {
        std::string key;
        std::string caption;
        bool enabled = true;
    };
    struct Group {
        std::string key;
        std::string caption;
        bool expanded = false;
        std::vector<Item> items;
    };

    explicit SideBar(std::string name);

    // Raised with the item when the person clicks an enabled item or the program selects one.
    Event<const Item&> OnClickItemLink;

    // Keeps the program interface; with expandAll True every group is shown open, otherwise only
    // the group of the selected item.
    void initialise(ObjectPtr programInterface, bool expandAll);
    const ObjectPtr& programInterface() const { return programInterface_; }
    bool initialised() const { return initialised_; }

    // The definition: groups and their items in display order. Keys are unique across the bar.
    void addGroup(std::string key, std::string caption);
    void addItem(std::string_view groupKey, std::string key, std::string caption);
    const std::vector<Group>& groups() const { return groups_; }
    const Item* item(std::string_view groupKey, std::string_view itemKey) const;
    const Item* item(std::string_view itemKey) const;

    // Enables or disables an item; an unknown key does nothing.
    void setItemEnabled(std::string_view groupKey, std::string_view itemKey, bool enabled);

    // Selects the item and raises OnClickItemLink, as a click would. False, and nothing happens,
    // when the item is unknown or disabled.
    bool select(std::string_view groupKey, std::string_view itemKey);
    const std::string& selectedKey() const { return selected_; }

    // The person clicks an item: ignored when the bar or the item is disabled.
    InputResult userClick(std::string_view itemKey);

    // Also lets go of the program interface.
    void terminate() override;

  protected:
    void clearEvents() override { OnClickItemLink.clear(); }

  private:
    Group* groupOf(std::string_view itemKey);
    Item* find(std::string_view groupKey, std::string_view itemKey);
    bool choose(Group& group, const Item& item);

    ObjectPtr programInterface_;
    bool initialised_ = false;
    bool expandAll_ = false;
    std::vector<Group> groups_;
    std::string selected_;
};

}  // namespace krl::controls
