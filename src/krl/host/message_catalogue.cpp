#include "krl/host/message_catalogue.h"

#include <utility>
#include <vector>

namespace krl::host {

namespace {

struct Entry {
    long id;
    const char* text;
};

// Where a message id is used by the general parameters and by the document parameters with two
// wordings, the catalogue holds the general one; the program passes its own wording as the text
// shown when no host is there.
const Entry standardTexts[] = {
    {5253, "Interfaccia del programma non impostata."},
    {6847, "Annullare le impostazioni modificate ?"},
    {8471, "Avanzamento c/lav"},
    {8482, "Avanzamento prod."},
    {9636, "Campo obbligatorio mancante o dati inseriti non validi!"},
    {11081, "Classe Log non settata"},
    {11860, "Codice"},
    {12732, "Codice documento errato"},
    {12752, "Codice documento non gestito"},
    {14117, "Come da parametri generali"},
    {15170, "Connessione al database non disponibile."},
    {19575, "Dati corpo"},
    {19986, "Dati testata"},
    {20362, "Dep. prelievo componenti: indicare almeno una scelta."},
    {20372, "Dep. versamento assiemi: indicare almeno una scelta."},
    {21091, "Descrizione"},
    {23389, "Codice documento non valido per questo campo."},
    {24803, "Eliminare le impostazioni per tutti i documenti ?"},
    {25382, "Errore nella conversione della data (FWBO_ClsStd.CLSFW_Date, metodo DBFormat)"},
    {30178, "Il cambio azienda comporta la chiusura del programma, proseguo ?"},
    {30288, "Il collegamento ai dati multimediali è possibile solamente in fase di variazione"},
    {34879,
     "La combinazione dei valori impostati per impegno e/o trasferimento materiali\r\nnon è "
     "congruente."},
    {34881,
     "La combinazione IMPEGNO alla lista di prelievo e TRASFERIMENTO MATERIALI all'ordine di "
     "produzione non è ammessa dai processi produttivi"},
    {35027,
     "La gestione contemporanea dei modelli distinta base\r\ne della distinta base aperta non è "
     "ammessa"},
    {38285, "Oggetto di decodifica non impostato."},
    {38292, "Codice non utilizzabile o oggetto di ricerca non impostato."},
    {38920, "Nessun dato da visualizzare."},
    {39318, "No"},
    {40239,
     "Non può essere generato un ordine nello stato 'Lanciato'\r\nse l'impegno è demandato alla "
     "lista di prelievo"},
    {42120, "Operazione avvenuta correttamente."},
    {43112, "Parametri di gestione"},
    {44336, "Personalizzato"},
    {48162, "Nessun record corrente da visualizzare."},
    {50281, "Salvare le impostazioni per tutti i documenti ?"},
    {50794, "Scarico da c/lavoro"},
    {50835, "Scarico reparti"},
    {52384, "Si"},
    {52517, "Si sta tentando di assegnare il valore (data) NULL a un campo che non ammette NULL."},
    {52518,
     "Si sta tentando di assegnare il valore (numerico) NULL a un campo che non ammette NULL."},
    {55020, "Standard"},
    {60933, "Gestore dei dati del programma non impostato."},
    {69907,
     "La gestione contemporanea dei lotti\r\ne del trasferimento materiali sulle lavorazioni "
     "esterne non è ammessa"},
    {69908,
     "La gestione contemporanea della tracciabilità MP\r\ne dell'eccedenza lista trasferimento non "
     "è ammessa"},
    {74805, "Elenco documenti attivi per ditta"},
    {74806, "Documenti attivi gestiti"},
};

std::string parameterText(const Variant& value) {
    try {
        return value.textOrEmpty();
    } catch (const VbError&) {
        return value.describe();
    }
}

}  // namespace

std::shared_ptr<const MessageCatalogue> MessageCatalogue::standard() {
    static const std::shared_ptr<const MessageCatalogue> catalogue = [] {
        auto built = std::make_shared<MessageCatalogue>();
        for (const Entry& entry : standardTexts) {
            built->add(entry.id, entry.text);
        }
        return built;
    }();
    return catalogue;
}

void MessageCatalogue::add(long messageId, std::string text) {
    texts_[messageId] = std::move(text);
}

std::optional<std::string> MessageCatalogue::find(long messageId) const {
    auto found = texts_.find(messageId);
    if (found == texts_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::string MessageCatalogue::text(long messageId, const VariantArray& params) const {
    std::optional<std::string> found = find(messageId);
    if (!found) {
        return "Messaggio " + std::to_string(messageId) + " non presente nel catalogo.";
    }
    return formatMessage(*found, params);
}

std::string formatMessage(std::string_view text, const VariantArray& params) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            std::size_t end = i + 1;
            std::size_t number = 0;
            while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
                number = number * 10 + static_cast<std::size_t>(text[end] - '0');
                ++end;
            }
            if (number <= params.size()) {
                result += parameterText(params[number - 1]);
                i = end;
                continue;
            }
        }
        result += text[i];
        ++i;
    }
    return result;
}

}  // namespace krl::host
