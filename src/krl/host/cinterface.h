#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "krl/variant/variant.h"

namespace krl::ado {
class Connection;
}

namespace krl::host {

class ClsGlobal;
class FrameAccess;
class MenuEntry;
class Navigator;

// The host's program interface. A program's creatable class implements it; the host writes the
// context into it and calls ShowForm. The members are declared in the interface's dispatch order,
// which is the calling contract with the host (see cinterfaceMembers()). Implementations never let
// an exception out of a member.
class Cinterface : public krl::Object {
  public:
    virtual void setClsGlobal(std::shared_ptr<ClsGlobal> value) = 0;
    virtual std::shared_ptr<ClsGlobal> clsGlobal() = 0;
    virtual void setActiveFrame(std::shared_ptr<FrameAccess> value) = 0;
    virtual std::shared_ptr<FrameAccess> activeFrame() = 0;
    virtual void setActiveNavigator(std::shared_ptr<Navigator> value) = 0;
    virtual std::shared_ptr<Navigator> activeNavigator() = 0;
    virtual void setActiveDll(std::shared_ptr<Cinterface> value) = 0;
    virtual std::shared_ptr<Cinterface> activeDll() = 0;
    virtual void setStatusBar(ObjectPtr value) = 0;
    virtual ObjectPtr statusBar() = 0;
    virtual void setCanInsert(bool value) = 0;
    virtual bool canInsert() = 0;
    virtual void setCanDelete(bool value) = 0;
    virtual bool canDelete() = 0;
    virtual void setCanUpdate(bool value) = 0;
    virtual bool canUpdate() = 0;
    virtual void setCanQbe(bool value) = 0;
    virtual bool canQbe() = 0;
    virtual void setWindowState(std::int32_t value) = 0;
    virtual std::int32_t windowState() = 0;
    virtual void setWindowModal(bool value) = 0;
    virtual bool windowModal() = 0;
    virtual void setProgramMode(std::int32_t value) = 0;
    virtual std::int32_t programMode() = 0;
    virtual void setMenuModulo(Variant value) = 0;
    virtual Variant menuModulo() = 0;
    virtual void setMenuPadre(Variant value) = 0;
    virtual Variant menuPadre() = 0;
    virtual void setMenuProg(Variant value) = 0;
    virtual Variant menuProg() = 0;
    virtual void setCaption(Variant value) = 0;
    virtual Variant caption() = 0;
    virtual void setHwndParent(std::int32_t value) = 0;
    virtual std::int32_t hwndParent() = 0;
    virtual Variant showForm() = 0;
    virtual Variant closeForm() = 0;
    virtual void setConnection(std::shared_ptr<krl::ado::Connection> value) = 0;
    virtual std::shared_ptr<krl::ado::Connection> connection() = 0;
    virtual ObjectPtr cwindow() = 0;
    virtual Variant transferData(Variant& data) = 0;
    virtual Variant top() = 0;
    virtual void setTop(Variant value) = 0;
    virtual Variant left() = 0;
    virtual void setLeft(Variant value) = 0;
    virtual void setClsVoceMenu(std::shared_ptr<MenuEntry> value) = 0;
    virtual std::shared_ptr<MenuEntry> clsVoceMenu() = 0;
    virtual void setIsActive(bool value) = 0;
    virtual bool isActive() = 0;
    virtual void setIsCalled(bool value) = 0;
    virtual bool isCalled() = 0;
    virtual void setFiltro(Variant value) = 0;
    virtual Variant filtro() = 0;
};

// Late binding: a host that knows the interface only by its member names (the web host) invokes
// members with Variants. Every accessor has its own dispatch position, counted from 1 in the
// interface's order.
enum class MemberKind { Put, Get, Call };

struct DispatchMember {
    std::string_view name;
    MemberKind kind;
    int dispId;
};

// Every member in dispatch order.
std::span<const DispatchMember> cinterfaceMembers();

// Invokes a member by name (case-insensitive). Put takes the value as its one argument; Call takes
// the method's arguments (TransferData's argument is passed by reference and may come back
// changed). Returns the value read or the method's result (Empty for Put). An unknown member
// raises 438, an argument of the wrong kind 13, a missing argument 449.
Variant invoke(Cinterface& target, std::string_view name, MemberKind kind, VariantArray& args);

}  // namespace krl::host
