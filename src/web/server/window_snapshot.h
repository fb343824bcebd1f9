#pragma once

#include <nlohmann/json.hpp>

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

// The host toolbar as the window in front allows it (Chiudi is always usable).
struct HostToolbar {
    bool nuovo = false;
    bool conferma = false;
    bool annulla = false;
    bool stampa = false;
    bool media = false;

    bool allows(std::string_view button) const;
};

// The data frame in front, when it is one of the window's frames.
std::shared_ptr<krl::frame::VirtualFrame> activeFrameOf(krl::host::Cinterface& program);
HostToolbar hostToolbar(duza_zovrena::window::FRMPD_ZOVRENA& window,
                        krl::host::Cinterface& program);

// Whether an edit takes numbers only: its bound column holds a number, an indicator or a flag.
bool numericControl(const krl::controls::Control& control);

// A snapshot with nothing to show yet (or any more).
nlohmann::json emptyWindow(const std::string& caption, bool closed);

// The parts of a snapshot (see src/web/PROTOCOL.md), read on the window's thread.
nlohmann::json describeControl(const krl::controls::Control& control);
nlohmann::json describeFrames(const krl::controls::ControlContainer& container);
nlohmann::json describeWindow(duza_zovrena::window::FRMPD_ZOVRENA& window,
                              krl::host::Cinterface& program);
nlohmann::json describeLookup(const krl::controls::LookupList& list);
nlohmann::json describePrintSheet(const krl::host::PrintSheet& sheet);
nlohmann::json describeMedia(krl::host::MediaSession& media);

}  // namespace zovrena::web
