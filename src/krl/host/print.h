#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "krl/host/current.h"
#include "krl/variant/variant.h"

namespace krl::host {

class Cinterface;

// A printable sheet: a title and rows grouped by section (the host lays them out), or ready HTML.
struct PrintSheet {
    struct Row {
        std::string section;
        std::string label;
        std::string value;
    };
    std::string title;
    std::vector<Row> rows;
    std::string html;
};

// Where the host shows a sheet to print (the web host: a printable view).
class PrintPresenter {
  public:
    virtual ~PrintPresenter() = default;
    virtual void print(const PrintSheet& sheet) = 0;
};
using ScopedPrintPresenter = ThreadCurrent<PrintPresenter>::Scope;

// The print object: given the program interface, it asks the program's sheet producer for the
// sheet and hands it to the thread's print presenter.
class PrintObject : public krl::Object {
  public:
    using SheetProducer = std::function<PrintSheet(Cinterface* program)>;

    void setProgramInterface(std::shared_ptr<Cinterface> program) { program_ = std::move(program); }
    std::shared_ptr<Cinterface> programInterface() const { return program_; }
    void setSheetProducer(SheetProducer producer) { producer_ = std::move(producer); }

    // Without a producer the sheet carries only the program's caption. Without a presenter there
    // is nowhere to print: error 482.
    void print();
    // Drops the producer and the program interface.
    void close();

  private:
    std::shared_ptr<Cinterface> program_;
    SheetProducer producer_;
};

}  // namespace krl::host
