#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "krl/controls/control.h"
#include "krl/controls/event.h"

namespace krl::controls {

// Anchoring flags of a registration: the sides of its container a control keeps its distance to
// when the container is resized. 15 = all four sides (the control grows both ways), 7 = left, top
// and right (grows in width), 11 = left, top and bottom (grows in height), 12 = right and bottom
// (moves with the bottom-right corner).
inline constexpr int AnchorLeft = 1;
inline constexpr int AnchorTop = 2;
inline constexpr int AnchorRight = 4;
inline constexpr int AnchorBottom = 8;

// Window units: 15 twips to the pixel in both directions.
inline constexpr double TwipsPerPixel = 15.0;

// KRL_RESIZEFORM: keeps which controls follow the size of their window or page, and how.
//
// Events: QueryResize(Allow) before every layout pass (Allow starts False; the owner answers
// True); RegisterControls once, when the manager starts, for the owner to register its controls.
class ResizeForm : public Control {
  public:
    struct Registration {
        std::string control;
        int flags = 0;
    };

    explicit ResizeForm(std::string name);

    Event<bool&> QueryResize;
    Event<> RegisterControls;

    void registerControl(std::string control, int flags);
    void unregisterControl(std::string_view control);
    const std::vector<Registration>& registrations() const { return registrations_; }
    std::optional<int> anchoring(std::string_view control) const;

    // Controls the web front end lays out itself (the window registers its pages here when the
    // process runs with WEBRender=1).
    void addWebRendering(std::string control);
    bool webRendering(std::string_view control) const;
    const std::vector<std::string>& webRenderingList() const { return webRendering_; }

    // Pixels to window units (twips) and back.
    static double convertX(double pixels) { return pixels * TwipsPerPixel; }
    static double convertY(double pixels) { return pixels * TwipsPerPixel; }
    static double toPixelsX(double twips) { return twips / TwipsPerPixel; }
    static double toPixelsY(double twips) { return twips / TwipsPerPixel; }

    // Start raises RegisterControls the first time; stop ends the layout passes.
    void start();
    void stop() { running_ = false; }
    bool running() const { return running_; }

    // The page's switches: activation and visibility flags, and the names of the position
    // properties the page hands over when shown.
    bool active() const { return active_; }
    void setActive(bool value) { active_ = value; }
    bool shown() const { return shown_; }
    void setShown(bool value) { shown_ = value; }
    void setPositionProperties(std::vector<std::string> names) {
        positionProperties_ = std::move(names);
    }
    const std::vector<std::string>& positionProperties() const { return positionProperties_; }

    // A layout pass (the container was resized): true when it ran (running and the owner allowed
    // it in QueryResize).
    bool resize();
    int layoutPasses() const { return layoutPasses_; }
    // Clean-up when the owner terminates: registrations dropped, manager stopped.
    void cleanUp();

  protected:
    void clearEvents() override;

  private:
    std::vector<Registration> registrations_;
    std::vector<std::string> webRendering_;
    std::vector<std::string> positionProperties_;
    bool running_ = false;
    bool registered_ = false;
    bool active_ = false;
    bool shown_ = false;
    int layoutPasses_ = 0;
};

// The host's MDI child container of a window: its origin and design size in window units and the
// window state it is shown in (0 normal, 1 minimised, 2 maximised).
class MdiChildContainer : public Control {
  public:
    explicit MdiChildContainer(std::string name);

    // Raised by load(); the window initialises the container in its handler.
    Event<> Load;
    void load() { Load.raise(); }

    void initialise(double left, double top, double width, double height);
    bool initialised() const { return initialised_; }
    double left() const { return left_; }
    double top() const { return top_; }
    double designWidth() const { return width_; }
    double designHeight() const { return height_; }

    int windowState() const { return windowState_; }
    void setWindowState(int state);

  protected:
    void clearEvents() override { Load.clear(); }

  private:
    bool initialised_ = false;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
    int windowState_ = 0;
};

}  // namespace krl::controls
