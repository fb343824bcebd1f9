#include "duza_zovrena/host/program_window.h"

#include <mutex>

namespace duza_zovrena::host {

namespace {

std::mutex& factoryMutex() {
    static std::mutex mutex;
    return mutex;
}

WindowFactory& installedFactory() {
    static WindowFactory factory;
    return factory;
}

}  // namespace

void setWindowFactory(WindowFactory factory) {
    std::lock_guard lock(factoryMutex());
    installedFactory() = std::move(factory);
}

WindowFactory windowFactory() {
    std::lock_guard lock(factoryMutex());
    return installedFactory();
}

}  // namespace duza_zovrena::host
