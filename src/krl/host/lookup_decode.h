#pragma once

// The host's lookup and decode objects for production codes (documents, deposits, worker
// qualifications) and for the priority tables of parametric price lists.
//
// A decode prepares what a code field's edit control runs to describe the code just typed: the
// control runs the SQL on the host database and shows the second column of the first row in the
// field's description label (nothing found: an empty description). A lookup prepares the list the
// person chooses from: the SQL's rows, the first column being the code.
//
// Every object is given the program interface, through which it reads the current company and the
// host database's connection string (the global object). The SQL is T-SQL with WITH (NOLOCK); on
// SQLite the data layer translates it. Codes are written as text literals with trailing blanks
// removed and single quotes doubled; the company as a number.

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "krl/variant/variant.h"

namespace krl::ado {
class Connection;
}

namespace krl::host {

class Cinterface;

// What a decode hands the edit control: the SQL it runs and the decode's parameter list (an array:
// the code as given, then the description label's name or Null when there is none).
struct DecodeQuery {
    std::string sql;
    Variant extra;
};

// What a lookup hands the edit control: the SQL of the list, its parameter list (an array of the
// filter values, Empty where no filter), the list's title, and the column description (an array of
// column captions, in the order of the SQL's columns).
struct LookupQuery {
    std::string sql;
    Variant extra;
    std::string text;
    Variant columns;
};

// A lookup column's caption: its message id in the host's catalogue (0 for none) and the text
// shown when there is no catalogue.
struct LookupCaption {
    long messageId;
    const char* text;
};

// What the objects share: the program interface they were given and the company and connection
// string read through it; a connection of their own for the checks they run.
class HostQueryObject : public krl::Object {
  public:
    ~HostQueryObject() override;

    // Null releases the program interface (the window does so before releasing the object).
    void setProgramInterface(std::shared_ptr<Cinterface> programInterface);
    std::shared_ptr<Cinterface> programInterface() const { return programInterface_; }

    // The release operation: closes the object's own connection, if it opened one.
    void release();

  protected:
    // The captions of a lookup's columns, translated by the host's message service when there is
    // one, as the column description of the lookup.
    Variant captions(std::initializer_list<LookupCaption> list) const;

    // The current company as a SQL number literal. Raises 91 without a program interface or global
    // object, 13 when the company is not a number.
    std::string companyLiteral(const Variant& company = {}) const;
    // The host database's connection string.
    std::string connectionString() const;
    // A connection to the host database, opened on first use (and again when found closed).
    krl::ado::Connection& connection();

  private:
    std::shared_ptr<Cinterface> programInterface_;
    std::shared_ptr<krl::ado::Connection> connection_;
};

// A code as a T-SQL text literal: trailing blanks removed, quotes doubled, in single quotes.
std::string codeLiteral(std::string_view code);

// Decodes of production codes.
class ClsDecodeProduzione : public HostQueryObject {
  public:
    // A company document (MG3G_DOCDITTA) described by its definition (MG36_DOCUMENTI).
    DecodeQuery decodeDocument(std::string_view code, std::string_view descriptionLabel);
    // A deposit of the company (MG58_DEPOSITI); descriptionLabel empty when the field has none.
    DecodeQuery decodeDeposit(std::string_view code, std::string_view descriptionLabel = {});
    // A worker qualification of the company (PD04_QUALIFICHE).
    DecodeQuery decodeQualification(std::string_view code, std::string_view descriptionLabel);
    // True when the qualification is to be refused: not blank and unknown for the company.
    bool qualificationRefused(std::string_view code);
};

// Lookup lists of production codes. The last, optional argument of each lookup names another
// company to list instead of the current one.
class ClsLookupProduzione : public HostQueryObject {
  public:
    // The company's documents, of the given type and subtype when they are not Empty.
    LookupQuery lookupDocuments(const Variant& type = {}, const Variant& subtype = {},
                                const Variant& company = {});
    LookupQuery lookupDeposits(const Variant& company = {});
    LookupQuery lookupQualifications(const Variant& company = {});
};

// Priority tables of parametric price lists (LP09_TESTATAPRIORITA): the person types the code,
// the column stores the id.
class ClsDecodeListiniParametrici : public HostQueryObject {
  public:
    DecodeQuery decodePriorityTable(std::string_view code, std::string_view descriptionLabel);
    // LP09_ID of the company's table with that code; Null when there is none (or the code is
    // blank).
    Variant idOfCode(std::string_view code);
    // LP09_CODICE of the company's table with that id; Null when there is none.
    Variant codeOfId(const Variant& id);
};

class ClsLookupListiniParametrici : public HostQueryObject {
  public:
    // Code, description and id of the company's tables.
    LookupQuery lookupPriorityTables(const Variant& company = {});
};

}  // namespace krl::host
