// `zovrena params` run as its own process: the exit status (0 nothing found, 1 problems,
// differences or a refused import, 2 bad arguments, bad input or a company that does not exist)
// and what it prints, on a demo database of its own.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data_access.h"

namespace {

namespace fs = std::filesystem;

const fs::path& folder() {
    static const fs::path path = [] {
        fs::path made =
            fs::temp_directory_path() / ("zovrena_params_" + std::to_string(::getpid()));
        fs::remove_all(made);
        fs::create_directories(made);
        return made;
    }();
    return path;
}

using test_support::fileText;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// The executable with these arguments (no blanks in them); "DB" stands for the database.
Outcome zovrena(std::string arguments) {
    const std::string database = "sqlite:" + (folder() / "params.db").string();
    for (std::size_t at = arguments.find("DB"); at != std::string::npos;
         at = arguments.find("DB", at + database.size())) {
        arguments.replace(at, 2, database);
    }
    const fs::path out = folder() / "out.txt";
    const fs::path err = folder() / "err.txt";
    const std::string command =
        std::string(ZOVRENA_BIN) + " " + arguments + " >" + out.string() + " 2>" + err.string();
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, fileText(out), fileText(err)};
}

class ParamsCommand : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(zovrena("demo --database DB").status, 0);
        const Outcome exported = zovrena("params export --database DB --company 1");
        ASSERT_EQ(exported.status, 0) << exported.err;
        std::ofstream(folder() / "ditta1.json") << exported.out;
        std::ofstream(folder() / "rotto.json") << exported.out.substr(0, exported.out.size() / 2);
    }
    static void TearDownTestSuite() { fs::remove_all(folder()); }
};

struct Case {
    const char* arguments;
    int status;
    const char* printed;  // part of standard output, or of standard error when it fails (2)
};

TEST_F(ParamsCommand, Answers_each_case_with_its_status) {
    const std::string file = (folder() / "ditta1.json").string();
    const std::string broken = (folder() / "rotto.json").string();
    const std::string missing = (folder() / "assente.db").string();
    const Case cases[] = {
        {"params check --database DB", 1, "documento DOCDISMESSO"},
        {"params check --database DB --company 2", 0, ""},
        {"params check --database DB --company 1 --json", 1, "\"problema\""},
        {"params check --database DB --company 9", 2, "la ditta 9 non esiste"},
        {"params check --company 1", 2, "indicare il database"},
        {"params check --database DB --company uno", 2, "codice ditta non valido"},
        {"params diff --database DB --company 1 FILE", 0, ""},
        {"params diff --database DB --company 1 --company 2", 1, "PD42_ZOVRENA: (riga presente)"},
        {"params diff --database DB --company 1", 2, "indicare --company N"},
        {"params import --database DB --company 2 FILE --dry-run", 1,
         "documento non presente nella ditta"},
        {"params import --database DB --company 2 BROKEN", 2, "JSON non valido o troncato"},
        {"params import --database DB --company 8 FILE", 2, "la ditta 8 non esiste"},
        {"params export --database DB --company 1 --dry-run", 2, "argomento non valido"},
        {"params sconosciuto", 2, "sottocomando sconosciuto"},
        {"params check --database MISSING", 2, "inesistente"},
    };
    for (const Case& each : cases) {
        std::string arguments = each.arguments;
        if (auto at = arguments.find("FILE"); at != std::string::npos) {
            arguments.replace(at, 4, file);
        }
        if (auto at = arguments.find("BROKEN"); at != std::string::npos) {
            arguments.replace(at, 6, broken);
        }
        if (auto at = arguments.find("MISSING"); at != std::string::npos) {
            arguments.replace(at, 7, "sqlite:" + missing);
        }
        const Outcome run = zovrena(arguments);
        EXPECT_EQ(run.status, each.status) << each.arguments << "\n" << run.out << run.err;
        const std::string& text = each.status == 2 ? run.err : run.out;
        EXPECT_NE(text.find(each.printed), std::string::npos) << each.arguments << "\n" << text;
        if (each.status == 0 && std::string(each.arguments).find("diff") != std::string::npos) {
            EXPECT_EQ(run.out, "") << each.arguments;
        }
    }
    // A database named but missing is not created.
    EXPECT_FALSE(fs::exists(missing));
    // Nothing was written by the refused and the dry imports.
    EXPECT_EQ(zovrena("params diff --database DB --company 1 --company 2").status, 1);
    EXPECT_EQ(zovrena("sql --database DB \"SELECT COUNT(*) AS N FROM PD88_ZOVRENADOC WHERE "
                      "PD88_DITTA_CG18 = 2\"")
                  .out,
              "N\n0\n");
}

}  // namespace
