#pragma once

#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "krl/variant/error.h"

namespace krl::trap {

// Answers of an error routine, as the message box returns them.
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;

// Called with the routine's name and the error; returns the person's answer.
using ErrorRoutine = std::function<int(std::string_view routine, const VbError& error)>;
using Step = std::function<void()>;

// Runs a trapping routine: the steps in order; a step that fails calls the error routine with the
// routine's name. Abort (and any answer other than Retry and Ignore) leaves the routine, Retry runs
// the failing step again, Ignore goes on with the next one. True when the last step was passed,
// false when the routine was left early.
bool run(std::string_view routine, std::span<const Step> steps, const ErrorRoutine& onError);
bool run(std::string_view routine, std::initializer_list<Step> steps, const ErrorRoutine& onError);

// Runs a routine "with errors ignored": a failing step is skipped and the error cleared.
void runIgnoring(std::span<const Step> steps);
void runIgnoring(std::initializer_list<Step> steps);

// Leaves the running routine at once, as a normal end (not an error): the runner stops and answers
// true. Call it from inside a step.
struct ExitRoutine {};
[[noreturn]] inline void exitRoutine() {
    throw ExitRoutine{};
}

// One statement with errors ignored; true when it ran without error.
bool ignoring(const Step& step);

// Any exception turned into the runtime error it stands for (foreign exceptions become an
// automation error carrying their message). Call only inside a catch block.
VbError currentError();

}  // namespace krl::trap
