#include "web/server/session_store.h"

#include <algorithm>

#include "web/server/token.h"

namespace zovrena::web {

const Company* Session::findCompany(std::int32_t code) const {
    auto found = std::find_if(companies.begin(), companies.end(),
                              [code](const Company& c) { return c.code == code; });
    return found == companies.end() ? nullptr : &*found;
}

SessionStore::SessionStore(Clock::duration idleTimeout, Now now, std::size_t maxSessionsPerUser)
    : idleTimeout_(idleTimeout), now_(std::move(now)), maxSessionsPerUser_(maxSessionsPerUser) {}

bool SessionStore::expired(const Entry& entry, Clock::time_point now) const {
    return now - entry.lastSeen >= idleTimeout_;
}

void SessionStore::makeRoom(Clock::time_point now) {
    std::erase_if(sessions_, [&](const auto& item) { return expired(item.second, now); });
    while (sessions_.size() >= maxSessions) {
        auto oldest = std::min_element(
            sessions_.begin(), sessions_.end(),
            [](const auto& a, const auto& b) { return a.second.lastSeen < b.second.lastSeen; });
        sessions_.erase(oldest);
    }
}

Session SessionStore::open(std::string user, std::string userName, std::vector<Company> companies,
                           std::string credential) {
    Session session;
    session.credential = std::move(credential);
    session.token = randomToken();
    session.csrfToken = randomToken();
    session.user = std::move(user);
    session.userName = std::move(userName);
    std::sort(companies.begin(), companies.end(),
              [](const Company& a, const Company& b) { return a.code < b.code; });
    session.companies = std::move(companies);
    if (!session.companies.empty()) {
        session.company = session.companies.front().code;
    }

    std::lock_guard lock(mutex_);
    const auto now = now_();
    makeRoom(now);
    for (;;) {
        std::size_t own = 0;
        auto oldest = sessions_.end();
        for (auto it = sessions_.begin(); it != sessions_.end(); ++it) {
            if (it->second.session.user == session.user) {
                ++own;
                if (oldest == sessions_.end() || it->second.lastSeen < oldest->second.lastSeen) {
                    oldest = it;
                }
            }
        }
        if (own < maxSessionsPerUser_) {
            break;
        }
        sessions_.erase(oldest);
    }
    sessions_[session.token] = Entry{session, now};
    return session;
}

std::optional<Session> SessionStore::find(std::string_view token) {
    std::lock_guard lock(mutex_);
    auto found = sessions_.find(token);
    if (found == sessions_.end()) {
        return std::nullopt;
    }
    const auto now = now_();
    if (expired(found->second, now)) {
        sessions_.erase(found);
        return std::nullopt;
    }
    found->second.lastSeen = now;
    return found->second.session;
}

bool SessionStore::alive(std::string_view token) {
    std::lock_guard lock(mutex_);
    auto found = sessions_.find(token);
    return found != sessions_.end() && !expired(found->second, now_());
}

void SessionStore::close(std::string_view token) {
    std::lock_guard lock(mutex_);
    auto found = sessions_.find(token);
    if (found != sessions_.end()) {
        sessions_.erase(found);
    }
}

CompanyChoice SessionStore::chooseCompany(std::string_view token, std::int32_t company,
                                          std::vector<Company> grants) {
    std::lock_guard lock(mutex_);
    auto found = sessions_.find(token);
    if (found == sessions_.end() || expired(found->second, now_())) {
        return CompanyChoice::NoSession;
    }
    Session& session = found->second.session;
    const bool grantedBefore = session.findCompany(company) != nullptr;
    std::sort(grants.begin(), grants.end(),
              [](const Company& a, const Company& b) { return a.code < b.code; });
    session.companies = std::move(grants);
    if (session.company && !session.findCompany(*session.company)) {
        session.company.reset();  // the company worked in is gone too
    }
    if (!session.findCompany(company)) {
        return grantedBefore ? CompanyChoice::NoLongerAvailable : CompanyChoice::NotGranted;
    }
    session.company = company;
    return CompanyChoice::Chosen;
}

std::size_t SessionStore::size() {
    std::lock_guard lock(mutex_);
    return sessions_.size();
}

}  // namespace zovrena::web
