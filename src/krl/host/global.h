#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "krl/host/message_service.h"
#include "krl/variant/variant.h"

namespace krl::host {

class Cinterface;

// Pictures by key (the host's image list: "KProgramma", "KProgrammaMM", ...).
struct Picture {
    std::string key;
    std::string source;  // where the host finds the image (a path or an address of its own)
};

class ImageList : public krl::Object {
  public:
    void add(std::string key, std::string source);
    bool contains(std::string_view key) const;
    // Raises 35601 "Elemento non trovato" for an unknown key.
    const Picture& picture(std::string_view key) const;

  private:
    std::vector<Picture> pictures_;
};

// The host toolbar's Buttons collection: each button by name with its Enabled flag.
class ToolbarButtons : public krl::Object {
  public:
    // The host's record-navigation, query and editing buttons, all enabled.
    static std::shared_ptr<ToolbarButtons> standard();

    void add(std::string name, bool enabled = true);
    bool contains(std::string_view name) const;
    // Both raise 35601 "Elemento non trovato" for an unknown name.
    bool enabled(std::string_view name) const;
    void setEnabled(std::string_view name, bool enabled);
    std::vector<std::string> names() const;

  private:
    struct Button {
        std::string name;
        bool enabled;
    };
    Button& find(std::string_view name);
    std::vector<Button> buttons_;
};

// Who is working: the user's code and the second value of the host's user context (both handed to
// the multimedia manager as they are).
struct UserContext {
    Variant userCode;
    Variant userValue;
};

// The host's global object: database settings, current company and its options, user, images,
// programs, message service, toolbar. It only holds what the host gives it; where the values come
// from (the companies table, the sign-in) is the host's business. Used from the window threads of
// one host session, never at the same time.
class ClsGlobal : public krl::Object {
  public:
    ClsGlobal();

    // Database settings.
    const std::string& connectionString() const { return connectionString_; }
    void setConnectionString(std::string value) { connectionString_ = std::move(value); }

    // The current company (its code, as the host keeps it) and its two yes/no options.
    const Variant& currentCompany() const { return currentCompany_; }
    void setCurrentCompany(Variant value) { currentCompany_ = std::move(value); }
    bool companyOptionA() const { return companyOptions().first; }
    void setCompanyOptionA(bool value) { companyOptionA_ = value; }
    bool companyOptionB() const { return companyOptions().second; }
    void setCompanyOptionB(bool value) { companyOptionB_ = value; }
    // Both options as the company has them now: read through the reader when the host gave one
    // (the options may change while a program is open), otherwise the values set above.
    using CompanyOptionsReader = std::function<std::pair<bool, bool>()>;
    void setCompanyOptionsReader(CompanyOptionsReader reader) {
        companyOptionsReader_ = std::move(reader);
    }
    std::pair<bool, bool> companyOptions() const {
        return companyOptionsReader_ ? companyOptionsReader_()
                                     : std::pair{companyOptionA_, companyOptionB_};
    }

    const UserContext& userContext() const { return userContext_; }
    void setUserContext(UserContext value) { userContext_ = std::move(value); }

    std::shared_ptr<ImageList> imageList() const { return imageList_; }
    void setImageList(std::shared_ptr<ImageList> value) { imageList_ = std::move(value); }

    std::shared_ptr<MessageService> messageService() const { return messageService_; }
    void setMessageService(std::shared_ptr<MessageService> value) {
        messageService_ = std::move(value);
    }

    std::shared_ptr<ToolbarButtons> toolbarButtons() const { return toolbarButtons_; }
    void setToolbarButtons(std::shared_ptr<ToolbarButtons> value) {
        toolbarButtons_ = std::move(value);
    }

    // The host's own main program interface (its hwndParent is the owner of the program windows).
    std::shared_ptr<Cinterface> mainInterface() const { return mainInterface_; }
    void setMainInterface(std::shared_ptr<Cinterface> value) { mainInterface_ = std::move(value); }

    // Programs. The host registers each program it opens under its menu-entry identifier; a
    // program registers itself as the current one when its window is activated. Only weak
    // references are kept: the host owns its programs.
    void registerProgram(const Variant& menuEntryId, const std::shared_ptr<Cinterface>& program);
    void deregisterProgram(const Variant& menuEntryId);
    std::shared_ptr<Cinterface> registeredProgram(const Variant& menuEntryId) const;
    void setCurrentProgram(const std::shared_ptr<Cinterface>& program);
    std::shared_ptr<Cinterface> currentProgram() const { return currentProgram_.lock(); }
    void clearCurrentProgram() { currentProgram_.reset(); }
    // Drops every reference to the program (current and registered).
    void dropProgram(const Cinterface* program);

    // A program's parameters changed (kind 2: production parameters) for a company. Recorded, and
    // passed on to the host's listener when there is one.
    struct ParameterChange {
        int kind;
        Variant company;
    };
    using ParameterChangeListener = std::function<void(const ParameterChange&)>;
    void notifyParametersChanged(int kind, const Variant& company);
    const std::vector<ParameterChange>& parameterChanges() const { return parameterChanges_; }
    void setParameterChangeListener(ParameterChangeListener listener) {
        listener_ = std::move(listener);
    }

  private:
    static std::string menuKey(const Variant& menuEntryId);

    std::string connectionString_;
    Variant currentCompany_;
    bool companyOptionA_ = false;
    bool companyOptionB_ = false;
    CompanyOptionsReader companyOptionsReader_;
    UserContext userContext_;
    std::shared_ptr<ImageList> imageList_;
    std::shared_ptr<MessageService> messageService_;
    std::shared_ptr<ToolbarButtons> toolbarButtons_;
    std::shared_ptr<Cinterface> mainInterface_;
    std::map<std::string, std::weak_ptr<Cinterface>> programs_;
    std::weak_ptr<Cinterface> currentProgram_;
    std::vector<ParameterChange> parameterChanges_;
    ParameterChangeListener listener_;
};

}  // namespace krl::host
