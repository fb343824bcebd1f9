#include "krl/host/multimedia.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>

#include "krl/ado/ado.h"
#include "krl/trap/trap.h"

namespace krl::host {

namespace {

std::string now() {
    std::time_t seconds = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d %H:%M:%S", &local);
    return buffer;
}

bool blankId(const Variant& mediaId) {
    return mediaId.isEmpty() || mediaId.isNull() || krl::rtrim(mediaId.textOrEmpty()).empty() ||
           krl::numericValue(mediaId) == 0;
}

}  // namespace

std::string mediaIdLiteral(const Variant& mediaId) {
    double value = mediaId.toDouble();
    if (value != std::floor(value)) {
        krl::err::typeMismatch();
    }
    return std::to_string(static_cast<long long>(value));
}

// ---- MediaSession

MediaSession::MediaSession(std::weak_ptr<CVidazIzozu> manager, MediaOpenRequest request)
    : manager_(std::move(manager)), request_(std::move(request)) {
    if (!blankId(request_.mediaId)) {
        mediaId_ = request_.mediaId;
    }
}

MediaSession::~MediaSession() {
    if (connection_ && connection_->state() == krl::ado::adStateOpen) {
        krl::trap::ignoring([&] { connection_->close(); });
    }
}

krl::ado::Connection& MediaSession::connection() {
    if (!connection_) {
        auto connection = krl::ado::Connection::create();
        connection->setConnectionString(request_.connectionString);
        connection->open();
        connection_ = std::move(connection);
    }
    return *connection_;
}

std::int32_t MediaSession::nextNumber(std::string_view column, std::string_view where) {
    std::string sql = "SELECT COALESCE(MAX(" + std::string(column) + "), 0) + 1 AS NEXTNUMBER " +
                      "FROM CG99_MULTIMEDIA" + std::string(where);
    auto rows = connection().execute(sql);
    return rows->fields()["NEXTNUMBER"].value().toInt32();
}

std::vector<MediaItem> MediaSession::items() {
    std::vector<MediaItem> items;
    if (mediaId_.isEmpty()) {
        return items;
    }
    auto rows = connection().execute(
        "SELECT CG99_PROGR, CG99_DESCRIZIONE, CG99_NOMEFILE, CG99_DATAINS "
        "FROM CG99_MULTIMEDIA WITH (NOLOCK) WHERE CG99_ID = " +
        mediaIdLiteral(mediaId_) + " ORDER BY CG99_PROGR");
    for (; !rows->eof(); rows->moveNext()) {
        auto& fields = rows->fields();
        items.push_back({fields["CG99_PROGR"].value().toInt32(),
                         fields["CG99_DESCRIZIONE"].value().textOrEmpty(),
                         fields["CG99_NOMEFILE"].value().textOrEmpty(),
                         fields["CG99_DATAINS"].value().textOrEmpty()});
    }
    return items;
}

std::string MediaSession::content(std::int32_t progr) {
    if (mediaId_.isEmpty()) {
        return {};
    }
    auto rows = connection().execute(
        "SELECT CG99_CONTENUTO FROM CG99_MULTIMEDIA WITH (NOLOCK) "
        "WHERE CG99_ID = " +
        mediaIdLiteral(mediaId_) + " AND CG99_PROGR = " + std::to_string(progr));
    if (rows->eof()) {
        return {};
    }
    return rows->fields()["CG99_CONTENUTO"].value().textOrEmpty();
}

std::int32_t MediaSession::attach(std::string_view description, std::string_view fileName,
                                  std::string_view content) {
    connection();
    const bool created = mediaId_.isEmpty();
    Variant id;
    std::int32_t progr = 0;
    {
        // Numbers are the highest so far plus one: two attachments at once would take the same.
        // One at a time within this process, and taken again when another process (the ERP's
        // own clients) took it first and the row is refused.
        static std::mutex numbering;
        std::lock_guard lock(numbering);
        for (int attempt = 1;; ++attempt) {
            id = created ? Variant(nextNumber("CG99_ID", "")) : mediaId_;
            progr =
                created ? 1 : nextNumber("CG99_PROGR", " WHERE CG99_ID = " + mediaIdLiteral(id));
            try {
                insert(id.toInt32(), progr, description, fileName, content);
                break;
            } catch (const std::exception&) {
                if (attempt == 3) {
                    throw;
                }
            }
        }
    }

    if (created) {
        mediaId_ = id;
        auto manager = manager_.lock();
        if (manager && manager->raiseAfterMediaCreate(id)) {
            remove(progr);
            mediaId_ = Variant();
            return 0;
        }
    }
    return progr;
}

void MediaSession::insert(std::int32_t id, std::int32_t progr, std::string_view description,
                          std::string_view fileName, std::string_view content) {
    auto row = krl::ado::Recordset::create();
    row->setActiveConnection(connection_);
    row->setSource("SELECT * FROM CG99_MULTIMEDIA WHERE 1 = 0");
    row->open(krl::ado::adOpenUnspecified, krl::ado::adLockBatchOptimistic, krl::ado::adCmdText);
    row->addNew();
    row->fields()["CG99_ID"].setValue(Variant(id));
    row->fields()["CG99_PROGR"].setValue(Variant(progr));
    row->fields()["CG99_DESCRIZIONE"].setValue(Variant(description));
    row->fields()["CG99_NOMEFILE"].setValue(Variant(fileName));
    row->fields()["CG99_CONTENUTO"].setValue(Variant(content));
    row->fields()["CG99_DATAINS"].setValue(Variant(now()));
    row->updateBatch();
    row->close();
}

void MediaSession::remove(std::int32_t progr) {
    if (mediaId_.isEmpty()) {
        return;
    }
    connection().execute("DELETE FROM CG99_MULTIMEDIA WHERE CG99_ID = " + mediaIdLiteral(mediaId_) +
                             " AND CG99_PROGR = " + std::to_string(progr),
                         nullptr, krl::ado::adCmdText | krl::ado::adExecuteNoRecords);
}

// ---- CVidazIzozu

std::shared_ptr<CVidazIzozu> CVidazIzozu::create() {
    return std::shared_ptr<CVidazIzozu>(new CVidazIzozu());
}

void CVidazIzozu::setConnection(std::shared_ptr<krl::ado::Connection> connection) {
    connection_ = std::move(connection);
}

void CVidazIzozu::connect(const std::shared_ptr<MediaEvents>& sink) {
    sink_ = sink;
}

void CVidazIzozu::disconnect(const MediaEvents* sink) {
    auto current = sink_.lock();
    if (!current || current.get() == sink) {
        sink_.reset();
    }
}

bool CVidazIzozu::exists(const Variant& mediaId) {
    if (!connection_) {
        krl::err::objectNotSet("Connection");
    }
    auto rows = connection_->execute(
        "SELECT COUNT(*) AS ITEMS FROM CG99_MULTIMEDIA WITH (NOLOCK) WHERE CG99_ID = " +
        mediaIdLiteral(mediaId));
    return !rows->eof() && krl::numericValue(rows->fields()["ITEMS"].value()) > 0;
}

void CVidazIzozu::open(const Variant& userCode, const Variant& userValue,
                       const std::string& connectionString, std::int32_t hwndParent,
                       const Variant& mediaId, int flag1, int flag2) {
    MediaPresenter* presenter = ThreadCurrent<MediaPresenter>::get();
    if (presenter == nullptr) {
        krl::err::objectNotSet("MediaPresenter");
    }
    presenter->present(std::make_shared<MediaSession>(
        weak_from_this(), MediaOpenRequest{userCode, userValue, connectionString, hwndParent,
                                           mediaId, flag1, flag2}));
}

bool CVidazIzozu::raiseAfterMediaCreate(const Variant& codiceMedia) {
    bool cancel = false;
    if (auto sink = sink_.lock()) {
        krl::trap::ignoring([&] { sink->AfterMediaCreate(cancel, codiceMedia); });
    }
    return cancel;
}

}  // namespace krl::host
