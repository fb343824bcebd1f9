#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "duza_zovrena/pages/declaration.h"
#include "krl/controls/edit.h"
#include "krl/variant/variant.h"

namespace duza_zovrena::pages {

class ParameterPage;

// The three events of a code field, handled the same way for every field: StartDecode and
// StartLookup through the host's production objects, Validate (document fields) against the
// company's documents.
class CodeField {
  public:
    CodeField(ParameterPage& page, CodeFieldDef definition,
              std::shared_ptr<krl::controls::EditM> edit);

    const CodeFieldDef& definition() const { return definition_; }

    void StartDecode(krl::controls::DecodeRequest& request);
    void StartLookup(krl::controls::LookupRequest& request);
    void Validate(bool& cancel);

  private:
    std::string routine(std::string_view event) const;

    ParameterPage& page_;
    CodeFieldDef definition_;
    std::shared_ptr<krl::controls::EditM> edit_;
};

// The query that checks a typed document code: the company's document with its type and subtype.
// The company is written as it comes; the code without trailing blanks and with quotes doubled.
std::string controlloValiditaDocSql(const krl::Variant& company, std::string_view code);

// The lookup list of a field that accepts one document type with several subtypes: code,
// description and whether the definition is standard or customised (the two texts already
// translated for SQL).
std::string customDocumentLookupSql(std::string_view standardText, std::string_view customisedText,
                                    const krl::Variant& company, int type,
                                    std::span<const int> subtypes);

}  // namespace duza_zovrena::pages
