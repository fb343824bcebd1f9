#pragma once

// A parameter page as one declaration: where it sits in the side bar, the record it edits, the
// members the window sets on it, its Initialize steps, frames, controls, value lists, code fields
// and rules. The list of declarations (page_list.h) drives the registry, the side bar, the window's
// wiring and the print sheet.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "krl/variant/variant.h"

namespace duza_zovrena::pages {

class Page;
class ParameterPage;
class DocumentPage;

// Message ids of the page protocol.
namespace msg {
inline constexpr long NoActiveInterface = 5253;
inline constexpr long NoVirtualFrame = 60933;
inline constexpr long NoRecord = 48162;
inline constexpr long NoConnection = 15170;
inline constexpr long NoDecode = 38285;
inline constexpr long NoLookup = 38292;
inline constexpr long DocumentNotValid = 23389;
inline constexpr long NoErrorLog = 11081;
inline constexpr long Standard = 55020;
inline constexpr long Personalizzato = 44336;
inline constexpr long QualificationRefused = 38292;
}  // namespace msg

// The steps of Initialize: the checks of the members the window set, then the preparation.
enum class InitializeStep {
    ActiveInterface,
    VirtualFrame,
    Recordset,
    Connection,
    ClsDecodeProduzione,
    ClsLookupProduzione,
    ClsDecodeListiniParametrici,
    ClsLookupListiniParametrici,
    FillCombos,
    InitializeEditId,  // the ID edits get the company and the program interface
    AddVirtualFrameControl,
    InitializeScriptObjectModel,
};

struct InitializeCheck {
    InitializeStep step;
    long messageId = 0;  // shown when the check fails; 0 for the preparation steps
};

// The steps in the order given, each check with its usual message id.
std::vector<InitializeCheck> initializeSteps(std::initializer_list<InitializeStep> steps);

// A frame of the page, inside `parent` (the page itself when empty); resizeMode 0 when the frame
// is not registered with the resize control.
struct FrameDef {
    std::string_view name;
    std::string_view caption;
    std::string_view parent;
    int resizeMode = 0;
};

// Design-time properties of a bound control, written as Design{}.required().byDefault(0).
struct Design {
    bool mandatory = false;
    std::optional<std::int16_t> defaultValue;
    bool enabled = true;
    bool visible = true;

    Design required() const {
        Design copy = *this;
        copy.mandatory = true;
        return copy;
    }
    Design byDefault(std::int16_t value) const {
        Design copy = *this;
        copy.defaultValue = value;
        return copy;
    }
    Design disabled() const {
        Design copy = *this;
        copy.enabled = false;
        return copy;
    }
    Design hidden() const {
        Design copy = *this;
        copy.visible = false;
        return copy;
    }
};

// A control of the page in its frame, named with the column it shows. The column's definition
// gives the rest: its kind (a flag is a check box, an indicator a combo, codes and numbers an
// edit), the characters it takes, upper case for codes, the caption. Without a column the control
// is a label showing `label`.
struct ControlDef {
    std::string_view frame;
    std::string_view name;
    std::string_view column;
    std::string_view label;  // the label shown beside the control
    Design design = {};
};

// The rows of a combo as FillCombos adds them: (label, code).
struct ComboRows {
    std::string_view combo;
    std::vector<std::pair<std::string_view, krl::Variant>> rows;
};

// A combo row's code, stored as the 16-bit integer the indicator columns hold.
inline krl::Variant code(std::int16_t value) {
    return krl::Variant(value);
}

// The kinds of code field; code_field.cpp has one entry per kind saying how it is decoded,
// listed and checked.
enum class CodeKind {
    Document,       // a company document of a type and one or more subtypes
    Deposit,        // a deposit of the company
    Qualification,  // a worker qualification; a refused code is cleared, never kept
    // A company document decoded and listed like Document, but never checked: any code typed is
    // only decoded.
    UncheckedDocument,
};

// A document type and subtype.
struct DocumentKind {
    int type = 0;
    int subtype = 0;
};

// What a document field lists and accepts while the page's document has the type text `key`
// (empty: any key no other rule names). Several kinds: the page's own lookup list of them; a
// typed code is checked to be one of them, or, when `checked` is false, accepted as it is.
struct DocumentKindRule {
    std::string_view key;
    std::vector<DocumentKind> kinds;
    bool checked = true;
};

// A code field of a page: an edit control bound to a code column of its kind, with the
// description label its decode fills.
struct CodeFieldDef {
    std::string_view control;
    CodeKind kind = CodeKind::Document;
    int documentType = 0;
    // One subtype: the lookup object's list. Several: the page's own lookup list; the check
    // accepts any of them.
    std::vector<int> subtypes;
    std::string_view descriptionLabel;  // empty: the field has none
    // The routine under which the field's check reports its errors; empty: the page's shared
    // document check, ControlloValiditaDoc.
    std::string_view validateRoutine = {};
    // The subtype the lookup object is asked for; 0: the first of `subtypes`. A field with several
    // subtypes replaces the object's list with its own anyway.
    int lookupSubtype = 0;
    // False: the field's own list is the whole lookup; the lookup object is not asked, and the
    // list's other results stay as the edit control gave them.
    bool asksLookupObject = true;
    // A document field whose kinds follow the page's document type text: the first rule naming
    // the key, else the rule without a key; none, the type and subtypes above.
    std::vector<DocumentKindRule> byDocumentKind = {};
};

// When a rule's source control counts as "on", read from its value as text (a check box is "1"
// when ticked).
struct RuleCondition {
    enum class Test { TextIsNot, AtLeast, Equals, Above };
    Test test;
    double number = 0;
    std::string_view text;

    static RuleCondition textIsNot(std::string_view value) { return {Test::TextIsNot, 0, value}; }
    static RuleCondition atLeast(double value) { return {Test::AtLeast, value, {}}; }
    static RuleCondition equals(double value) { return {Test::Equals, value, {}}; }
    static RuleCondition above(double value) { return {Test::Above, value, {}}; }
    static RuleCondition ticked() { return equals(1); }

    bool holds(std::string_view value) const;
};

// A value the rule writes straight into the page's record.
struct RecordWrite {
    std::string_view column;
    std::int16_t value = 0;
};

// A rule that follows a pattern: each time the source changes (a combo's row, a check box's
// click, or the row being loaded), the targets follow whether the condition holds. Rules that fit
// no pattern are code, in the declaration's `rules`.
struct PatternRule {
    enum class Follow {
        Enabled,              // enabled while on
        EnabledAndMandatory,  // enabled and mandatory while on
        Visible,              // shown while on
    };
    std::string_view source;
    RuleCondition on;
    std::vector<std::string_view> targets;
    Follow follow = Follow::Enabled;
    // The text the targets are given when the condition is off (unchecking a box: "0"); empty:
    // they keep their value.
    std::string_view clearTo = {};
    // Written into the record when the condition is off, and when it is on.
    std::optional<RecordWrite> whenOff = {};
    std::optional<RecordWrite> whenOn = {};
    // The targets are emptied when the condition is off (clearTo cannot say "no text").
    bool emptyWhenOff = false;
    // The routine under which the rule reports its errors to the page's error routine; empty: the
    // rule runs with errors ignored.
    std::string_view routine = {};
};

// The controls a document page switches on and off when the window binds it to a document of one
// of these kinds (type then subtype as decimal text, "2420"); controls not named keep their state.
struct DocumentTypeSwitch {
    std::vector<std::string_view> types;
    std::vector<std::string_view> on;
    std::vector<std::string_view> off;
};

// A grid of the page (KRL_QGRID) over a recordset the page binds: its columns with their captions
// and choice texts translated by message id, and the column whose value names a row.
struct GridChoiceDef {
    std::int16_t value = 0;
    std::string_view text;
    long messageId = 0;
};

struct GridColumnDef {
    std::string_view field;
    std::string_view caption;
    long messageId = 0;
    int width = 0;
    bool editable = false;
    std::vector<GridChoiceDef> choices = {};
};

struct GridDef {
    std::string_view frame;
    std::string_view name;
    std::string_view keyColumn;
    std::vector<GridColumnDef> columns;
};

// The record a page edits, which also chooses its data frame and navigator bar.
enum class PageRecord {
    General,   // PD42_ZOVRENA, the company's row: FME_PARAMETRI
    Document,  // PD88_ZOVRENADOC, one row per document code: FME_PARAMETRI_DOC under the header
    Transfer,  // the custom-field transfer: no data frame of the window
};

// The members a page has besides the common ones. A member the page lacks raises 438 when set.
struct PageMembers {
    bool connection = false;        // Connection
    bool decodeLookup = false;      // ClsDecodeProduzione and ClsLookupProduzione
    bool priceListObjects = false;  // the parametric price-list decode and lookup objects
    bool warehouseActions = false;  // AzioniWMSEnabled
    bool carSfridoCl = false;       // EnableCarSfridoCl
    bool documentType = false;  // TipoSottotipoDocumento, EnableControl, EnableControlByDocument
    bool transfer = false;      // CodiceDitta, OnTerminate
};

struct PageDeclaration {
    std::string className;   // also the ProgID after "DUZA_ZOVRENA." and the control's name
    std::string_view group;  // side bar: group key and caption, item key and caption
    std::string_view groupCaption;
    std::string_view item;
    std::string_view itemCaption;
    std::string title;  // caption of its boxes and its name in the host's layout model
    // The side bar shows the item disabled when the window first comes to the front.
    bool startsDisabled = false;
    PageRecord record = PageRecord::General;
    PageMembers members;
    bool layoutModel = true;  // registers with the host's layout model
    // Empty: the usual steps for the page (usualInitialize); a page spells its steps out only
    // when they differ.
    std::vector<InitializeCheck> initialize;
    std::string_view firstControl;  // the focus of SetFocus without a name
    // Controls registered with the data frame (and terminated at Terminate): by type name, less
    // the ones named.
    std::vector<std::string> registeredTypes = {"KRL_CHECKBOX", "TXT_EDITM", "KRL_COMBO"};
    std::vector<std::string> notRegistered;
    std::vector<FrameDef> frames;       // in the order the resize control registers them
    std::vector<ControlDef> controls;   // tab order
    std::vector<ComboRows> valueLists;  // FillCombos order
    std::vector<CodeFieldDef> codeFields;
    std::vector<GridDef> grids;
    std::vector<PatternRule> patternRules;
    // The rules that are code, connected after the pattern rules.
    std::function<void(ParameterPage&)> rules;
    // Document pages: the type names of the controls EnableControl switches, the controls switched
    // by kind of document, and what EnableControlByDocument does after them that is code.
    std::vector<std::string> enableControlTypes;
    std::vector<DocumentTypeSwitch> documentSwitches;
    std::function<void(DocumentPage&)> byDocument;
    // A page with members of its own is built by its class; null: a ParameterPage.
    std::function<std::shared_ptr<ParameterPage>(const PageDeclaration&)> make;

    bool hasVirtualFrame() const { return record != PageRecord::Transfer; }
};

// The usual Initialize steps of a page: the program interface, the frame and the record, the
// members it has (connection, the production decode and lookup objects, the price-list ones), its
// value lists, then the registration with the data frame and the script model.
std::vector<InitializeCheck> usualInitialize(const PageDeclaration& page);

// The steps the page runs: its own, else the usual ones.
std::vector<InitializeCheck> initializeOf(const PageDeclaration& page);

}  // namespace duza_zovrena::pages
