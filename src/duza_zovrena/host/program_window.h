#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "krl/host/cinterface.h"

namespace duza_zovrena::host {

class CLSPD_ZOVRENA;

// What the program object needs of its window (FRMPD_ZOVRENA implements it).
class ProgramWindow : public krl::Object {
  public:
    // The program interface the window reads the host context from; null once the window has
    // unloaded.
    virtual void setProgramInterface(std::shared_ptr<krl::host::Cinterface> programInterface) = 0;
    virtual std::shared_ptr<krl::host::Cinterface> programInterface() const = 0;
    // The first access to the window's own properties: it starts the load sequence, which reads
    // the host context through the program interface.
    virtual void setWindowState(std::int16_t windowState) = 0;
    // The program object, called back for the icon refresh.
    virtual void setProgramObject(std::shared_ptr<CLSPD_ZOVRENA> programObject) = 0;
    virtual void setCaption(std::string caption) = 0;
    virtual std::string caption() const = 0;
    // Shows the window (and runs its first activation); modal or modeless, without an owner.
    virtual void show(bool modal) = 0;
    // Runs the query-unload and the unload. True when the window is unloaded and has released its
    // program interface (also when it already was), False when the query-unload refused.
    virtual bool unload() = 0;
    // Sets the window icon to the picture of that key in the host's image list.
    virtual void setIcon(std::string_view pictureKey) = 0;
    // Forwards to the page shown, when there is one.
    virtual void InitializeLayoutObjectModel() = 0;
    virtual std::string name() const = 0;
};

// Creates the program's window; the window library installs the one that builds FRMPD_ZOVRENA.
using WindowFactory = std::function<std::shared_ptr<ProgramWindow>()>;
void setWindowFactory(WindowFactory factory);
WindowFactory windowFactory();

}  // namespace duza_zovrena::host
