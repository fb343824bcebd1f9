// The editing cycle: the data frames' events, the called-in-management start, print, and closing.

#include <array>

#include "duza_zovrena/data/columns.h"
#include "duza_zovrena/data/document_rules.h"
#include "duza_zovrena/data/general_rules.h"
#include "duza_zovrena/data/history.h"
#include "duza_zovrena/host/clspd_zovrena.h"
#include "duza_zovrena/pages/page.h"
#include "duza_zovrena/pages/page_list.h"
#include "duza_zovrena/pages/page_members.h"
#include "duza_zovrena/pages/transfer_commands.h"
#include "duza_zovrena/window/frmpd_zovrena.h"
#include "krl/ado/ado.h"
#include "krl/controls/edit.h"
#include "krl/controls/grid_nav.h"
#include "krl/controls/side_bar.h"
#include "krl/frame/virtual_frame.h"
#include "krl/host/cinterface.h"
#include "krl/host/error_log.h"
#include "krl/host/formatters.h"
#include "krl/host/global.h"
#include "krl/host/lookup_decode.h"
#include "krl/host/menu_entry.h"
#include "krl/host/navigator.h"
#include "krl/host/print.h"
#include "krl/trap/trap.h"
#include "krl/variant/text.h"

namespace duza_zovrena::window {

namespace kh = krl::host;

void FRMPD_ZOVRENA::connectFrameEvents() {
    recordHistoryOfSaves();
    std::weak_ptr<FRMPD_ZOVRENA> self = weak_from_this();
    auto with = [self](auto handler) {
        return [self, handler](auto&&... args) {
            if (auto window = self.lock()) {
                handler(*window, args...);
            }
        };
    };
    FME_PARAMETRI_->AfterAddNew.connect(with([](FRMPD_ZOVRENA& window, long result) {
        if (result != 0) {
            window.InizializzaCampi();
        }
    }));
    FME_PARAMETRI_->BeforeUpdate.connect(with([](FRMPD_ZOVRENA& window, bool& cancel) {
        data::GeneralSaveRules(window).beforeUpdate(cancel);
    }));
    FME_PARAMETRI_DOC_->BeforeUpdate.connect(with([](FRMPD_ZOVRENA& window, bool& cancel) {
        data::DocumentSaveRules(window).beforeUpdate(cancel);
    }));
    auto notifyHost = [](FRMPD_ZOVRENA& window, long result) {
        if (result != 0) {
            krl::trap::ignoring(
                [&] { window.global().notifyParametersChanged(2, window.companyCode_); });
        }
    };
    FME_PARAMETRI_->AfterUpdate.connect(with(notifyHost));
    FME_PARAMETRI_->AfterUpdate.connect(with([](FRMPD_ZOVRENA& window, long result) {
        if (result != 0) {
            window.refreshEffectiveValues();
        }
    }));
    FME_PARAMETRI_DOC_->AfterUpdate.connect(with(notifyHost));
    FME_PARAMETRI_->AfterUndo.connect(with([](FRMPD_ZOVRENA& window, long result) {
        if (result == 0) {
            return;
        }
        // Back to the first page of the side bar.
        const pages::PageDeclaration& first = pages::pageList().front();
        window.SB_ZOVRENA_->select(first.group, first.item);
        if (!window.FME_PARAMETRI_->dirty() && !window.FME_PARAMETRI_->locked()) {
            window.INTERNAV_PARAMETRI_->setNavigationLocked(false);
        }
    }));
    FME_PARAMETRI_DOC_->AfterUndo.connect(with([](FRMPD_ZOVRENA& window, long result) {
        if (result != 0 && !window.FME_PARAMETRI_DOC_->dirty() &&
            !window.FME_PARAMETRI_->locked()) {
            window.INTERNAV_PARAMETRI_DOC_->setNavigationLocked(false);
        }
    }));
    FME_PARAMETRI_->ChangeStatus.connect(with([](FRMPD_ZOVRENA& window, long status, long reason) {
        window.FME_PARAMETRI_ChangeStatus(status, reason);
    }));
    FME_PARAMETRI_DOC_->ChangeStatus.connect(
        with([](FRMPD_ZOVRENA& window, long status, long reason) {
            window.FME_PARAMETRI_DOC_ChangeStatus(status, reason);
        }));
}

void FRMPD_ZOVRENA::recordHistoryOfSaves() {
    // The window only edits its company's rows: the company is its own, the keys are no change.
    struct Target {
        krl::ado::Recordset* recordset;
        data::Record record;
        std::string_view companyColumn;
        std::string_view documentColumn;  // empty for the general row
    };
    const Target targets[] = {
        {rsGeneral_.get(), data::Record::General, "PD42_DITTA_CG18", {}},
        {rsDocument_.get(), data::Record::Document, "PD88_DITTA_CG18", "PD88_CODDOC_MG36"},
    };
    std::weak_ptr<FRMPD_ZOVRENA> self = weak_from_this();
    for (const Target& target : targets) {
        // The journal keeps no reference to its own recordset.
        target.recordset->setBatchJournal(
            [self, record = target.record,
             keys = std::array{target.companyColumn, target.documentColumn}](
                krl::ado::Connection& connection, const std::vector<std::string>& names,
                const std::vector<krl::ado::WrittenRow>& rows) {
                auto window = self.lock();
                if (!window) {
                    return;
                }
                for (const krl::ado::WrittenRow& row : rows) {
                    const auto& values = row.after.empty() ? row.before : row.after;
                    data::ChangeSet changes;
                    changes.company = window->companyCode_.toInt32();
                    changes.table = std::string(data::tableName(record));
                    changes.user = window->global().userContext().userCode.textOrEmpty();
                    changes.columns = data::changedColumns(names, row.before, row.after, keys);
                    for (std::size_t i = 0; i < names.size() && !keys[1].empty(); ++i) {
                        if (krl::sameText(names[i], keys[1])) {
                            changes.documentCode = data::historyText(values[i]);
                        }
                    }
                    data::recordChangeSet(connection, changes);
                }
            });
    }
}

// One general row per company: a second new row while the company's row exists is undone at once.
void FRMPD_ZOVRENA::FME_PARAMETRI_ChangeStatus(long status, long) {
    INTERNAV_PARAMETRI_->setNavigationLocked(false);
    if (status == krl::frame::StatusInserting && rsGeneral_->recordCount() >= 2) {
        FME_PARAMETRI_->setStatus(krl::frame::StatusViewing);
    }
    refreshProgramIcon();
}

void FRMPD_ZOVRENA::FME_PARAMETRI_DOC_ChangeStatus(long status, long) {
    INTERNAV_PARAMETRI_DOC_->setNavigationLocked(true);
    if (status == krl::frame::StatusInserting && rsDocument_->recordCount() >= 2) {
        FME_PARAMETRI_DOC_->setStatus(krl::frame::StatusViewing);
    }
    refreshProgramIcon();
}

void FRMPD_ZOVRENA::refreshProgramIcon() {
    if (auto program = programObject_.lock()) {
        program->RefreshProgramIcon();
    }
}

bool FRMPD_ZOVRENA::ChiamataInGestione() {
    bool result = false;
    krl::trap::run(
        "ChiamataInGestione",
        {
            [&] {
                if (programInterface_->isCalled()) {
                    INTERNAV_PARAMETRI_->setNavigationLocked(true);
                    FME_PARAMETRI_->start(krl::frame::StatusViewing);
                    // The framework's further operation of a called program leaves the frame as
                    // it is.
                } else {
                    FME_PARAMETRI_->start(krl::frame::StatusViewing);
                    INTERNAV_PARAMETRI_->setNavigationLocked(false);
                    INTERNAV_PARAMETRI_->addButton("Stampa", "Stampa", "", "Conferma");
                }
            },
            // Until a document code is chosen the document frame shows a blank row that only
            // stands in for one, so that the document pages can open and the person can type the
            // code in the header; nothing can be written into it.
            [&] { FME_PARAMETRI_DOC_->showBlank("Indicare prima il codice documento."); },
            [&] { result = true; },
        },
        onError());
    return result;
}

void FRMPD_ZOVRENA::INTERNAV_PARAMETRI_ButtonClick(bool&, const std::string& button) {
    if (button == "Stampa") {
        Print();
    }
}

// The transfer bar's own action is always cancelled: its frame is the general one, which the
// transfer settings have nothing to do with. Its buttons ask, then run the transfer page's command;
// until a transfer page that has the commands is open, the bar does nothing.
void FRMPD_ZOVRENA::INTERNAV_PARAMETRI_TRP_ButtonClick(bool& cancel, const std::string& button) {
    cancel = true;
    auto transfer = std::dynamic_pointer_cast<pages::TransferCommands>(transferPage());
    if (!transfer) {
        return;
    }
    struct Command {
        std::string_view button;
        long questionId;
        std::string_view question;
        bool (pages::TransferCommands::*run)();
        bool confirmOnlyWhenDone;
    };
    static constexpr Command commands[] = {
        {"Annulla", 6847, "Annullare le impostazioni modificate ?", &pages::TransferCommands::Undo,
         true},
        {"Conferma", 50281, "Salvare le impostazioni per tutti i documenti ?",
         &pages::TransferCommands::Save, false},
        {"Elimina", 24803, "Eliminare le impostazioni per tutti i documenti ?",
         &pages::TransferCommands::Delete, false},
    };
    for (const Command& command : commands) {
        // The bar's own delete button is "elimina": the comparison ignores case.
        if (!krl::sameText(button, command.button)) {
            continue;
        }
        if (ShowMessage(command.question, command.questionId, kh::vbYesNo | kh::vbQuestion,
                        caption_) != kh::vbYes) {
            return;
        }
        bool done = ((*transfer).*command.run)();
        if (done || !command.confirmOnlyWhenDone) {
            ShowMessage("Operazione avvenuta correttamente.", 42120, kh::vbExclamation, caption_);
        }
        return;
    }
}

void FRMPD_ZOVRENA::Print() {
    krl::trap::run("INTERNAV_PARAMETRI_ButtonClick",
                   {
                       [this] {
                           if (!printObject_) {
                               printObject_ = std::make_shared<kh::PrintObject>();
                           }
                           printObject_->setProgramInterface(programInterface_);
                           std::weak_ptr<FRMPD_ZOVRENA> self = weak_from_this();
                           printObject_->setSheetProducer([self](kh::Cinterface*) {
                               auto window = self.lock();
                               return window ? window->printSheet() : kh::PrintSheet{};
                           });
                       },
                       [this] { printObject_->print(); },
                       [this] { programInterface_->setIsActive(true); },
                       [this] {
                           printObject_->setProgramInterface(nullptr);
                           printObject_->close();
                           printObject_.reset();
                       },
                       [this] { global().setCurrentProgram(programInterface_); },
                   },
                   onError());
}

// ---- Closing ----------------------------------------------------------------------------------

bool FRMPD_ZOVRENA::Form_QueryUnload() {
    bool cancel = false;
    krl::trap::ignoring([this] { synchroniseNavigator(); });
    krl::trap::ignoring([&] {
        if (FME_PARAMETRI_ && !FME_PARAMETRI_->queryClose(true, 0, true)) {
            cancel = true;
        }
    });
    if (!cancel) {
        krl::trap::ignoring([&] {
            if (FME_PARAMETRI_DOC_ && !FME_PARAMETRI_DOC_->queryClose(true, 0, true)) {
                cancel = true;
            }
        });
    }
    if (!cancel) {
        krl::trap::ignoring([&] {
            traceToHost("tsClose");
            auto navigator = programInterface_->activeNavigator();
            auto trace = navigator ? navigator->traceObject() : nullptr;
            if (trace) {
                cancel = trace->closingCheck();
            }
        });
    }
    return !cancel;
}

void FRMPD_ZOVRENA::Form_Unload() {
    unloading_ = true;
    krl::trap::runIgnoring({
        [this] { messages_.releaseFallback(); },
        [this] {
            if (auto transfer = transferPage()) {
                pages::pageMember<pages::TransferMembers>(*transfer, "OnTerminate")
                    .setOnTerminate(true);
            }
        },
        [this] { UnloadAllControls(); },
        [this] {
            std::shared_ptr<kh::HostQueryObject> objects[] = {
                clsLookupProduzione_, clsDecodeProduzione_, documentsLookup_, clsLookupListini_,
                clsDecodeListini_};
            for (const auto& object : objects) {
                if (object) {
                    object->setProgramInterface(nullptr);
                    object->release();
                }
            }
            clsLookupProduzione_.reset();
            clsDecodeProduzione_.reset();
            documentsLookup_.reset();
            clsLookupListini_.reset();
            clsDecodeListini_.reset();
        },
        [this] {
            for (auto* frame : {&FME_PARAMETRI_, &FME_PARAMETRI_DOC_}) {
                if (*frame) {
                    (*frame)->terminate();
                    frame->reset();
                }
            }
        },
        [this] {
            if (connection_ && connection_->state() == krl::ado::adStateOpen) {
                connection_->close();
            }
            connection_.reset();
        },
        [this] {
            for (const auto& control : controls()) {
                control->terminate();
            }
        },
        [] { krl::controls::closeDecodeConnections(); },
        [this] {
            for (auto* recordset : {&rsGeneral_, &rsDocument_}) {
                if (*recordset && (*recordset)->state() == krl::ado::adStateOpen) {
                    (*recordset)->close();
                }
                recordset->reset();
            }
        },
        [this] {
            errorLog_.reset();
            numberFormatter_.reset();
            dateFormatter_.reset();
        },
        [this] {
            krl::Variant menuEntryId = programInterface_->clsVoceMenu()->identifier();
            global().deregisterProgram(menuEntryId);
        },
        [this] { programInterface_->setActiveFrame(nullptr); },
        [this] {
            auto navigator = programInterface_->activeNavigator();
            if (auto trace = navigator ? navigator->traceObject() : nullptr) {
                trace->dropMenuEntry(programInterface_->clsVoceMenu()->identifier());
            }
        },
        [this] {
            if (auto navigator = programInterface_->activeNavigator()) {
                navigator->dropReferences(programInterface_.get());
            }
        },
        [this] { global().dropProgram(programInterface_.get()); },
        [this] { INTERNAV_PARAMETRI_->setProgramInterface(nullptr); },
    });
    programInterface_.reset();
    programObject_.reset();
    unloaded_ = true;
    unloading_ = false;
}

}  // namespace duza_zovrena::window
