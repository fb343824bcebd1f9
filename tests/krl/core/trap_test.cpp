#include "krl/trap/trap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace krl::trap {
namespace {

// A routine of three statements whose second fails the first time it runs, as a statement does
// when the database is briefly unavailable.
struct FlakyRoutine {
    std::vector<std::string> ran;
    int failuresLeft = 1;

    std::vector<Step> steps() {
        return {
            [this] { ran.emplace_back("first"); },
            [this] {
                ran.emplace_back("second");
                if (failuresLeft > 0) {
                    --failuresLeft;
                    err::raise(3704, "Operazione non consentita se l'oggetto è chiuso.");
                }
            },
            [this] { ran.emplace_back("third"); },
        };
    }
};

TEST(TrapRun, AStepThatFailsOnceUnderEachAnswer) {
    struct Case {
        int answer;
        bool expectedResult;
        std::vector<std::string> expectedRan;
    };
    const Case cases[] = {
        {Abort, false, {"first", "second"}},
        {Retry, true, {"first", "second", "second", "third"}},
        {Ignore, true, {"first", "second", "third"}},
        {2, false, {"first", "second"}},  // any other answer (Cancel) leaves as Abort does
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        FlakyRoutine routine;
        std::vector<std::string> reported;
        auto steps = routine.steps();
        bool result =
            run("LoadDataParametri", steps, [&](std::string_view name, const VbError& error) {
                reported.push_back(std::string(name) + " " + std::to_string(error.number()));
                return c.answer;
            });
        EXPECT_EQ(result, c.expectedResult);
        EXPECT_EQ(routine.ran, c.expectedRan);
        EXPECT_EQ(reported, (std::vector<std::string>{"LoadDataParametri 3704"}));
    }
}

TEST(TrapRun, WithoutAnErrorRoutineAFailureLeavesTheRoutine) {
    FlakyRoutine routine;
    auto steps = routine.steps();
    EXPECT_FALSE(run("InitConnection", steps, nullptr));
    EXPECT_EQ(routine.ran, (std::vector<std::string>{"first", "second"}));
}

TEST(TrapRun, ForeignExceptionsReachTheErrorRoutineAsAutomationErrors) {
    long number = 0;
    std::string description;
    run("Initialize", {[] { throw std::out_of_range("indice fuori intervallo"); }},
        [&](std::string_view, const VbError& error) {
            number = error.number();
            description = error.description();
            return Ignore;
        });
    EXPECT_EQ(number, err::AutomationError);
    EXPECT_EQ(description, "indice fuori intervallo");
}

TEST(TrapRunIgnoring, SkipsFailingStepsAndGoesOn) {
    FlakyRoutine routine;
    routine.failuresLeft = 5;
    runIgnoring(routine.steps());
    EXPECT_EQ(routine.ran, (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(routine.failuresLeft, 4) << "a skipped step is not run again";
}

}  // namespace
}  // namespace krl::trap
