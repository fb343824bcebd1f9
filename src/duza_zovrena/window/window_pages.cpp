// The side bar, the data frame and navigator bar in front, and the pages.

#include <cstdlib>

#include "duza_zovrena/pages/ctlpd_prg_indges.h"
#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/ado/ado.h"
#include "krl/controls/edit.h"
#include "krl/controls/frame.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/resize_form.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/cinterface.h"
#include "krl/host/global.h"
#include "krl/host/lookup_decode.h"
#include "krl/host/navigator.h"
#include "krl/host/progid.h"
#include "krl/trap/trap.h"

namespace duza_zovrena::window {

namespace kh = krl::host;

namespace {

// Window units of the layout the pages are placed in.
constexpr double kSideBarWidth = 3000;
constexpr double kClientAreaTop = 0;
constexpr double kClientAreaHeight = 700;
constexpr double kClientAreaWidth = 10500;

bool among(std::string_view value, std::initializer_list<std::string_view> list) {
    for (std::string_view candidate : list) {
        if (candidate == value) {
            return true;
        }
    }
    return false;
}

// The three letters after "ITM_" (or after "CTLPD_") choose the record: PRG general, PRD document,
// PRT custom-field transfer.
std::string_view area(std::string_view key, std::size_t position) {
    return key.size() >= position + 3 ? key.substr(position, 3) : std::string_view{};
}

bool documentItem(std::string_view itemKey) {
    return among(itemKey, {"ITM_PRD_IND", "ITM_PRD_PRD", "ITM_PRD_DCLIE", "ITM_PRD_DCCLA"});
}

bool webRendering() {
    const char* value = std::getenv("WEBRender");
    return value != nullptr && std::string_view(value) == "1";
}

}  // namespace

void FRMPD_ZOVRENA::SB_ZOVRENA_OnClickItemLink(const std::string& itemKey) {
    if (itemKey == currentItem_) {
        return;
    }
    struct Flags {
        bool dirty;
        bool locked;
    };
    Flags general{FME_PARAMETRI_ ? FME_PARAMETRI_->dirty() : false,
                  FME_PARAMETRI_ ? FME_PARAMETRI_->locked() : false};
    Flags document{FME_PARAMETRI_DOC_ ? FME_PARAMETRI_DOC_->dirty() : false,
                   FME_PARAMETRI_DOC_ ? FME_PARAMETRI_DOC_->locked() : false};
    krl::trap::run("SB_ZOVRENA_OnClickItemLink",
                   {
                       [&] {
                           if (!SetActiveFrame(itemKey)) {
                               krl::trap::exitRoutine();
                           }
                       },
                       [&] { synchroniseNavigator(); },
                       [&] {
                           // The item becomes the current one even when its page
                           // refuses to initialise.
                           ShowCurrentControl(itemKey);
                           currentItem_ = itemKey;
                       },
                       [&] { refreshNavigator(); },
                   },
                   [this](std::string_view routine, const krl::VbError& error) {
                       return HandleError(routine, error);
                   });
    krl::trap::runIgnoring({
        [&] {
            if (FME_PARAMETRI_) {
                FME_PARAMETRI_->setDirty(general.dirty);
                FME_PARAMETRI_->setLocked(general.locked);
                FME_PARAMETRI_->refresh();
            }
        },
        [&] {
            if (FME_PARAMETRI_DOC_) {
                FME_PARAMETRI_DOC_->setDirty(document.dirty);
                FME_PARAMETRI_DOC_->setLocked(document.locked);
                FME_PARAMETRI_DOC_->refresh();
            }
        },
    });
}

void FRMPD_ZOVRENA::refreshNavigator() {
    if (auto navigator = programInterface_ ? programInterface_->activeNavigator() : nullptr) {
        navigator->refresh();
    }
}

bool FRMPD_ZOVRENA::SetActiveFrame(std::string_view itemKey) {
    std::string_view which = area(itemKey, 4);
    kh::Cinterface& program = *programInterface_;
    if (which == "PRG") {
        program.setActiveFrame(FME_PARAMETRI_);
        INTERNAV_PARAMETRI_->setVisible(true);
        INTERNAV_PARAMETRI_DOC_->setVisible(false);
        INTERNAV_PARAMETRI_TRP_->setVisible(false);
    } else if (which == "PRD") {
        program.setActiveFrame(FME_PARAMETRI_DOC_);
        INTERNAV_PARAMETRI_->setVisible(false);
        INTERNAV_PARAMETRI_DOC_->setVisible(true);
        INTERNAV_PARAMETRI_TRP_->setVisible(false);
    } else if (which == "PRT") {
        program.setActiveFrame(nullptr);
        INTERNAV_PARAMETRI_->setVisible(false);
        INTERNAV_PARAMETRI_DOC_->setVisible(false);
        INTERNAV_PARAMETRI_TRP_->setVisible(true);
    } else {
        return false;
    }
    return true;
}

bool FRMPD_ZOVRENA::ShowCurrentControl(std::string_view itemKey) {
    for (auto& [key, created] : pages_) {
        created->setVisible(false);
    }
    GetWmsEnabed();
    const SideBarItem* item = findItem(itemKey);
    if (item == nullptr) {
        return false;
    }
    std::shared_ptr<pages::Page> shown = page(itemKey);
    if (!shown) {
        shown = createPage(*item);
        if (!shown) {
            return false;
        }
    }
    for (auto& [key, created] : pages_) {
        created->setVisible(false);
    }
    shown->setVisible(true);
    applyEnableCarSfridoCl();
    bool header = documentItem(itemKey);
    FRAME_CLIENTAREA_->setVisible(header);
    LBL_CODDOC_->setVisible(header);
    TXT_CODDOC_->setVisible(header);
    LBL_DESDOC_->setVisible(header);
    return true;
}

std::shared_ptr<pages::Page> FRMPD_ZOVRENA::createPage(const SideBarItem& item) {
    const std::string_view pageClass = item.pageClass;
    std::shared_ptr<pages::Page> created;
    bool ok = krl::trap::run(
        "ShowCurrentControl",
        {
            [&] {
                created = kh::createObjectAs<pages::Page>(pages::pageProgId(pageClass));
                pages_[std::string(item.item)] = created;
            },
            [&] {
                if (webRendering()) {
                    KRL_RESIZEFORM1_->addWebRendering(std::string(pageClass));
                }
                KRL_RESIZEFORM1_->registerControl(std::string(pageClass), 15);
            },
            [&] { created->setActiveInterface(programInterface_); },
            [&] {
                std::string_view which = area(pageClass, 6);
                if (which == "PRG") {
                    created->setVirtualFrame(FME_PARAMETRI_);
                    created->setRecordset(rsGeneral_);
                } else if (which == "PRD") {
                    created->setVirtualFrame(FME_PARAMETRI_DOC_);
                    created->setRecordset(rsDocument_);
                    if (!krl::rtrim(documentTypeText_).empty()) {
                        created->setTipoSottotipoDocumento(documentTypeText_);
                        created->EnableControlByDocument();
                    }
                }
            },
            [&] {
                if (among(pageClass, {"CTLPD_PRG_INDGES", "CTLPD_PRG_LAVINTDOC",
                                      "CTLPD_PRG_LAVESTDOC", "CTLPD_PRG_CLADOC",
                                      "CTLPD_PRG_SCADIBADOC", "CTLPD_PRG_CICLI", "CTLPD_PRD_DCLIE",
                                      "CTLPD_PRD_DCCLA", "CTLPD_PRG_LAVESTIND", "CTLPD_PRD_IND"})) {
                    created->setClsDecodeProduzione(clsDecodeProduzione_);
                    created->setClsLookupProduzione(clsLookupProduzione_);
                }
            },
            [&] {
                if (among(pageClass, {"CTLPD_PRG_LAVINTDOC", "CTLPD_PRG_LAVESTDOC",
                                      "CTLPD_PRG_CLADOC", "CTLPD_PRG_SCADIBADOC", "CTLPD_PRG_CICLI",
                                      "CTLPD_PRD_DCLIE", "CTLPD_PRD_DCCLA", "CTLPD_PRT_TRPERS"})) {
                    created->setConnection(connection_);
                }
            },
            [&] {
                if (pageClass == "CTLPD_PRT_TRPERS") {
                    created->setCodiceDitta(companyCode_);
                }
            },
            [&] {
                if (pageClass == "CTLPD_PRG_VALORIZ") {
                    created->setClsDecodeListiniParametrici(clsDecodeListini_);
                    created->setClsLookupListiniParametrici(clsLookupListini_);
                }
            },
            [&] {
                if (wmsEnabled_ && among(pageClass, {"CTLPD_PRG_INDGES", "CTLPD_PRG_LAVINTIND"})) {
                    created->AzioniWMSEnabled();
                }
            },
            [&] {
                if (auto indicators = std::dynamic_pointer_cast<pages::CTLPD_PRG_INDGES>(created)) {
                    std::weak_ptr<FRMPD_ZOVRENA> self = weak_from_this();
                    indicators->ComboGestioneCicliChangeRow.connect([self](std::int16_t value) {
                        if (auto window = self.lock()) {
                            window->ComboGestioneCicliChangeRow(value);
                        }
                    });
                }
            },
            [&] {
                if (!created->Initialize()) {
                    created->setVisible(false);
                    created.reset();
                    krl::trap::exitRoutine();
                }
            },
            [&] {
                created->setLeft(krl::controls::ResizeForm::convertX(15) + kSideBarWidth);
                double topOffset =
                    area(pageClass, 6) == "PRD" ? kClientAreaTop + kClientAreaHeight : 0;
                created->setTop(topOffset - krl::controls::ResizeForm::convertY(60));
                created->setWidth(kClientAreaWidth);
                created->setVisible(false);
                created->SetFocus();
            },
        },
        [this](std::string_view routine, const krl::VbError& error) {
            return HandleError(routine, error);
        });
    if (!ok) {
        return nullptr;
    }
    return created;
}

void FRMPD_ZOVRENA::applyEnableCarSfridoCl() {
    krl::trap::runIgnoring({
        [this] {
            if (auto external = page("ITM_PRG_LAVESTDOC"); external && external->Visible()) {
                external->setEnableCarSfridoCl(
                    krl::numericValue((*rsGeneral_)["PD42_INDCARSFRIDOCL"].value()) == 1);
            }
        },
        [this] {
            auto linked = page("ITM_PRD_DCLIE");
            if (!linked || !linked->Visible()) {
                return;
            }
            double document = krl::numericValue((*rsDocument_)["PD88_INDCARSFRIDOCL"].value());
            if (document == 0) {
                linked->setEnableCarSfridoCl(
                    krl::numericValue((*rsGeneral_)["PD42_INDCARSFRIDOCL"].value()) == 1);
            } else if (document == 1) {
                linked->setEnableCarSfridoCl(false);
            } else if (document == 2) {
                linked->setEnableCarSfridoCl(true);
            }
        },
    });
}

void FRMPD_ZOVRENA::UnloadCurrentControl() {
    if (currentItem_.empty()) {
        return;
    }
    std::shared_ptr<pages::Page> current = page(currentItem_);
    if (!current) {
        return;
    }
    krl::trap::runIgnoring({
        [&] {
            if (current->hasVirtualFrame() && current->virtualFrame()) {
                global().setCurrentProgram(current->activeInterface());
                programInterface_->setActiveFrame(current->virtualFrame());
                synchroniseNavigator();
            }
        },
        [&] { traceToHost("tsClose"); },
        [&] { current->Terminate(); },
        [&] { pages_.erase(currentItem_); },
        [&] { KRL_RESIZEFORM1_->unregisterControl(current->className()); },
        [&] {
            if (auto navigator = programInterface_->activeNavigator()) {
                navigator->dropReferences(current.get());
            }
        },
    });
}

void FRMPD_ZOVRENA::UnloadAllControls() {
    for (const auto& item : sideBarItems()) {
        currentItem_ = std::string(item.item);
        UnloadCurrentControl();
    }
    currentItem_.clear();
}

}  // namespace duza_zovrena::window
