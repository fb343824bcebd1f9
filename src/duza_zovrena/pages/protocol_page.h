#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "duza_zovrena/pages/parameter_page.h"

namespace duza_zovrena::pages {

// Which page-specific members a page offers.
struct ProtocolPageDefinition {
    PageDefinition page;
    bool warehouseActions = false;  // AzioniWMSEnabled
    bool carSfridoCl = false;       // EnableCarSfridoCl
    bool documentMembers = false;  // TipoSottotipoDocumento, EnableControl, EnableControlByDocument
    bool transferMembers = false;  // CodiceDitta, OnTerminate
};

// What the page of that class offers (a page class without its own controls yet).
ProtocolPageDefinition protocolPageDefinition(std::string_view className);

// A page that follows the protocol (members, Initialize with its checks, Terminate, messages,
// trace lines) and shows only its title: the pages whose controls are not built yet.
class ProtocolPage : public ParameterPage {
  public:
    explicit ProtocolPage(const ProtocolPageDefinition& definition);

    // The page of that class, or null when the class is not one of these pages.
    static std::shared_ptr<ProtocolPage> create(std::string_view className);
    // The classes it stands for.
    static std::span<const std::string_view> classNames();

    bool Initialize() override;
    void Terminate() override;

    void AzioniWMSEnabled() override;
    void setEnableCarSfridoCl(bool value) override;
    void setTipoSottotipoDocumento(std::string value) override;
    std::string tipoSottotipoDocumento() const override;
    void EnableControl(bool enabled) override;
    void EnableControlByDocument() override;
    void setCodiceDitta(krl::Variant value) override;
    void setOnTerminate(bool value) override;

    krl::Variant codiceDitta() const { return codiceDitta_; }
    bool onTerminate() const { return onTerminate_; }

  private:
    bool warehouseActions_;
    bool carSfridoCl_;
    bool documentMembers_;
    bool transferMembers_;
    std::string tipoSottotipoDocumento_;
    krl::Variant codiceDitta_;
    bool onTerminate_ = false;
};

}  // namespace duza_zovrena::pages
