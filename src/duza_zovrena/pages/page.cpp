#include "duza_zovrena/pages/page.h"

#include "krl/variant/error.h"

namespace duza_zovrena::pages {

namespace {

[[noreturn]] void notSupported(std::string_view member) {
    krl::err::raise(krl::err::ObjectDoesNotSupport,
                    "L'oggetto non supporta la proprietà o il metodo " + std::string(member));
}

}  // namespace

void Page::setConnection(std::shared_ptr<krl::ado::Connection>) { notSupported("Connection"); }
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
void Page::AzioniWMSEnabled() { notSupported("AzioniWMSEnabled"); }
void Page::setEnableCarSfridoCl(bool) { notSupported("EnableCarSfridoCl"); }
void Page::setTipoSottotipoDocumento(std::string) { notSupported("TipoSottotipoDocumento"); }
std::string Page::tipoSottotipoDocumento() const { notSupported("TipoSottotipoDocumento"); }
void Page::EnableControl(bool) { notSupported("EnableControl"); }
void Page::EnableControlByDocument() { notSupported("EnableControlByDocument"); }
void Page::setCodiceDitta(krl::Variant) { notSupported("CodiceDitta"); }
void Page::setOnTerminate(bool) { notSupported("OnTerminate"); }

std::string pageProgId(std::string_view className) {
    return "DUZA_ZOVRENA." + std::string(className);
}

}  // namespace duza_zovrena::pages
