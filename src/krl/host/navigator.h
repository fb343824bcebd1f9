#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "krl/variant/variant.h"

namespace krl::host {

// The export-to-office request handed to the programs before the host exports the data in front.
class ExportToOffice : public krl::Object {
  public:
    std::string TitoloMaster;
};

// The layout model: the pages a program registers when the host asks for its layout.
class LayoutModel : public krl::Object {
  public:
    struct Page {
        std::string title;
        ObjectPtr extender;
        ObjectPtr controls;
    };

    void registerPage(std::string title, ObjectPtr extender, ObjectPtr controls);
    // Closes the registration of the pages handed so far; the result tells how many there are.
    long apply();

    const std::vector<Page>& pages() const { return pages_; }
    long applied() const { return applied_; }
    void drop(const krl::Object* object);

  private:
    std::vector<Page> pages_;
    long applied_ = 0;
};

// The script model: the objects a program offers to the host's scripts.
class ScriptModel : public krl::Object {
  public:
    // Object kinds.
    static constexpr int KindForm = 0;
    static constexpr int KindFrame = 3;

    struct Entry {
        std::string name;
        ObjectPtr object;
        Variant kindOrControls;  // an object kind, or a page's controls collection
        std::string caption;
    };

    // The object is passed by reference: what the model leaves in it is what the caller keeps.
    // This model leaves it as it was.
    void registerObject(std::string name, ObjectPtr& object, Variant kindOrControls,
                        std::string caption);

    const std::vector<Entry>& entries() const { return entries_; }
    void drop(const krl::Object* object);

  private:
    std::vector<Entry> entries_;
};

// The host's record of open and closed program windows, and its say on closing them.
class TraceObject : public krl::Object {
  public:
    static constexpr int Open = 1;
    static constexpr int Close = 0;

    struct Entry {
        std::string object;
        int flag;
    };

    void record(std::string objectName, int flag);
    const std::vector<Entry>& entries() const { return entries_; }

    // The closing check: True vetoes the close.
    bool closingCheck() const { return veto_; }
    void setVeto(bool veto) { veto_ = veto; }

    void dropMenuEntry(const Variant& menuEntryId);
    const std::vector<Variant>& droppedMenuEntries() const { return droppedMenuEntries_; }

  private:
    std::vector<Entry> entries_;
    std::vector<Variant> droppedMenuEntries_;
    bool veto_ = false;
};

// What a program hears from the host navigator. Every argument named Cancel is passed by
// reference: a program sets it to True to stop what the host was about to do.
class NavigatorEvents {
  public:
    virtual ~NavigatorEvents() = default;
    virtual void BeforeChangeDitta(bool& cancel) = 0;
    virtual void BeforeExportToOffice(bool& cancel, ExportToOffice& exportToOffice) = 0;
    virtual void InitializeLayoutObjectModel(bool& cancel, LayoutModel& layout) = 0;
    virtual void InitializeScriptObjectModel(bool& cancel, ScriptModel& script) = 0;
    virtual void ButtonPressed(bool& cancel, long buttonPress) = 0;
};

// The host navigator: its toolbar state for the frame in front, its models and trace object, and
// the events it raises to every connected program (each program decides by its IsActive whether
// the event is its own).
class Navigator : public krl::Object {
  public:
    // Button code of the multimedia link.
    static constexpr long ButtonMultimedia = 25;

    Navigator();

    // Event sinks, held weakly: a program that is gone simply stops hearing.
    void connect(const std::shared_ptr<NavigatorEvents>& sink);
    void disconnect(const NavigatorEvents* sink);
    std::size_t connectedSinks() const;

    // The events; each returns the Cancel the programs left.
    bool raiseBeforeChangeDitta();
    bool raiseBeforeExportToOffice(ExportToOffice& exportToOffice);
    bool raiseInitializeLayoutObjectModel();
    bool raiseInitializeScriptObjectModel();
    bool raiseButtonPressed(long buttonPress);

    // The active frame's status, for the state of the navigator's buttons.
    void setFrameStatus(std::int16_t status);
    std::int16_t frameStatus() const { return frameStatus_; }
    void refresh() { ++refreshes_; }
    long refreshes() const { return refreshes_; }

    std::shared_ptr<LayoutModel> layoutModel() const { return layoutModel_; }
    std::shared_ptr<ScriptModel> scriptModel() const { return scriptModel_; }
    std::shared_ptr<TraceObject> traceObject() const { return traceObject_; }
    void setTraceObject(std::shared_ptr<TraceObject> value) { traceObject_ = std::move(value); }

    // Forgets every reference the navigator and its models hold to the object.
    void dropReferences(const krl::Object* object);

  private:
    template <class Raise>
    bool raise(Raise&& raiseOne);

    std::vector<std::weak_ptr<NavigatorEvents>> sinks_;
    std::int16_t frameStatus_ = 0;
    long refreshes_ = 0;
    std::shared_ptr<LayoutModel> layoutModel_;
    std::shared_ptr<ScriptModel> scriptModel_;
    std::shared_ptr<TraceObject> traceObject_;
};

}  // namespace krl::host
