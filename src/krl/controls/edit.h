#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "krl/controls/control.h"
#include "krl/controls/event.h"
#include "krl/controls/frame.h"
#include "krl/controls/lookup.h"

namespace krl::controls {

// StartDecode's by-reference arguments. Cancel starts True: the decode runs only when a handler
// clears it and gives the SQL.
struct DecodeRequest {
    bool cancel = true;
    std::string sql;
    Variant extra;
    std::string connectionString;
};

// StartLookup's by-reference arguments; Cancel starts True as for the decode.
struct LookupRequest {
    bool cancel = true;
    std::string sql;
    Variant extra;
    std::string lookupText;
    std::string connectionString;
};

// An entry of the key-button menu.
struct KeyButtonMenuEntry {
    std::string key;  // "Kpers" + number
    std::string caption;
    bool enabled = true;
};

// TXT_EDITM: a text field with display format, maximum length, validation, and for code fields a
// decode into a description label and a lookup list.
//
// The person's text goes through userType (upper case for "Maiuscolo", cut at `maxchar`) and is
// validated when the field is left (userLeave): Validate(Cancel) may change the text; when it
// cancels, the focus stays and the bound column keeps its value. An accepted text goes to the data
// frame, raises Change, then StartDecode, and the control runs the decode: the SQL on a connection
// for the connection string, the second column of its first row (or "" when no row) into the
// description label. A text set from code or loaded by the frame is decoded the same way, so the
// description always matches the code shown.
class EditM : public Control {
  public:
    explicit EditM(std::string name);

    Event<bool&> Validate;
    Event<DecodeRequest&> StartDecode;
    Event<LookupRequest&> StartLookup;
    Event<const std::string&> KeyButtonMenuPress;
    Event<> Change;
    // A decode or lookup query that failed (the description is cleared, the list not shown).
    Event<const VbError&> QueryFailed;

    void setText(std::string_view text) override;

    // The label the decode writes into; none for fields without one.
    void setDescriptionLabel(const std::shared_ptr<Label>& label) { descriptionLabel_ = label; }
    std::shared_ptr<Label> descriptionLabel() const { return descriptionLabel_.lock(); }
    // The last decoded description.
    const std::string& description() const { return description_; }

    // The lookup property (the lookup's column description, given by the page).
    const Variant& lookup() const { return lookup_; }
    void setLookup(Variant value) { lookup_ = std::move(value); }

    // A field bound to a number column whose own validation turns any text into a number (an
    // empty or non-numeric text into its default): the host lets the person type anything.
    bool acceptsAnyText() const { return acceptsAnyText_; }
    void setAcceptsAnyText(bool value) { acceptsAnyText_ = value; }

    // The menu operation: adds an entry with the key "Kpers" + number.
    void addKeyButtonMenu(int number, std::string caption, bool enabled);
    const std::vector<KeyButtonMenuEntry>& keyButtonMenu() const { return menu_; }

    // Input entry points.
    InputResult userType(std::string_view text);
    InputResult userLeave();
    InputResult userEnter(std::string_view text);  // type, then leave
    // F3 or the key button: StartLookup, the list to the current lookup presenter, the chosen
    // code typed and validated.
    InputResult userLookup();
    InputResult userMenu(std::string_view key);
    bool pendingValidation() const { return pending_; }

    // The program starts the lookup (as the key-button menu handler does).
    InputResult startLookup();
    // Runs StartDecode and the decode for the current text.
    void decode();

  protected:
    // The text validated is turned into what the column stores; a refusal has put back the text
    // the field had, and the field is left as it was.
    virtual InputResult acceptTyped() { return InputResult::accept(); }
    std::string normalise(std::string_view text) const override;
    void raiseChange() override;
    void clearEvents() override;

  private:
    void showDescription(std::string description);

    std::weak_ptr<Label> descriptionLabel_;
    std::string description_;
    Variant lookup_;
    std::vector<KeyButtonMenuEntry> menu_;
    bool pending_ = false;     // typed text not validated yet
    bool validating_ = false;  // inside Validate
    bool acceptsAnyText_ = false;
};

// Upper case of UTF-8 text: ASCII letters and the accented Latin letters.
std::string upperText(std::string_view text);
// The first `count` characters (not bytes) of UTF-8 text.
std::string leftChars(std::string_view text, std::size_t count);

}  // namespace krl::controls
