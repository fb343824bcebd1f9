#pragma once

#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "krl/controls/grid.h"

namespace duza_zovrena::window {
class FRMPD_ZOVRENA;
}
namespace krl::controls {
class Control;
class ControlContainer;
struct LookupList;
}  // namespace krl::controls
namespace krl::frame {
class VirtualFrame;
}
namespace krl::host {
class Cinterface;
class MediaSession;
struct PrintSheet;
}  // namespace krl::host

namespace zovrena::web {

class HistoryView;
// The grids' rows the browser already holds: grid name -> the rows' version it last received.
using GridVersions = std::map<std::string, std::string, std::less<>>;

// The rows of each grid as last written into a snapshot, by grid name: a browser that holds that
// version is sent only the rows that changed since (told by the rows' digests).
struct SentGridRows {
    std::string version;
    std::uint64_t keys = 0;  // digest of the keys in their order
    std::vector<std::uint64_t> digests;
};
using SentGrids = std::map<std::string, SentGridRows, std::less<>>;

// What the host shows over or beside the window: an open lookup list, the print sheet, the
// multimedia links, a notice. Null members are not shown.
struct WindowExtras {
    std::string_view caption;  // of the program, when there is no window
    const krl::controls::LookupList* lookup = nullptr;
    const krl::host::PrintSheet* printSheet = nullptr;
    krl::host::MediaSession* media = nullptr;
    const HistoryView* history = nullptr;
    std::string_view notice;
    // A grid whose rows are still at the version the browser holds is sent without them; one
    // whose rows changed in place since that version, with only the rows that changed.
    const GridVersions* heldGridRows = nullptr;
    SentGrids* sentGrids = nullptr;  // read and kept up to date; null: whole rows
};

// The host toolbar as the window in front allows it (Chiudi is always usable).
struct HostToolbar {
    bool nuovo = false;
    bool conferma = false;
    bool annulla = false;
    bool stampa = false;
    bool media = false;
    bool storico = false;

    bool allows(std::string_view button) const;
};

// The data frame in front, when it is one of the window's frames.
std::shared_ptr<krl::frame::VirtualFrame> activeFrameOf(krl::host::Cinterface& program);
HostToolbar hostToolbar(duza_zovrena::window::FRMPD_ZOVRENA& window,
                        krl::host::Cinterface& program);

// Whether an edit takes numbers only: its bound column holds a number, an indicator or a flag.
bool numericControl(const krl::controls::Control& control);

// One control as the snapshot writes it. Each kind has one writer; a control of a kind without one
// raises std::invalid_argument rather than being left out of the window.
std::string describeControl(const krl::controls::Control& control);

// A window snapshot as the browser receives it (see src/web/PROTOCOL.md): the window's own parts,
// written as one JSON object on the window's thread, and what the host knows besides (a box
// waiting, whether the window is closed, its id and revision, the session after a company change).
class Snapshot {
  public:
    Snapshot() = default;  // no snapshot
    Snapshot(std::string window, bool closed) : window_(std::move(window)), closed_(closed) {}

    bool empty() const { return window_.empty(); }
    bool closed() const { return closed_; }
    void markClosed() { closed_ = true; }
    void setMessageBox(nlohmann::json box) { messageBox_ = std::move(box); }
    void setWindow(std::string id, long revision) {
        id_ = std::move(id);
        revision_ = revision;
    }
    void setSession(nlohmann::json session) { session_ = std::move(session); }

    std::string json() const;
    nlohmann::json parsed() const { return nlohmann::json::parse(json()); }

  private:
    std::string window_;
    bool closed_ = false;
    nlohmann::json messageBox_;
    std::string id_;
    long revision_ = 0;
    nlohmann::json session_;
};

// The window's parts as one JSON object, read and written on the window's thread. Without a window,
// or once it is unloaded, only the caption (and the icon) are shown.
std::string describeWindow(duza_zovrena::window::FRMPD_ZOVRENA* window,
                           krl::host::Cinterface* program, const WindowExtras& extras);

}  // namespace zovrena::web
