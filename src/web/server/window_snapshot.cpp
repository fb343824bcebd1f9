#include "web/server/window_snapshot.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/controls/edit.h"
#include "krl/controls/frame.h"
#include "krl/controls/grid.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/lookup.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/cinterface.h"
#include "krl/host/multimedia.h"
#include "krl/host/print.h"
#include "krl/trap/trap.h"
#include "web/server/json_writer.h"
#include "web/server/window_history.h"

namespace zovrena::web {

namespace {

using krl::controls::Control;
using krl::controls::Kind;
namespace data = duza_zovrena::data;

constexpr std::string_view headerFrame = "FRAME_CLIENTAREA";
constexpr std::string_view headerControls[] = {"LBL_CODDOC", "TXT_CODDOC", "LBL_DESDOC"};
constexpr std::string_view navigatorBars[] = {"INTERNAV_PARAMETRI", "INTERNAV_PARAMETRI_DOC",
                                              "INTERNAV_PARAMETRI_TRP"};

void writeControl(JsonWriter& json, const Control& control, const WindowExtras& extras,
                  bool withCaption = true);

void writeSideBar(JsonWriter& json, const duza_zovrena::window::FRMPD_ZOVRENA& window) {
    const auto& bar = window.sideBar();
    json.object().field("name", bar.name()).key("groups").array();
    for (const auto& group : bar.groups()) {
        json.object().field("key", group.key).field("caption", group.caption).key("items").array();
        for (const auto& item : group.items) {
            json.object()
                .field("key", item.key)
                .field("caption", item.caption)
                .field("enabled", item.enabled && bar.effectivelyEnabled())
                .field("current", item.key == window.currentItem())
                .end();
        }
        json.end().end();
    }
    json.end().end();
}

void writeHeader(JsonWriter& json, const duza_zovrena::window::FRMPD_ZOVRENA& window,
                 const WindowExtras& extras) {
    const Control* frame = window.find(headerFrame);
    json.object()
        .field("name", headerFrame)
        .field("caption", frame ? frame->caption() : std::string())
        .field("visible", frame ? frame->effectivelyVisible() : true)
        .key("controls")
        .array();
    for (auto name : headerControls) {
        if (const Control* control = window.find(name)) {
            // The header's own label names the code.
            writeControl(json, *control, extras, control->kind() != Kind::EditM);
        }
    }
    json.end().end();
}

void writeNavigator(JsonWriter& json, const krl::controls::GridNav& bar) {
    json.object()
        .field("name", bar.name())
        .field("visible", bar.effectivelyVisible())
        .key("buttons")
        .array();
    for (const auto& button : bar.buttons()) {
        if (!button.visible) {
            continue;
        }
        json.object()
            .field("key", button.key)
            .field("caption", button.caption.empty() ? button.key : button.caption)
            .field("enabled", bar.buttonUsable(button.key))
            .end();
    }
    json.end().end();
}

// What each kind of control adds to the common members: one writer per kind.
void writeComboValue(JsonWriter& json, const Control& control, const WindowExtras&) {
    const auto& combo = static_cast<const krl::controls::Combo&>(control);
    json.key("rows").array();
    for (const auto& row : combo.rows()) {
        json.object().field("value", row.value).field("text", row.label).end();
    }
    json.end().field("value", control.text());
}

void writeCheckBoxValue(JsonWriter& json, const Control& control, const WindowExtras&) {
    json.field("value", control.text() == "1" ? 1 : 0);
}

void writeEditValue(JsonWriter& json, const Control& control, const WindowExtras&) {
    const auto& edit = static_cast<const krl::controls::EditM&>(control);
    json.field("value", control.text())
        .field("maxLength", control.maxChar())
        .field("numeric", numericControl(control))
        .field("keyButton", edit.StartLookup.connected());
    if (!edit.description().empty() && !edit.descriptionLabel()) {
        json.field("description", edit.description());
    }
    if (!edit.keyButtonMenu().empty()) {
        json.key("keyMenu").array();
        for (const auto& entry : edit.keyButtonMenu()) {
            json.object()
                .field("key", entry.key)
                .field("caption", entry.caption)
                .field("enabled", entry.enabled)
                .end();
        }
        json.end();
    }
}

void writeLabelValue(JsonWriter& json, const Control& control, const WindowExtras&) {
    json.field("value", control.text());
}

void writeGridRow(JsonWriter& json, const krl::controls::QGrid::Row& row) {
    json.field("key", row.key).key("cells").array();
    for (const auto& cell : row.cells) {
        json.value(cell);
    }
    json.end();
}

// Every row of the grid goes to the browser, which lets rows out of view go undrawn. Rows the
// browser already holds (the same version) are not sent again; when it holds the version last
// sent and the rows only changed in place, only the rows that changed go (`rowsChanged`, by
// index, over `rowsBase`).
void writeGridValue(JsonWriter& json, const Control& control, const WindowExtras& extras) {
    const auto& grid = static_cast<const krl::controls::QGrid&>(control);
    const auto shown = grid.shownRows();
    json.field("keyColumn", grid.keyColumn())
        .field("layoutKey", grid.layoutKey())
        .key("columns")
        .array();
    for (const auto& column : grid.columns()) {
        json.object()
            .field("field", column.field)
            .field("caption", column.caption)
            .field("width", column.width)
            .field("editable", column.editable)
            .key("choices")
            .array();
        for (const auto& choice : column.choices) {
            json.object()
                .field("value", choice.value.textOrEmpty())
                .field("text", choice.text)
                .end();
        }
        json.end().end();
    }
    json.end().field("rowsVersion", shown.version);
    const std::string* held = nullptr;
    if (extras.heldGridRows != nullptr) {
        const auto found = extras.heldGridRows->find(control.name());
        held = found != extras.heldGridRows->end() ? &found->second : nullptr;
    }
    if (held != nullptr && *held == shown.version) {
        return;
    }
    SentGridRows* sent = nullptr;
    if (extras.sentGrids != nullptr) {
        sent = &extras.sentGrids->try_emplace(control.name()).first->second;
    }
    if (held != nullptr && sent != nullptr && sent->version == *held && sent->keys == shown.keys &&
        sent->digests.size() == shown.digests.size()) {
        json.field("rowsBase", *held).key("rowsChanged").array();
        for (std::size_t i = 0; i < shown.rows.size(); ++i) {
            if (shown.digests[i] != sent->digests[i]) {
                json.object().field("index", static_cast<std::int64_t>(i));
                writeGridRow(json, shown.rows[i]);
                json.end();
            }
        }
        json.end();
    } else {
        json.key("rows").array();
        for (const auto& row : shown.rows) {
            json.object();
            writeGridRow(json, row);
            json.end();
        }
        json.end();
    }
    if (sent != nullptr) {
        sent->version = shown.version;
        sent->keys = shown.keys;
        sent->digests = shown.digests;
    }
}

struct KindWriter {
    Kind kind;
    std::string_view name;  // the kind as the front end's renderers know it
    void (*write)(JsonWriter&, const Control&, const WindowExtras&);
};

constexpr KindWriter kindWriters[] = {
    {Kind::Combo, "combo", writeComboValue}, {Kind::CheckBox, "checkbox", writeCheckBoxValue},
    {Kind::EditM, "edit", writeEditValue},   {Kind::Label, "label", writeLabelValue},
    {Kind::QGrid, "grid", writeGridValue},
};

// Kinds that only place or size the others: a page holds them, the snapshot never shows them.
bool layoutKind(Kind kind) {
    return kind == Kind::Frame || kind == Kind::ResizeForm;
}

const KindWriter& writerOf(const Control& control) {
    for (const KindWriter& writer : kindWriters) {
        if (writer.kind == control.kind()) {
            return writer;
        }
    }
    throw std::invalid_argument("Il controllo " + control.name() + " (" +
                                std::string(control.typeName()) +
                                ") non ha una forma nella finestra del browser.");
}

void writeControl(JsonWriter& json, const Control& control, const WindowExtras& extras,
                  bool withCaption) {
    const KindWriter& writer = writerOf(control);
    json.object()
        .field("kind", writer.name)
        .field("name", control.name())
        .field("enabled", control.effectivelyEnabled())
        .field("visible", control.effectivelyVisible())
        .field("mandatory", control.mandatory());
    if (withCaption && !control.caption().empty()) {
        json.field("caption", control.caption());
    }
    if (!control.labelText().empty()) {
        json.field("label", control.labelText());
    }
    if (!control.effectiveText().empty()) {
        json.field("effective", control.effectiveText());
    }
    writer.write(json, control, extras);
    json.end();
}

// Frames in the order their first control comes in the tab order; controls outside any frame form
// a frame without a name. A captioned frame that holds only frames comes, without controls, just
// before the first of them, so that its caption heads the group.
void writeFrames(JsonWriter& json, const krl::controls::ControlContainer& container,
                 const WindowExtras& extras) {
    std::vector<std::pair<const krl::controls::Frame*, std::vector<const Control*>>> frames;
    auto entry = [&frames](const krl::controls::Frame* frame) {
        auto found = std::find_if(frames.begin(), frames.end(),
                                  [&](const auto& entry) { return entry.first == frame; });
        return found != frames.end() ? found : frames.insert(frames.end(), {frame, {}});
    };
    for (const Control* control : container.tabOrder()) {
        if (layoutKind(control->kind())) {
            continue;
        }
        const krl::controls::Frame* frame = control->parentFrame();
        std::vector<const krl::controls::Frame*> groups;
        for (const krl::controls::Frame* outer = frame ? frame->parentFrame() : nullptr;
             outer != nullptr; outer = outer->parentFrame()) {
            if (!outer->caption().empty()) {
                groups.insert(groups.begin(), outer);
            }
        }
        for (const krl::controls::Frame* group : groups) {
            entry(group);
        }
        entry(frame)->second.push_back(control);
    }
    json.array();
    for (const auto& [frame, controls] : frames) {
        json.object()
            .field("name", frame ? frame->name() : std::string())
            .field("caption", frame ? frame->caption() : std::string())
            .field("visible", frame ? frame->effectivelyVisible() : true)
            .key("controls")
            .array();
        for (const Control* control : controls) {
            writeControl(json, *control, extras);
        }
        json.end().end();
    }
    json.end();
}

void writeToolbar(JsonWriter& json, const HostToolbar& toolbar) {
    const std::pair<const char*, bool> buttons[] = {
        {"Nuovo", toolbar.nuovo},   {"Conferma", toolbar.conferma}, {"Annulla", toolbar.annulla},
        {"Stampa", toolbar.stampa}, {"Media", toolbar.media},       {"Storico", toolbar.storico},
        {"Chiudi", true},
    };
    json.array();
    for (const auto& [name, enabled] : buttons) {
        json.object().field("name", name).field("enabled", enabled).end();
    }
    json.end();
}

void writeLookup(JsonWriter& json, const krl::controls::LookupList& list) {
    json.object().field("control", list.control).field("title", list.title).key("columns").array();
    for (std::size_t i = 0; i < list.columns.size(); ++i) {
        const std::string& name = list.columns[i];
        json.object()
            .field("name", name)
            .field("caption", i < list.captions.size() ? list.captions[i] : name)
            .end();
    }
    json.end().key("rows").array();
    for (const auto& cells : list.rows) {
        json.object()
            .field("code", cells.empty() ? std::string() : cells.front())
            .key("cells")
            .array();
        for (const auto& cell : cells) {
            json.value(cell);
        }
        json.end().end();
    }
    json.end().end();
}

void writePrintSheet(JsonWriter& json, const krl::host::PrintSheet& sheet) {
    json.object().field("title", sheet.title).key("sections").array();
    const std::string* section = nullptr;
    for (const auto& row : sheet.rows) {
        if (!section || *section != row.section) {
            if (section) {
                json.end().end();
            }
            section = &row.section;
            json.object().field("caption", row.section).key("rows").array();
        }
        json.object().field("label", row.label).field("value", row.value).end();
    }
    if (section) {
        json.end().end();
    }
    json.end().end();
}

// Reading the media items may fail (the database): then the window shows none.
void writeMedia(JsonWriter& json, krl::host::MediaSession& media) {
    JsonWriter items;
    const bool read = krl::trap::ignoring([&] {
        items.object();
        if (media.mediaId().isEmpty() || media.mediaId().isNull()) {
            items.key("mediaId").null();
        } else {
            items.field("mediaId", media.mediaId().textOrEmpty());
        }
        items.key("items").array();
        for (const auto& item : media.items()) {
            items.object()
                .field("progr", item.progr)
                .field("description", item.description)
                .field("fileName", item.fileName)
                .field("inserted", item.inserted)
                .end();
        }
        items.end().end();
    });
    if (read) {
        json.raw(items.text());
    } else {
        json.null();
    }
}

// The control the program last put the focus on, in the page shown or in the window's header; the
// move number tells the browser whether it is a new move.
void writeFocus(JsonWriter& json, const duza_zovrena::window::FRMPD_ZOVRENA& window) {
    const krl::controls::ControlContainer* latest = &window;
    if (auto page = window.currentPage();
        page && page->Visible() && page->focusMoved() > latest->focusMoved()) {
        latest = page.get();
    }
    const Control* focused = latest->focused();
    if (latest->focusMoved() == 0 || focused == nullptr) {
        json.null();
        return;
    }
    json.object()
        .field("control", focused->name())
        .field("move", static_cast<std::int64_t>(latest->focusMoved()))
        .end();
}

void writeEmptyParts(JsonWriter& json) {
    for (const char* name : {"sideBar", "header", "page", "focus"}) {
        json.key(name).null();
    }
    json.key("navigators").array().end().key("toolbar").array().end();
}

}  // namespace

std::string describeControl(const Control& control) {
    JsonWriter json;
    writeControl(json, control, WindowExtras{});
    return json.take();
}

bool HostToolbar::allows(std::string_view button) const {
    if (button == "Nuovo") {
        return nuovo;
    }
    if (button == "Conferma") {
        return conferma;
    }
    if (button == "Annulla") {
        return annulla;
    }
    if (button == "Stampa") {
        return stampa;
    }
    if (button == "Media") {
        return media;
    }
    if (button == "Storico") {
        return storico;
    }
    return false;
}

std::shared_ptr<krl::frame::VirtualFrame> activeFrameOf(krl::host::Cinterface& program) {
    return std::dynamic_pointer_cast<krl::frame::VirtualFrame>(program.activeFrame());
}

HostToolbar hostToolbar(duza_zovrena::window::FRMPD_ZOVRENA& window,
                        krl::host::Cinterface& program) {
    HostToolbar toolbar;
    const auto frame = activeFrameOf(program);
    toolbar.nuovo = frame != nullptr && !frame->blank();
    toolbar.conferma = toolbar.annulla = frame && frame->status() != 0;
    const auto& general = window.navigatorBar("INTERNAV_PARAMETRI");
    toolbar.stampa = general.effectivelyVisible() && general.buttonUsable("Stampa");
    toolbar.media = frame && frame == window.generalFrame();
    // The history of the record in front: a document page has one once a code is chosen.
    const auto* page = duza_zovrena::pages::findPageByItem(window.currentItem());
    const auto document = window.documentFrame();
    toolbar.storico = !page || page->record != duza_zovrena::pages::PageRecord::Document ||
                      (document && !document->blank());
    return toolbar;
}

bool numericControl(const Control& control) {
    if (control.kind() != Kind::EditM || control.dbField().empty()) {
        return false;
    }
    if (static_cast<const krl::controls::EditM&>(control).acceptsAnyText()) {
        return false;
    }
    const data::ColumnDef* column = data::findGeneralColumn(control.dbField());
    if (!column) {
        column = data::findDocumentColumn(control.dbField());
    }
    return column &&
           (column->kind == data::ColumnKind::Number ||
            column->kind == data::ColumnKind::Indicator || column->kind == data::ColumnKind::Flag);
}

std::string Snapshot::json() const {
    std::string out = window_.empty() ? std::string("{}") : window_;
    out.pop_back();  // the closing brace
    const auto member = [&out](std::string_view name) {
        if (out.back() != '{') {
            out.push_back(',');
        }
        appendJsonString(out, name);
        out.push_back(':');
    };
    member("messageBox");
    out += messageBox_.dump();
    member("closed");
    out += closed_ ? "true" : "false";
    member("window");
    appendJsonString(out, id_);
    member("revision");
    out += std::to_string(revision_);
    if (!session_.is_null()) {
        member("session");
        out += session_.dump();
    }
    out.push_back('}');
    return out;
}

std::string describeWindow(duza_zovrena::window::FRMPD_ZOVRENA* window,
                           krl::host::Cinterface* program, const WindowExtras& extras) {
    JsonWriter json;
    json.reserve(std::size_t{16} * 1024);  // a page with its side bar and bars fits
    json.object();
    if (!window || !program) {
        json.field("caption", extras.caption).key("icon").null();
        writeEmptyParts(json);
    } else {
        json.field("caption", window->caption()).field("icon", window->iconKey());
        if (window->unloaded()) {
            writeEmptyParts(json);
        } else {
            json.key("sideBar");
            writeSideBar(json, *window);
            json.key("header");
            writeHeader(json, *window, extras);
            json.key("page");
            if (auto page = window->currentPage()) {
                json.object()
                    .field("key", window->currentItem())
                    .field("title", page->title())
                    .key("frames");
                writeFrames(json, *page, extras);
                json.end();
            } else {
                json.null();
            }
            json.key("navigators").array();
            for (auto name : navigatorBars) {
                writeNavigator(json, window->navigatorBar(name));
            }
            json.end().key("toolbar");
            writeToolbar(json, hostToolbar(*window, *program));
            json.key("focus");
            writeFocus(json, *window);
        }
    }
    json.key("lookup");
    if (extras.lookup) {
        writeLookup(json, *extras.lookup);
    } else {
        json.null();
    }
    json.key("printSheet");
    if (extras.printSheet) {
        writePrintSheet(json, *extras.printSheet);
    } else {
        json.null();
    }
    json.key("media");
    if (extras.media) {
        writeMedia(json, *extras.media);
    } else {
        json.null();
    }
    json.key("history");
    if (extras.history) {
        extras.history->write(json);
    } else {
        json.null();
    }
    json.key("notice");
    if (extras.notice.empty()) {
        json.null();
    } else {
        json.value(extras.notice);
    }
    return json.end().take();
}

}  // namespace zovrena::web
