#pragma once

#include <optional>
#include <string>
#include <vector>

#include "krl/controls/control.h"
#include "krl/controls/event.h"

namespace krl::controls {

// KRL_COMBO: a list of rows (label shown, code stored). Its text is the code of the selected row.
// A code that no row holds (a value read from the database that the list does not know) is kept
// as the text with no row selected, so that showing a row never changes it.
class Combo : public Control {
  public:
    struct Row {
        std::string label;
        std::string value;
    };

    explicit Combo(std::string name);

    // Raised when the selected code changes (by the person, from code, or when the frame loads).
    Event<> ChangeRow;

    void clear();
    // The value is stored as its text ("0", "1"...; numbers and numeric text give the same code).
    void addRow(std::string label, const Variant& value);
    const std::vector<Row>& rows() const { return rows_; }

    // The option pages switch off after filling: when True the list also offers a blank choice
    // that clears the value (Null in the column).
    bool allowEmpty() const { return allowEmpty_; }
    void setAllowEmpty(bool value) { allowEmpty_ = value; }

    std::optional<std::size_t> selectedIndex() const;
    // The label of the selected row, "" when none.
    std::string selectedLabel() const;

    // The person chooses the row holding this code ("" chooses the blank row when allowed).
    InputResult userSelect(std::string_view value);

  protected:
    std::string normalise(std::string_view text) const override;
    void raiseChange() override { ChangeRow.raise(); }
    void clearEvents() override { ChangeRow.clear(); }

  private:
    std::optional<std::size_t> rowOf(std::string_view value) const;

    std::vector<Row> rows_;
    bool allowEmpty_ = true;
};

}  // namespace krl::controls
