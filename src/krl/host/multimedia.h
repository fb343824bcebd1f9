#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "krl/host/current.h"
#include "krl/variant/variant.h"

namespace krl::ado {
class Connection;
}

namespace krl::host {

// What a program hears from the multimedia manager.
class MediaEvents {
  public:
    virtual ~MediaEvents() = default;
    // A new media id was created for the items being attached; Cancel set to True drops it again.
    virtual void AfterMediaCreate(bool& cancel, const Variant& codiceMedia) = 0;
};

// One item stored under a media id (a row of CG99_MULTIMEDIA).
struct MediaItem {
    std::int32_t progr = 0;
    std::string description;
    std::string fileName;
    std::string inserted;  // 'YYYYMMDD HH:MM:SS'
};

class CVidazIzozu;

// The arguments a program opened the manager with.
struct MediaOpenRequest {
    Variant userCode;
    Variant userValue;
    std::string connectionString;
    std::int32_t hwndParent = 0;
    Variant mediaId;
    int flag1 = 0;
    int flag2 = 0;
};

// The items of one media id while a person looks at them: handed by the manager to the host's
// media presenter, which lists the items and attaches files. It works on its own connection,
// opened from the connection string the program passed.
class MediaSession {
  public:
    MediaSession(std::weak_ptr<CVidazIzozu> manager, MediaOpenRequest request);
    ~MediaSession();

    const MediaOpenRequest& request() const { return request_; }
    // The media id; Empty until the first item is attached to a session opened without one.
    const Variant& mediaId() const { return mediaId_; }

    std::vector<MediaItem> items();
    std::string content(std::int32_t progr);

    // Attaches a file under the media id. On a session without an id a new id is made first and
    // the manager raises AfterMediaCreate; when a program cancels it the item is removed again and
    // the result is 0. Otherwise the result is the item's progressive number.
    std::int32_t attach(std::string_view description, std::string_view fileName,
                        std::string_view content);
    void remove(std::int32_t progr);

  private:
    krl::ado::Connection& connection();
    std::int32_t nextNumber(std::string_view column, std::string_view where);
    void insert(std::int32_t id, std::int32_t progr, std::string_view description,
                std::string_view fileName, std::string_view content);

    std::weak_ptr<CVidazIzozu> manager_;
    MediaOpenRequest request_;
    Variant mediaId_;
    std::shared_ptr<krl::ado::Connection> connection_;
};

// Where the host shows a media session (the web host: a dialog listing the items).
class MediaPresenter {
  public:
    virtual ~MediaPresenter() = default;
    virtual void present(std::shared_ptr<MediaSession> session) = 0;
};
using ScopedMediaPresenter = ThreadCurrent<MediaPresenter>::Scope;

// The multimedia manager (multimedia links of a record).
class CVidazIzozu : public krl::Object, public std::enable_shared_from_this<CVidazIzozu> {
  public:
    static constexpr std::string_view progId = "FWBO_VIDAZIZOZU.CVidazIzozu";
    static std::shared_ptr<CVidazIzozu> create();

    void setConnection(std::shared_ptr<krl::ado::Connection> connection);
    std::shared_ptr<krl::ado::Connection> connection() const { return connection_; }

    // The event sink, held weakly.
    void connect(const std::shared_ptr<MediaEvents>& sink);
    void disconnect(const MediaEvents* sink);

    // Whether items are stored under the id (on the manager's connection).
    bool exists(const Variant& mediaId);

    // Opens the items of the id for the person: the session goes to the thread's media presenter.
    // Without a presenter nothing can be shown: error 91.
    void open(const Variant& userCode, const Variant& userValue,
              const std::string& connectionString, std::int32_t hwndParent, const Variant& mediaId,
              int flag1, int flag2);

    // Raised by a session that created a new id; returns the Cancel the program left.
    bool raiseAfterMediaCreate(const Variant& codiceMedia);

  protected:
    CVidazIzozu() = default;

  private:
    std::shared_ptr<krl::ado::Connection> connection_;
    std::weak_ptr<MediaEvents> sink_;
};

// SQL literal of a media id (an integer); 13 when the id is not a number.
std::string mediaIdLiteral(const Variant& mediaId);

}  // namespace krl::host
