#include "krl/trap/trap.h"

#include <exception>

namespace krl::trap {

VbError currentError() {
    try {
        throw;
    } catch (const VbError& error) {
        return error;
    } catch (const std::exception& error) {
        return VbError(err::AutomationError, error.what());
    } catch (...) {
        return VbError(err::AutomationError, "Errore sconosciuto");
    }
}

bool run(std::string_view routine, std::span<const Step> steps, const ErrorRoutine& onError) {
    for (std::size_t i = 0; i < steps.size();) {
        try {
            steps[i]();
            ++i;
        } catch (const ExitRoutine&) {
            return true;
        } catch (...) {
            VbError error = currentError();
            int answer = onError ? onError(routine, error) : Abort;
            if (answer == Retry) {
                continue;
            }
            if (answer == Ignore) {
                ++i;
                continue;
            }
            return false;
        }
    }
    return true;
}

bool run(std::string_view routine, std::initializer_list<Step> steps, const ErrorRoutine& onError) {
    return run(routine, std::span<const Step>(steps.begin(), steps.size()), onError);
}

bool ignoring(const Step& step) {
    try {
        step();
        return true;
    } catch (const ExitRoutine&) {
        throw;
    } catch (...) {
        return false;
    }
}

void runIgnoring(std::span<const Step> steps) {
    for (const auto& step : steps) {
        try {
            step();
        } catch (const ExitRoutine&) {
            return;
        } catch (...) {
        }
    }
}

void runIgnoring(std::initializer_list<Step> steps) {
    runIgnoring(std::span<const Step>(steps.begin(), steps.size()));
}

}  // namespace krl::trap
