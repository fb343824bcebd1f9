#pragma once

#include "krl/host/cinterface.h"

namespace krl::host {

// The host's own program interface (the main one the global object exposes): it only keeps what
// is written into it. It has no window of its own to show or close.
class HostProgramInterface : public Cinterface {
  public:
    void setClsGlobal(std::shared_ptr<ClsGlobal> value) override { clsGlobal_ = std::move(value); }
    std::shared_ptr<ClsGlobal> clsGlobal() override { return clsGlobal_; }
    void setActiveFrame(std::shared_ptr<FrameAccess> value) override {
        activeFrame_ = std::move(value);
    }
    std::shared_ptr<FrameAccess> activeFrame() override { return activeFrame_; }
    void setActiveNavigator(std::shared_ptr<Navigator> value) override {
        navigator_ = std::move(value);
    }
    std::shared_ptr<Navigator> activeNavigator() override { return navigator_; }
    void setActiveDll(std::shared_ptr<Cinterface> value) override { activeDll_ = std::move(value); }
    std::shared_ptr<Cinterface> activeDll() override { return activeDll_; }
    void setStatusBar(ObjectPtr value) override { statusBar_ = std::move(value); }
    ObjectPtr statusBar() override { return statusBar_; }
    void setCanInsert(bool value) override { canInsert_ = value; }
    bool canInsert() override { return canInsert_; }
    void setCanDelete(bool value) override { canDelete_ = value; }
    bool canDelete() override { return canDelete_; }
    void setCanUpdate(bool value) override { canUpdate_ = value; }
    bool canUpdate() override { return canUpdate_; }
    void setCanQbe(bool value) override { canQbe_ = value; }
    bool canQbe() override { return canQbe_; }
    void setWindowState(std::int32_t value) override { windowState_ = value; }
    std::int32_t windowState() override { return windowState_; }
    void setWindowModal(bool value) override { windowModal_ = value; }
    bool windowModal() override { return windowModal_; }
    void setProgramMode(std::int32_t value) override { programMode_ = value; }
    std::int32_t programMode() override { return programMode_; }
    void setMenuModulo(Variant value) override { menuModulo_ = std::move(value); }
    Variant menuModulo() override { return menuModulo_; }
    void setMenuPadre(Variant value) override { menuPadre_ = std::move(value); }
    Variant menuPadre() override { return menuPadre_; }
    void setMenuProg(Variant value) override { menuProg_ = std::move(value); }
    Variant menuProg() override { return menuProg_; }
    void setCaption(Variant value) override { caption_ = std::move(value); }
    Variant caption() override { return caption_; }
    void setHwndParent(std::int32_t value) override { hwndParent_ = value; }
    std::int32_t hwndParent() override { return hwndParent_; }
    Variant showForm() override { return Variant(); }
    Variant closeForm() override { return Variant(true); }
    void setConnection(std::shared_ptr<krl::ado::Connection> value) override {
        connection_ = std::move(value);
    }
    std::shared_ptr<krl::ado::Connection> connection() override { return connection_; }
    ObjectPtr cwindow() override { return nullptr; }
    Variant transferData(Variant&) override { return Variant(); }
    Variant top() override { return Variant(top_); }
    void setTop(Variant value) override;
    Variant left() override { return Variant(left_); }
    void setLeft(Variant value) override;
    void setClsVoceMenu(std::shared_ptr<MenuEntry> value) override {
        menuEntry_ = std::move(value);
    }
    std::shared_ptr<MenuEntry> clsVoceMenu() override { return menuEntry_; }
    void setIsActive(bool value) override { isActive_ = value; }
    bool isActive() override { return isActive_; }
    void setIsCalled(bool value) override { isCalled_ = value; }
    bool isCalled() override { return isCalled_; }
    void setFiltro(Variant value) override { filtro_ = std::move(value); }
    Variant filtro() override { return filtro_; }

  private:
    std::shared_ptr<ClsGlobal> clsGlobal_;
    std::shared_ptr<FrameAccess> activeFrame_;
    std::shared_ptr<Navigator> navigator_;
    std::shared_ptr<Cinterface> activeDll_;
    ObjectPtr statusBar_;
    bool canInsert_ = true;
    bool canDelete_ = true;
    bool canUpdate_ = true;
    bool canQbe_ = true;
    std::int32_t windowState_ = 0;
    bool windowModal_ = false;
    std::int32_t programMode_ = 0;
    Variant menuModulo_;
    Variant menuPadre_;
    Variant menuProg_;
    Variant caption_;
    std::int32_t hwndParent_ = 0;
    std::shared_ptr<krl::ado::Connection> connection_;
    std::int32_t top_ = 0;
    std::int32_t left_ = 0;
    std::shared_ptr<MenuEntry> menuEntry_;
    bool isActive_ = false;
    bool isCalled_ = false;
    Variant filtro_;
};

}  // namespace krl::host
