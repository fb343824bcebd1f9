#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/pages/declaration.h"
#include "krl/controls/edit.h"
#include "krl/variant/variant.h"

namespace krl::host {
class ClsDecodeProduzione;
class ClsLookupProduzione;
struct DecodeQuery;
struct LookupQuery;
}  // namespace krl::host

namespace duza_zovrena::pages {

class CodeField;
class ParameterPage;

// How a kind of code field is decoded, listed and checked, and the column kind it sits on.
struct CodeKindBehaviour {
    CodeKind kind;
    data::ColumnKind column;
    krl::host::DecodeQuery (*decode)(krl::host::ClsDecodeProduzione& decode, std::string_view code,
                                     std::string_view label);
    krl::host::LookupQuery (*lookup)(krl::host::ClsLookupProduzione& lookup,
                                     const CodeFieldDef& field);
    // Validate of a field with a code typed; null when the kind has no check.
    void (*validate)(CodeField& field, const std::string& code, bool& cancel);
};

// The behaviour of a kind; every kind has one.
const CodeKindBehaviour& codeKind(CodeKind kind);

// The three events of a code field, handled the same way for every field of a kind: StartDecode
// and StartLookup through the host's production objects, Validate by the kind's check.
class CodeField {
  public:
    CodeField(ParameterPage& page, CodeFieldDef definition,
              std::shared_ptr<krl::controls::EditM> edit);

    const CodeFieldDef& definition() const { return definition_; }

    void StartDecode(krl::controls::DecodeRequest& request);
    void StartLookup(krl::controls::LookupRequest& request);
    void Validate(bool& cancel);

    // The rule of byDocumentKind for the page's document type text; null when the field has none.
    const DocumentKindRule* documentRule() const;

    ParameterPage& page() { return page_; }
    krl::controls::EditM& edit() { return *edit_; }
    std::string routine(std::string_view event) const;

  private:
    ParameterPage& page_;
    CodeFieldDef definition_;
    std::shared_ptr<krl::controls::EditM> edit_;
};

// The lookup list of a field that accepts documents of several types: code, description and
// whether the definition is standard or customised.
std::string mixedDocumentLookupSql(std::string_view standardText, std::string_view customisedText,
                                   const krl::Variant& company,
                                   std::span<const DocumentKind> kinds);

// The query that checks a typed document code: the company's document with its type and subtype.
// The company is written as it comes; the code without trailing blanks and with quotes doubled.
std::string controlloValiditaDocSql(const krl::Variant& company, std::string_view code);

// The query a field that accepts several subtypes runs in its own check: the same rows, the join
// written from the company's side, the code trimmed on both sides with quotes doubled.
std::string severalSubtypesCheckSql(const krl::Variant& company, std::string_view code);

// The lookup list of a field that accepts one document type with several subtypes: code,
// description and whether the definition is standard or customised (the two texts already
// translated for SQL).
std::string customDocumentLookupSql(std::string_view standardText, std::string_view customisedText,
                                    const krl::Variant& company, int type,
                                    std::span<const int> subtypes);

}  // namespace duza_zovrena::pages
