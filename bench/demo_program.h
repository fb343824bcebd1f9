#pragma once

// What the benchmarks share: the demo database in a temporary file, made once per process, and
// the program shown on it for company 1 as the host would show it.

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "duza_zovrena/component.h"
#include "duza_zovrena/data/demo_database.h"
#include "duza_zovrena/host/clspd_zovrena.h"
#include "krl/host/catalogue_message_service.h"
#include "krl/host/global.h"
#include "krl/host/menu_entry.h"
#include "krl/host/navigator.h"
#include "krl/host/progid.h"

namespace zovrena::bench {

inline const std::string& databaseFile() {
    static const std::string file = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("zovrena_bench_" + std::to_string(::getpid()) + ".db");
        std::filesystem::remove(path);
        duza_zovrena::data::createDemoDatabase("sqlite:" + path.string(), true);
        duza_zovrena::registerComponent(krl::host::ProgIdRegistry::instance());
        return path.string();
    }();
    return file;
}

inline std::shared_ptr<krl::host::ClsGlobal> host() {
    auto global = std::make_shared<krl::host::ClsGlobal>();
    global->setConnectionString("sqlite:" + databaseFile());
    global->setCurrentCompany(krl::Variant(std::int32_t{1}));
    global->setMessageService(std::make_shared<krl::host::CatalogueMessageService>());
    return global;
}

inline std::shared_ptr<duza_zovrena::host::CLSPD_ZOVRENA> openProgram(
    const std::shared_ptr<krl::host::ClsGlobal>& global,
    const std::shared_ptr<krl::host::Navigator>& navigator) {
    auto program = duza_zovrena::host::CLSPD_ZOVRENA::create();
    program->setClsGlobal(global);
    program->setActiveNavigator(navigator);
    program->setClsVoceMenu(std::make_shared<krl::host::MenuEntry>(
        krl::Variant("PD_ZOVRENA"), "Parametri di gestione", "DUZA_ZOVRENA.CLSPD_ZOVRENA"));
    program->setCaption(krl::Variant("Parametri di gestione"));
    program->setIsActive(true);
    program->showForm();
    return program;
}

}  // namespace zovrena::bench
