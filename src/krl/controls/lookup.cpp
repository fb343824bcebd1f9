#include "krl/controls/lookup.h"

#include <unordered_map>

#include "krl/ado/ado.h"
#include "krl/trap/trap.h"

namespace krl::controls {

namespace {

thread_local LookupPresenter* currentPresenter = nullptr;

std::unordered_map<std::string, std::shared_ptr<ado::Connection>>& connections() {
    thread_local std::unordered_map<std::string, std::shared_ptr<ado::Connection>> cache;
    return cache;
}

}  // namespace

LookupPresenter* currentLookupPresenter() {
    return currentPresenter;
}

void setCurrentLookupPresenter(LookupPresenter* presenter) {
    currentPresenter = presenter;
}

ScopedLookupPresenter::ScopedLookupPresenter(LookupPresenter& presenter)
    : previous_(currentPresenter) {
    currentPresenter = &presenter;
}

ScopedLookupPresenter::~ScopedLookupPresenter() {
    currentPresenter = previous_;
}

std::shared_ptr<ado::Connection> decodeConnection(const std::string& connectionString) {
    auto& cache = connections();
    auto& connection = cache[connectionString];
    if (!connection) {
        connection = ado::Connection::create();
        connection->setConnectionString(connectionString);
    }
    if (connection->state() != ado::adStateOpen) {
        try {
            connection->open();
        } catch (...) {
            cache.erase(connectionString);
            throw;
        }
    }
    return connection;
}

void closeDecodeConnections() {
    for (auto& entry : connections()) {
        auto& connection = entry.second;
        trap::ignoring([&] {
            if (connection->state() == ado::adStateOpen) {
                connection->close();
            }
        });
    }
    connections().clear();
}

std::optional<std::size_t> ScriptedLookupPresenter::choose(const LookupList& list) {
    shown.push_back(list);
    if (answers.empty()) {
        return std::nullopt;
    }
    auto answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

}  // namespace krl::controls
