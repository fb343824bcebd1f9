#include "krl/host/host_interface.h"

#include "krl/trap/trap.h"

namespace krl::host {

void HostProgramInterface::setTop(Variant value) {
    krl::trap::ignoring([&] { top_ = value.toInt32(); });
}

void HostProgramInterface::setLeft(Variant value) {
    krl::trap::ignoring([&] { left_ = value.toInt32(); });
}

}  // namespace krl::host
