#include "krl/host/error_log.h"

#include "krl/host/presenter.h"

namespace krl::host {

void ErrorLog::setError(const VbError& error) {
    error_ = error;
}

void ErrorLog::setProviderErrors(const krl::ado::Errors& errors) {
    providerErrors_ = errors.all();
}

void ErrorLog::clear() {
    error_.reset();
    providerErrors_.clear();
}

std::string ErrorLog::reportText(std::string_view procedure) const {
    std::string text = "Procedura: ";
    text += procedure;
    if (error_) {
        text += "\r\nErrore " + std::to_string(error_->number()) + ": " + error_->description();
        if (!error_->source().empty()) {
            text += "\r\nOrigine: " + error_->source();
        }
    }
    for (const krl::ado::Error& provider : providerErrors_) {
        text += "\r\nErrore del database " + std::to_string(provider.number);
        if (!provider.sqlState.empty()) {
            text += " [" + provider.sqlState + "]";
        }
        text += ": " + provider.description;
    }
    return text;
}

int ErrorLog::report(std::string_view applicationTitle, std::string_view caption,
                     std::string_view procedure, int buttons) {
    std::string title(applicationTitle);
    if (!caption.empty()) {
        title += title.empty() ? "" : " - ";
        title += caption;
    }
    int answer = currentPresenter().present({0, reportText(procedure), buttons, title});
    clear();
    return answer;
}

}  // namespace krl::host
