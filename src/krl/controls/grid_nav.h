#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "krl/controls/control.h"
#include "krl/controls/event.h"
#include "krl/variant/variant.h"

namespace krl::controls {

enum class Move { First, Previous, Next, Last };

// What a navigator bar does on its data frame (the data frame implements it).
class NavigatorTarget {
  public:
    virtual ~NavigatorTarget() = default;
    virtual int status() const = 0;
    virtual bool addNew() = 0;
    virtual bool move(Move where) = 0;
    virtual bool deleteCurrent() = 0;  // asks the person first
    virtual bool confirm() = 0;
    virtual bool undo() = 0;
};

// KRL_GRIDNAV: the record-navigation bar of a data frame.
//
// Buttons and their default action on the bar's frame, performed after ButtonClick when it was not
// cancelled: "primo", "precedente", "successivo", "ultimo" move; "nuovo" adds a row; "elimina"
// deletes the current row (the frame asks first); "Conferma" confirms and "Annulla" undoes the
// changes. "apri", "indietro", "avanti" and buttons added with addButton only raise ButtonClick.
class GridNav : public Control {
  public:
    struct Button {
        std::string key;
        std::string caption;
        std::string image;
        bool enabled = true;
        bool visible = true;
    };

    explicit GridNav(std::string name);

    // Cancel starts False; a handler that sets it stops the default action.
    Event<bool&, const std::string&> ButtonClick;

    const std::vector<Button>& buttons() const { return buttons_; }
    const Button* button(std::string_view key) const;
    // The button operation: adds a button before the button `beforeKey` (at the end when there
    // is none). A key already present only takes the new caption and image.
    void addButton(std::string key, std::string caption, std::string image,
                   std::string_view beforeKey);
    void setButtonEnabled(std::string_view key, bool enabled);
    void setButtonVisible(std::string_view key, bool visible);
    // Whether the person can press the button now: the button is enabled and visible, the moves
    // are not locked, and "Conferma"/"Annulla" only while the frame has changes (status not 0).
    bool buttonUsable(std::string_view key) const;

    // The bar's switch: while True the four move buttons are locked (the frame shows one row and
    // stays on it). The window turns it on and off.
    bool navigationLocked() const { return navigationLocked_; }
    void setNavigationLocked(bool value) { navigationLocked_ = value; }

    const ObjectPtr& programInterface() const { return programInterface_; }
    void setProgramInterface(ObjectPtr value) { programInterface_ = std::move(value); }
    std::shared_ptr<NavigatorTarget> frame() const { return frame_.lock(); }
    void setFrame(const std::shared_ptr<NavigatorTarget>& frame) { frame_ = frame; }

    // The person presses a button.
    InputResult userClick(std::string_view key);
    // ButtonClick, then the default action unless cancelled; true when the action was done (or
    // the button has none).
    bool press(std::string_view key);

    // Also lets go of the program interface and the frame.
    void terminate() override;

  protected:
    void clearEvents() override { ButtonClick.clear(); }

  private:
    Button* find(std::string_view key);

    std::vector<Button> buttons_;
    bool navigationLocked_ = false;
    ObjectPtr programInterface_;
    std::weak_ptr<NavigatorTarget> frame_;
};

}  // namespace krl::controls
