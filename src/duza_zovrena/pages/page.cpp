#include "duza_zovrena/pages/page.h"

#include "krl/variant/error.h"

// The members below belong to some pages only: here they raise 438, and the pages that have them
// override them and keep the value, which is why they take it by value.
// NOLINTBEGIN(performance-unnecessary-value-param)

namespace duza_zovrena::pages {

namespace {

[[noreturn]] void notSupported(std::string_view member) {
    krl::err::raise(krl::err::ObjectDoesNotSupport,
                    "L'oggetto non supporta la proprietà o il metodo " + std::string(member));
}

}  // namespace

void Page::setConnection(std::shared_ptr<krl::ado::Connection>) {
    notSupported("Connection");
}
void Page::setClsDecodeProduzione(std::shared_ptr<krl::host::ClsDecodeProduzione>) {
    notSupported("ClsDecodeProduzione");
}
void Page::setClsLookupProduzione(std::shared_ptr<krl::host::ClsLookupProduzione>) {
    notSupported("ClsLookupProduzione");
}
void Page::setClsDecodeListiniParametrici(std::shared_ptr<krl::host::ClsDecodeListiniParametrici>) {
    notSupported("ClsDecodeListiniParametrici");
}
void Page::setClsLookupListiniParametrici(std::shared_ptr<krl::host::ClsLookupListiniParametrici>) {
    notSupported("ClsLookupListiniParametrici");
}
void Page::AzioniWMSEnabled() {
    notSupported("AzioniWMSEnabled");
}
void Page::setEnableCarSfridoCl(bool) {
    notSupported("EnableCarSfridoCl");
}
void Page::setTipoSottotipoDocumento(std::string) {
    notSupported("TipoSottotipoDocumento");
}
std::string Page::tipoSottotipoDocumento() const {
    notSupported("TipoSottotipoDocumento");
}
void Page::EnableControl(bool) {
    notSupported("EnableControl");
}
void Page::EnableControlByDocument() {
    notSupported("EnableControlByDocument");
}
void Page::setCodiceDitta(krl::Variant) {
    notSupported("CodiceDitta");
}
void Page::setOnTerminate(bool) {
    notSupported("OnTerminate");
}

// NOLINTEND(performance-unnecessary-value-param)

std::string pageProgId(std::string_view className) {
    return "DUZA_ZOVRENA." + std::string(className);
}

}  // namespace duza_zovrena::pages
