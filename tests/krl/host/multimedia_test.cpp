#include "krl/host/multimedia.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <set>
#include <thread>

#include "data_access.h"
#include "krl/ado/ado.h"

namespace krl::host {
namespace {

// A database file of its own with a few media items: id 5 holds two, id 9 one.
class MultimediaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file_ = test_support::freshDatabaseFile("krl_host_media");
        connectionString_ = "sqlite:" + file_.string();
        connection_ = test_support::openConnection(connectionString_);
        for (const char* statement : {
                 "CREATE TABLE CG99_MULTIMEDIA (CG99_ID INTEGER NOT NULL, CG99_PROGR INTEGER NOT "
                 "NULL, CG99_DESCRIZIONE VARCHAR(80), CG99_NOMEFILE VARCHAR(255), CG99_CONTENUTO "
                 "BLOB, CG99_DATAINS TEXT, PRIMARY KEY (CG99_ID, CG99_PROGR))",
                 "INSERT INTO CG99_MULTIMEDIA VALUES (5, 1, 'Schema', 'schema.pdf', 'pdf', "
                 "'20240101 10:00:00')",
                 "INSERT INTO CG99_MULTIMEDIA VALUES (5, 2, 'Foto', 'foto.jpg', 'jpg', "
                 "'20240102 10:00:00')",
                 "INSERT INTO CG99_MULTIMEDIA VALUES (9, 1, 'Nota', 'nota.txt', 'testo', "
                 "'20240103 10:00:00')",
             }) {
            connection_->execute(statement, nullptr, ado::adCmdText | ado::adExecuteNoRecords);
        }
        manager_ = CVidazIzozu::create();
        manager_->connect(sink_);
    }

    void TearDown() override {
        connection_->close();
        std::filesystem::remove(file_);
        std::filesystem::remove(file_.string() + "-journal");
    }

    long rowsOf(long id) {
        auto rows = connection_->execute(
            "SELECT COUNT(*) AS N FROM CG99_MULTIMEDIA WHERE CG99_ID = " + std::to_string(id));
        return rows->fields()["N"].value().toInt32();
    }

    struct Sink : MediaEvents {
        void AfterMediaCreate(bool& cancel, const Variant& codiceMedia) override {
            created.push_back(codiceMedia);
            cancel = cancels;
        }
        bool cancels = false;
        std::vector<Variant> created;
    };

    struct Presenter : MediaPresenter {
        void present(std::shared_ptr<MediaSession> session) override {
            sessions.push_back(session);
        }
        std::vector<std::shared_ptr<MediaSession>> sessions;
    };

    // Opens the manager on an id the way a program does and returns the session shown.
    std::shared_ptr<MediaSession> openOn(const Variant& mediaId) {
        Presenter presenter;
        ScopedMediaPresenter scope(presenter);
        manager_->open(Variant("demo"), Variant(std::int32_t{3}), connectionString_, 4242, mediaId,
                       1, 0);
        EXPECT_EQ(presenter.sessions.size(), 1u);
        return presenter.sessions.empty() ? nullptr : presenter.sessions.front();
    }

    std::filesystem::path file_;
    std::string connectionString_;
    std::shared_ptr<ado::Connection> connection_;
    std::shared_ptr<CVidazIzozu> manager_;
    std::shared_ptr<Sink> sink_ = std::make_shared<Sink>();
};

TEST_F(MultimediaTest, ExistsTellsWhetherItemsAreStoredUnderTheId) {
    EXPECT_THROW(manager_->exists(Variant(std::int32_t{5})), VbError) << "no connection yet";
    manager_->setConnection(connection_);
    struct Case {
        Variant id;
        bool expected;
    };
    const Case cases[] = {
        {Variant(std::int32_t{5}), true},
        {Variant("9"), true},
        {Variant(std::int32_t{6}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id.describe());
        EXPECT_EQ(manager_->exists(c.id), c.expected);
    }
    EXPECT_THROW(manager_->exists(Variant("5 OR 1=1")), VbError) << "only numbers reach the SQL";
}

TEST_F(MultimediaTest, OpenHandsTheItemsOfTheIdToTheHost) {
    EXPECT_THROW(manager_->open(Variant(), Variant(), connectionString_, 0, Variant(), 1, 0),
                 VbError)
        << "no presenter on this thread";
    auto session = openOn(Variant(std::int32_t{5}));
    ASSERT_TRUE(session);
    EXPECT_EQ(session->request().userCode.textOrEmpty(), "demo");
    EXPECT_EQ(session->request().hwndParent, 4242);
    EXPECT_EQ(session->request().flag1, 1);
    auto items = session->items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].description, "Schema");
    EXPECT_EQ(items[1].fileName, "foto.jpg");
    EXPECT_EQ(session->content(2), "jpg");
}

TEST_F(MultimediaTest, AttachingToARecordWithoutMediaCreatesANewIdAndTellsTheProgram) {
    auto session = openOn(Variant::null());
    ASSERT_TRUE(session);
    EXPECT_TRUE(session->items().empty());

    EXPECT_EQ(session->attach("Disegno", "disegno.png", "png-bytes"), 1);
    ASSERT_EQ(sink_->created.size(), 1u);
    EXPECT_EQ(sink_->created[0].toInt32(), 10) << "one past the highest id in use";
    EXPECT_EQ(session->mediaId().toInt32(), 10);

    EXPECT_EQ(session->attach("Seconda", "b.txt", "b"), 2);
    EXPECT_EQ(sink_->created.size(), 1u) << "the id exists now: no second creation";
    EXPECT_EQ(rowsOf(10), 2);
    EXPECT_EQ(session->content(1), "png-bytes");
}

TEST_F(MultimediaTest, AttachingToAnIdAddsTheNextItem) {
    auto session = openOn(Variant(std::int32_t{5}));
    ASSERT_TRUE(session);
    EXPECT_EQ(session->attach("Terza", "c.txt", "c"), 3);
    EXPECT_TRUE(sink_->created.empty());
    EXPECT_EQ(rowsOf(5), 3);
    session->remove(1);
    EXPECT_EQ(rowsOf(5), 2);
}

TEST_F(MultimediaTest, RecordsAttachingAtTheSameTimeGetIdsOfTheirOwn) {
    std::vector<std::shared_ptr<MediaSession>> sessions;
    sessions.reserve(6);
    for (int i = 0; i < 6; ++i) {
        sessions.push_back(openOn(Variant()));
        ASSERT_TRUE(sessions.back());
    }
    std::vector<std::thread> attaching;
    attaching.reserve(sessions.size());
    std::atomic<int> failures{0};
    for (const auto& session : sessions) {
        attaching.emplace_back([&failures, session] {
            try {
                session->attach("Nota", "nota.txt", "testo");
            } catch (const std::exception&) {
                ++failures;
            }
        });
    }
    for (auto& thread : attaching) {
        thread.join();
    }
    EXPECT_EQ(failures, 0);
    std::set<std::int32_t> ids;
    for (const auto& session : sessions) {
        ids.insert(session->mediaId().toInt32());
    }
    EXPECT_EQ(ids.size(), sessions.size());
    for (const auto id : ids) {
        EXPECT_EQ(rowsOf(id), 1) << id;
    }
}

TEST_F(MultimediaTest, AProgramThatCancelsTheNewIdLeavesNothingStored) {
    sink_->cancels = true;
    auto session = openOn(Variant());
    ASSERT_TRUE(session);
    EXPECT_EQ(session->attach("Disegno", "disegno.png", "png"), 0);
    EXPECT_EQ(sink_->created.size(), 1u);
    EXPECT_TRUE(session->mediaId().isEmpty());
    EXPECT_EQ(rowsOf(10), 0);
}

}  // namespace
}  // namespace krl::host
