#include "web/server/window_snapshot.h"

#include <algorithm>
#include <map>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/controls/edit.h"
#include "krl/controls/frame.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/lookup.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/cinterface.h"
#include "krl/host/multimedia.h"
#include "krl/host/print.h"

namespace zovrena::web {

namespace {

using Json = nlohmann::json;
using krl::controls::Control;
using krl::controls::Kind;
namespace data = duza_zovrena::data;

constexpr std::string_view headerFrame = "FRAME_CLIENTAREA";
constexpr std::string_view headerControls[] = {"LBL_CODDOC", "TXT_CODDOC", "LBL_DESDOC"};
constexpr std::string_view navigatorBars[] = {"INTERNAV_PARAMETRI", "INTERNAV_PARAMETRI_DOC",
                                              "INTERNAV_PARAMETRI_TRP"};

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::Combo:
            return "combo";
        case Kind::CheckBox:
            return "checkbox";
        case Kind::EditM:
            return "edit";
        case Kind::Label:
            return "label";
        default:
            return nullptr;
    }
}

Json describeSideBar(const duza_zovrena::window::FRMPD_ZOVRENA& window) {
    const auto& bar = window.sideBar();
    Json groups = Json::array();
    for (const auto& group : bar.groups()) {
        Json items = Json::array();
        for (const auto& item : group.items) {
            items.push_back({{"key", item.key},
                             {"caption", item.caption},
                             {"enabled", item.enabled && bar.effectivelyEnabled()},
                             {"current", item.key == window.currentItem()}});
        }
        groups.push_back({{"key", group.key}, {"caption", group.caption}, {"items", items}});
    }
    return {{"name", bar.name()}, {"groups", std::move(groups)}};
}

Json describeHeader(const duza_zovrena::window::FRMPD_ZOVRENA& window) {
    const Control* frame = window.find(headerFrame);
    Json controls = Json::array();
    for (auto name : headerControls) {
        if (const Control* control = window.find(name)) {
            Json json = describeControl(*control);
            if (control->kind() == Kind::EditM) {
                json.erase("caption");  // the header's own label names the code
            }
            controls.push_back(std::move(json));
        }
    }
    return {{"name", headerFrame},
            {"caption", frame ? frame->caption() : std::string()},
            {"visible", frame ? frame->effectivelyVisible() : true},
            {"controls", std::move(controls)}};
}

Json describeNavigator(const krl::controls::GridNav& bar) {
    Json buttons = Json::array();
    for (const auto& button : bar.buttons()) {
        if (!button.visible) {
            continue;
        }
        buttons.push_back({{"key", button.key},
                           {"caption", button.caption.empty() ? button.key : button.caption},
                           {"enabled", bar.buttonUsable(button.key)}});
    }
    return {{"name", bar.name()},
            {"visible", bar.effectivelyVisible()},
            {"buttons", std::move(buttons)}};
}

}  // namespace

Json emptyWindow(const std::string& caption, bool closed) {
    return {{"caption", caption},       {"closed", closed},      {"sideBar", nullptr},
            {"header", nullptr},        {"page", nullptr},       {"navigators", Json::array()},
            {"toolbar", Json::array()}, {"messageBox", nullptr}, {"lookup", nullptr},
            {"printSheet", nullptr},    {"media", nullptr},      {"notice", nullptr}};
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
    return false;
}

std::shared_ptr<krl::frame::VirtualFrame> activeFrameOf(krl::host::Cinterface& program) {
    return std::dynamic_pointer_cast<krl::frame::VirtualFrame>(program.activeFrame());
}

HostToolbar hostToolbar(duza_zovrena::window::FRMPD_ZOVRENA& window,
                        krl::host::Cinterface& program) {
    HostToolbar toolbar;
    const auto frame = activeFrameOf(program);
    toolbar.nuovo = frame != nullptr;
    toolbar.conferma = toolbar.annulla = frame && frame->status() != 0;
    const auto& general = window.navigatorBar("INTERNAV_PARAMETRI");
    toolbar.stampa = general.effectivelyVisible() && general.buttonUsable("Stampa");
    toolbar.media = frame && frame == window.generalFrame();
    return toolbar;
}

bool numericControl(const Control& control) {
    if (control.kind() != Kind::EditM || control.dbField().empty()) {
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

Json describeControl(const Control& control) {
    Json json{{"kind", kindName(control.kind())},
              {"name", control.name()},
              {"enabled", control.effectivelyEnabled()},
              {"visible", control.effectivelyVisible()},
              {"mandatory", control.mandatory()}};
    if (!control.caption().empty()) {
        json["caption"] = control.caption();
    }
    if (!control.labelText().empty()) {
        json["label"] = control.labelText();
    }
    switch (control.kind()) {
        case Kind::Combo: {
            const auto& combo = static_cast<const krl::controls::Combo&>(control);
            Json rows = Json::array();
            for (const auto& row : combo.rows()) {
                rows.push_back({{"value", row.value}, {"text", row.label}});
            }
            json["rows"] = std::move(rows);
            json["value"] = control.text();
            break;
        }
        case Kind::CheckBox:
            json["value"] = control.text() == "1" ? 1 : 0;
            break;
        case Kind::EditM: {
            const auto& edit = static_cast<const krl::controls::EditM&>(control);
            json["value"] = control.text();
            json["maxLength"] = control.maxChar();
            json["numeric"] = numericControl(control);
            json["keyButton"] = edit.StartLookup.connected();
            if (!edit.description().empty() && !edit.descriptionLabel()) {
                json["description"] = edit.description();
            }
            break;
        }
        default:
            json["value"] = control.text();
            break;
    }
    return json;
}

Json describeFrames(const krl::controls::ControlContainer& container) {
    // Frames in the order their first control comes in the tab order; controls outside any frame
    // form a frame without a name.
    std::vector<const krl::controls::Frame*> order;
    std::map<const krl::controls::Frame*, Json> controls;
    for (const Control* control : container.tabOrder()) {
        if (!kindName(control->kind())) {
            continue;
        }
        const krl::controls::Frame* frame = control->parentFrame();
        if (!controls.contains(frame)) {
            order.push_back(frame);
            controls[frame] = Json::array();
        }
        controls[frame].push_back(describeControl(*control));
    }
    Json frames = Json::array();
    for (const auto* frame : order) {
        frames.push_back({{"name", frame ? frame->name() : std::string()},
                          {"caption", frame ? frame->caption() : std::string()},
                          {"visible", frame ? frame->effectivelyVisible() : true},
                          {"controls", std::move(controls[frame])}});
    }
    return frames;
}

Json describeWindow(duza_zovrena::window::FRMPD_ZOVRENA& window, krl::host::Cinterface& program) {
    Json json = emptyWindow(window.caption(), window.unloaded());
    json["icon"] = window.iconKey();
    if (window.unloaded()) {
        return json;
    }
    json["sideBar"] = describeSideBar(window);
    json["header"] = describeHeader(window);
    if (auto page = window.currentPage()) {
        json["page"] = {{"key", window.currentItem()},
                        {"title", page->title()},
                        {"frames", describeFrames(*page)}};
    } else {
        json["page"] = nullptr;
    }
    Json bars = Json::array();
    for (auto name : navigatorBars) {
        bars.push_back(describeNavigator(window.navigatorBar(name)));
    }
    json["navigators"] = std::move(bars);

    const HostToolbar toolbar = hostToolbar(window, program);
    json["toolbar"] = Json::array({
        {{"name", "Nuovo"}, {"enabled", toolbar.nuovo}},
        {{"name", "Conferma"}, {"enabled", toolbar.conferma}},
        {{"name", "Annulla"}, {"enabled", toolbar.annulla}},
        {{"name", "Stampa"}, {"enabled", toolbar.stampa}},
        {{"name", "Media"}, {"enabled", toolbar.media}},
        {{"name", "Chiudi"}, {"enabled", true}},
    });
    return json;
}

Json describeLookup(const krl::controls::LookupList& list) {
    Json columns = Json::array();
    for (const auto& name : list.columns) {
        columns.push_back({{"name", name}, {"caption", name}});
    }
    Json rows = Json::array();
    for (const auto& cells : list.rows) {
        rows.push_back({{"code", cells.empty() ? std::string() : cells.front()}, {"cells", cells}});
    }
    return {{"control", list.control},
            {"title", list.title},
            {"columns", std::move(columns)},
            {"rows", std::move(rows)}};
}

Json describePrintSheet(const krl::host::PrintSheet& sheet) {
    Json sections = Json::array();
    for (const auto& row : sheet.rows) {
        if (sections.empty() || sections.back()["caption"] != row.section) {
            sections.push_back({{"caption", row.section}, {"rows", Json::array()}});
        }
        sections.back()["rows"].push_back({{"label", row.label}, {"value", row.value}});
    }
    return {{"title", sheet.title}, {"sections", std::move(sections)}};
}

Json describeMedia(krl::host::MediaSession& media) {
    Json items = Json::array();
    for (const auto& item : media.items()) {
        items.push_back({{"progr", item.progr},
                         {"description", item.description},
                         {"fileName", item.fileName},
                         {"inserted", item.inserted}});
    }
    return {{"mediaId", media.mediaId().isEmpty() || media.mediaId().isNull()
                            ? Json(nullptr)
                            : Json(media.mediaId().textOrEmpty())},
            {"items", std::move(items)}};
}

}  // namespace zovrena::web
