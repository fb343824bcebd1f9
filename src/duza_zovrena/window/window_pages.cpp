// The side bar, the data frame and navigator bar in front, and the pages.

#include <cstdlib>

#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/parameter_page.h"
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
                   onError());
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
    const pages::PageDeclaration* declared = pages::findPageByItem(itemKey);
    if (declared == nullptr) {
        return false;
    }
    const pages::PageRecord record = declared->record;
    kh::Cinterface& program = *programInterface_;
    switch (record) {
        case pages::PageRecord::General:
            program.setActiveFrame(FME_PARAMETRI_);
            break;
        case pages::PageRecord::Document:
            program.setActiveFrame(FME_PARAMETRI_DOC_);
            break;
        case pages::PageRecord::Transfer:
            program.setActiveFrame(nullptr);
            break;
    }
    INTERNAV_PARAMETRI_->setVisible(record == pages::PageRecord::General);
    INTERNAV_PARAMETRI_DOC_->setVisible(record == pages::PageRecord::Document);
    INTERNAV_PARAMETRI_TRP_->setVisible(record == pages::PageRecord::Transfer);
    return true;
}

bool FRMPD_ZOVRENA::ShowCurrentControl(std::string_view itemKey) {
    for (auto& [key, created] : pages_) {
        created->setVisible(false);
    }
    GetWmsEnabed();
    const pages::PageDeclaration* declared = pages::findPageByItem(itemKey);
    if (declared == nullptr) {
        return false;
    }
    const bool header = declared->record == pages::PageRecord::Document;
    std::shared_ptr<pages::Page> shown = page(itemKey);
    if (!shown) {
        shown = createPage(*declared);
        if (!shown) {
            return false;
        }
    }
    for (auto& [key, created] : pages_) {
        created->setVisible(false);
    }
    shown->setVisible(true);
    applyEnableCarSfridoCl();
    FRAME_CLIENTAREA_->setVisible(header);
    LBL_CODDOC_->setVisible(header);
    TXT_CODDOC_->setVisible(header);
    LBL_DESDOC_->setVisible(header);
    return true;
}

std::shared_ptr<pages::Page> FRMPD_ZOVRENA::createPage(const pages::PageDeclaration& declared) {
    const std::string pageClass = declared.className;
    const std::string itemKey(declared.item);
    const pages::PageRecord record = declared.record;
    const pages::PageMembers members = declared.members;
    std::shared_ptr<pages::Page> created;
    bool ok = krl::trap::run(
        "ShowCurrentControl",
        {
            [&] {
                created = kh::createObjectAs<pages::Page>(pages::pageProgId(pageClass));
                pages_[itemKey] = created;
            },
            [&] {
                if (webRendering()) {
                    KRL_RESIZEFORM1_->addWebRendering(pageClass);
                }
                KRL_RESIZEFORM1_->registerControl(pageClass, 15);
            },
            [&] { created->setActiveInterface(programInterface_); },
            [&] {
                if (record == pages::PageRecord::General) {
                    created->setVirtualFrame(FME_PARAMETRI_);
                    created->setRecordset(rsGeneral_);
                } else if (record == pages::PageRecord::Document) {
                    created->setVirtualFrame(FME_PARAMETRI_DOC_);
                    created->setRecordset(rsDocument_);
                    if (members.documentType && !krl::rtrim(documentTypeText_).empty()) {
                        auto& document = pages::pageMember<pages::DocumentMembers>(
                            *created, "TipoSottotipoDocumento");
                        document.setTipoSottotipoDocumento(documentTypeText_);
                        document.EnableControlByDocument();
                    }
                }
            },
            [&] {
                if (members.decodeLookup) {
                    created->setClsDecodeProduzione(clsDecodeProduzione_);
                    created->setClsLookupProduzione(clsLookupProduzione_);
                }
            },
            [&] {
                if (members.connection) {
                    created->setConnection(connection_);
                }
            },
            [&] {
                if (members.transfer) {
                    pages::pageMember<pages::TransferMembers>(*created, "CodiceDitta")
                        .setCodiceDitta(companyCode_);
                }
            },
            [&] {
                if (members.priceListObjects) {
                    created->setClsDecodeListiniParametrici(clsDecodeListini_);
                    created->setClsLookupListiniParametrici(clsLookupListini_);
                }
            },
            [&] {
                if (wmsEnabled_ && members.warehouseActions) {
                    pages::pageMember<pages::WarehouseActions>(*created, "AzioniWMSEnabled")
                        .AzioniWMSEnabled();
                }
            },
            [&] {
                if (auto parameters = std::dynamic_pointer_cast<pages::ParameterPage>(created)) {
                    std::weak_ptr<FRMPD_ZOVRENA> self = weak_from_this();
                    parameters->setItemSwitch(
                        [self](std::string_view group, std::string_view item, bool enabled) {
                            if (auto window = self.lock()) {
                                window->SB_ZOVRENA_->setItemEnabled(group, item, enabled);
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
                    record == pages::PageRecord::Document ? kClientAreaTop + kClientAreaHeight : 0;
                created->setTop(topOffset - krl::controls::ResizeForm::convertY(60));
                created->setWidth(kClientAreaWidth);
                created->setVisible(false);
                created->SetFocus();
            },
            [&] { refreshEffectiveValues(); },
        },
        onError());
    if (!ok) {
        return nullptr;
    }
    return created;
}

// The pages that offer the scrap-recovery load document: a general page follows the general
// indicator; a document page its own (0 the general setting, 1 off, 2 on).
void FRMPD_ZOVRENA::applyEnableCarSfridoCl() {
    for (const pages::PageDeclaration& declared : pages::pageList()) {
        auto shown = page(declared.item);
        if (!declared.members.carSfridoCl || !shown || !shown->Visible()) {
            continue;
        }
        krl::trap::ignoring([&] {
            auto& scrapLoad =
                pages::pageMember<pages::ScrapLoadSwitch>(*shown, "EnableCarSfridoCl");
            auto general = [this] {
                return krl::numericValue((*rsGeneral_)["PD42_INDCARSFRIDOCL"].value()) == 1;
            };
            if (declared.record != pages::PageRecord::Document) {
                scrapLoad.setEnableCarSfridoCl(general());
                return;
            }
            const double own = krl::numericValue((*rsDocument_)["PD88_INDCARSFRIDOCL"].value());
            if (own == 0) {
                scrapLoad.setEnableCarSfridoCl(general());
            } else if (own == 1 || own == 2) {
                scrapLoad.setEnableCarSfridoCl(own == 2);
            }
        });
    }
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
    for (const auto& declared : pages::pageList()) {
        currentItem_ = std::string(declared.item);
        UnloadCurrentControl();
    }
    currentItem_.clear();
}

}  // namespace duza_zovrena::window
