#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "krl/controls/container.h"
#include "krl/variant/variant.h"

namespace krl::ado {
class Connection;
class Recordset;
}  // namespace krl::ado
namespace krl::frame {
class VirtualFrame;
}
namespace krl::host {
class Cinterface;
class ClsDecodeProduzione;
class ClsLookupProduzione;
class ClsDecodeListiniParametrici;
class ClsLookupListiniParametrici;
}  // namespace krl::host

namespace duza_zovrena::pages {

// A parameter page as the window sees it: the members the window sets and calls, by the names the
// pages share. The window creates a page from the ProgID "DUZA_ZOVRENA." + its class name, sets the
// members its declaration lists (PageMembers in declaration.h), calls Initialize, and places and
// shows the page only when Initialize answers True.
//
// The shared objects a page does not use raise error 438 ("L'oggetto non supporta la proprietà o
// il metodo"), as late binding would; members only some pages have are interfaces of their own
// (page_members.h).
class Page : public krl::Object, public krl::controls::ControlContainer {
  public:
    ~Page() override = default;

    // The class name ("CTLPD_PRG_INDGES"), which is also the name the window gives the control.
    virtual const std::string& className() const = 0;
    // The page title: caption of its message boxes and its name in the host's layout model.
    virtual const std::string& title() const = 0;
    const std::string& Name() const { return className(); }

    // Which optional members the page has.
    virtual bool hasConnection() const { return false; }
    virtual bool hasDecodeLookup() const { return false; }
    virtual bool hasVirtualFrame() const { return true; }

    // Common members.
    virtual void setActiveInterface(std::shared_ptr<krl::host::Cinterface> value) = 0;
    virtual std::shared_ptr<krl::host::Cinterface> activeInterface() const = 0;
    virtual void setVirtualFrame(std::shared_ptr<krl::frame::VirtualFrame> value) = 0;
    virtual std::shared_ptr<krl::frame::VirtualFrame> virtualFrame() const = 0;
    virtual void setRecordset(std::shared_ptr<krl::ado::Recordset> value) = 0;
    virtual std::shared_ptr<krl::ado::Recordset> recordset() const = 0;
    virtual void setConnection(std::shared_ptr<krl::ado::Connection> value) = 0;
    virtual void setClsDecodeProduzione(std::shared_ptr<krl::host::ClsDecodeProduzione> value) = 0;
    virtual void setClsLookupProduzione(std::shared_ptr<krl::host::ClsLookupProduzione> value) = 0;
    virtual void setClsDecodeListiniParametrici(
        std::shared_ptr<krl::host::ClsDecodeListiniParametrici> value) = 0;
    virtual void setClsLookupListiniParametrici(
        std::shared_ptr<krl::host::ClsLookupListiniParametrici> value) = 0;

    // The position the container keeps for the page (window units) and its visibility.
    double Left() const { return left_; }
    void setLeft(double value) { left_ = value; }
    double Top() const { return top_; }
    void setTop(double value) { top_ = value; }
    double Width() const { return width_; }
    void setWidth(double value) { width_ = value; }
    double Height() const { return height_; }
    void setHeight(double value) { height_ = value; }
    bool Visible() const { return visible_; }
    virtual void setVisible(bool value) { visible_ = value; }

    virtual bool Initialize() = 0;
    virtual void Terminate() = 0;
    virtual void InitializeLayoutObjectModel() = 0;
    // Focus to the named control, or to the page's first control when the name is empty; a name
    // the page does not have does nothing.
    virtual void SetFocus(std::string_view focusedControlName = {}) = 0;

    // Fills the page's value lists without initialising it (the printable sheet reads the labels
    // of the codes from them). Pages with lists override it.
    virtual void prepareValueLists() {}

  private:
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
    bool visible_ = true;
};

// Error 438 for a member the page does not have.
[[noreturn]] void raiseNotSupported(std::string_view member);

// "DUZA_ZOVRENA." + class name.
std::string pageProgId(std::string_view className);

}  // namespace duza_zovrena::pages
