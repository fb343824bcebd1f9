#include "krl/host/print.h"

#include "krl/host/cinterface.h"

namespace krl::host {

namespace {
constexpr long PrinterError = 482;
}

void PrintObject::print() {
    PrintPresenter* presenter = ThreadCurrent<PrintPresenter>::get();
    if (presenter == nullptr) {
        krl::err::raise(PrinterError, "Errore della stampante");
    }
    PrintSheet sheet;
    if (producer_) {
        sheet = producer_(program_.get());
    } else if (program_) {
        sheet.title = program_->caption().textOrEmpty();
    }
    presenter->print(sheet);
}

void PrintObject::close() {
    producer_ = nullptr;
    program_.reset();
}

}  // namespace krl::host
