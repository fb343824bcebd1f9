#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "krl/controls/edit.h"

namespace krl::host {
class Cinterface;
}

namespace krl::controls {

// Where an ID edit finds its rows: the table, the identifier the bound column stores, the code the
// person sees and types, and the company column.
struct IdSource {
    std::string table;         // sql_nometabella
    std::string idField;       // sql_idfield
    std::string textField;     // sql_textfield
    std::string companyField;  // sql_nomecampoditta
};

// TXT_EDITID: an edit whose column holds the numeric identifier of a row of another table while
// the person sees and types the row's code. A code typed is looked up among the company's rows: an
// unknown one is refused and the field shows again the code of the identifier it had. A stored
// identifier whose row is gone shows no code, and stays in the column until another code is typed.
// The company and the program interface (through which the host database is reached) are set by
// the page before the field is bound.
class EditId : public EditM {
  public:
    explicit EditId(std::string name);

    std::string typeName() const override { return "TXT_EDITID"; }

    const IdSource& source() const { return source_; }
    void setSource(IdSource value) { source_ = std::move(value); }
    std::int32_t company() const { return company_; }
    void setCompany(std::int32_t value) { company_ = value; }
    std::shared_ptr<host::Cinterface> programInterface() const { return programInterface_; }
    void setProgramInterface(std::shared_ptr<host::Cinterface> value) {
        programInterface_ = std::move(value);
    }

    // The identifier as the column holds it ("" for none).
    std::string columnText() const override { return id_; }
    void loadColumn(std::string_view value) override;

  protected:
    InputResult acceptTyped() override;

  private:
    // The first column of the first row, "" when there is none.
    std::string firstValue(const std::string& sql) const;

    IdSource source_;
    std::int32_t company_ = 0;
    std::shared_ptr<host::Cinterface> programInterface_;
    std::string id_;
    std::string code_;  // the code shown for id_
};

// The queries of the ID edit: the identifier of a code of the company, the code of an identifier.
// The code without trailing blanks and with quotes doubled; the identifier as a whole number.
std::string idOfCodeSql(const IdSource& source, std::int32_t company, std::string_view code);
std::string codeOfIdSql(const IdSource& source, std::int32_t company, std::int64_t id);

}  // namespace krl::controls
