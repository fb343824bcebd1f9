#pragma once

// A database file of its own per test, with a small parameters table and a deposit table, and a
// page of controls bound to the parameters table.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data_access.h"
#include "krl/ado/ado.h"
#include "krl/controls/check_box.h"
#include "krl/controls/combo.h"
#include "krl/controls/container.h"
#include "krl/controls/edit.h"
#include "krl/controls/lookup.h"

namespace krl::ui_testing {

class UiDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = test_support::freshDatabaseFile("krl_ui");
        connectionString_ = "sqlite:" + file_.string();
        connection_ = connect();
        for (const char* statement : {
                 ("CREATE TABLE PARAM (DITTA INTEGER NOT NULL, CODICE VARCHAR(14) NOT NULL, "
                  "IND SMALLINT, FLG SMALLINT, DEP VARCHAR(2), STEP INTEGER, NOTA VARCHAR(20), "
                  "PRIMARY KEY (DITTA, CODICE))"),
                 "INSERT INTO PARAM VALUES (1, 'A', 1, 0, 'D1', 10, 'prima')",
                 "INSERT INTO PARAM VALUES (1, 'B', 2, 1, NULL, 5, NULL)",
                 "CREATE TABLE DEPOSITI (COD VARCHAR(2) PRIMARY KEY, DESCR VARCHAR(40))",
                 "INSERT INTO DEPOSITI VALUES ('D1', 'Deposito centrale')",
                 "INSERT INTO DEPOSITI VALUES ('D2', 'Magazzino esterno')",
                 "INSERT INTO DEPOSITI VALUES ('X''', 'Con apice')",
             }) {
            exec(statement);
        }
    }

    void TearDown() override {
        controls::closeDecodeConnections();
        if (connection_ && connection_->state() == ado::adStateOpen) {
            connection_->close();
        }
        std::filesystem::remove(file_);
        std::filesystem::remove(file_.string() + "-journal");
    }

    const std::string& connectionString() const { return connectionString_; }

    std::shared_ptr<ado::Connection> connect() const {
        return test_support::openConnection(connectionString_);
    }

    void exec(const std::string& sql) const {
        connection_->execute(sql, nullptr, ado::adCmdText | ado::adExecuteNoRecords);
    }

    // A recordset as the window opens it: cursor and lock unspecified, text command.
    std::shared_ptr<ado::Recordset> open(const std::string& sql) const {
        return test_support::openRecordset(connection_, sql);
    }

    // A value as another connection reads it from the database now.
    Variant stored(const std::string& sql) const {
        auto reader = connect();
        auto rows = reader->execute(sql);
        Variant value = rows->eof() ? Variant() : rows->fields().item(0).value();
        rows->close();
        reader->close();
        return value;
    }

    long count(const std::string& table) const {
        return static_cast<long>(numericValue(stored("SELECT COUNT(*) FROM " + table)));
    }

    std::shared_ptr<ado::Connection> connection_;

  private:
    std::filesystem::path file_;
    std::string connectionString_;
};

// The controls of a page bound to PARAM, with a deposit code field decoded from DEPOSITI.
struct ParamPage {
    explicit ParamPage(const std::string& connectionString) {
        ind = page.create<controls::Combo>(nullptr, "CMB_IND");
        ind->setDbField("IND");
        for (int code = 0; code < 3; ++code) {
            ind->addRow("Valore " + std::to_string(code), Variant(std::int16_t(code)));
        }
        ind->setAllowEmpty(false);
        flg = page.create<controls::CheckBox>(nullptr, "CHK_FLG", "Flag");
        flg->setDbField("FLG");
        dep = page.create<controls::EditM>(nullptr, "TXT_DEP");
        dep->setDbField("DEP");
        dep->setMaxChar(2);
        dep->setDisplayFormat("Maiuscolo");
        depDescription = page.create<controls::Label>(nullptr, "LBL_DESDEP");
        dep->setDescriptionLabel(depDescription);
        dep->StartDecode.connect([this, connectionString](controls::DecodeRequest& request) {
            std::string code = rtrim(dep->text());
            if (code.empty()) {
                depDescription->setCaption("");
                return;
            }
            request.cancel = false;
            request.sql = "SELECT COD, DESCR FROM DEPOSITI WITH (NOLOCK) WHERE COD = '" +
                          doubleQuotes(code) + "'";
            request.connectionString = connectionString;
        });
        step = page.create<controls::EditM>(nullptr, "TXT_STEP");
        step->setDbField("STEP");
        nota = page.create<controls::EditM>(nullptr, "TXT_NOTA");
        nota->setDbField("NOTA");
        nota->setMaxChar(20);
    }

    std::vector<controls::ControlPtr> bound() const { return {ind, flg, dep, step, nota}; }

    controls::ControlContainer page{"CTLTEST_PARAM"};
    std::shared_ptr<controls::Combo> ind;
    std::shared_ptr<controls::CheckBox> flg;
    std::shared_ptr<controls::EditM> dep;
    std::shared_ptr<controls::Label> depDescription;
    std::shared_ptr<controls::EditM> step;
    std::shared_ptr<controls::EditM> nota;
};

using ScriptedLookup = controls::ScriptedLookupPresenter;

}  // namespace krl::ui_testing
