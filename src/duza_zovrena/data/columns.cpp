#include "duza_zovrena/data/columns.h"

#include "krl/variant/text.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace duza_zovrena::data {

namespace {

constexpr NewRowValue kNone{};
constexpr NewRowValue kNull{NewRowValue::Source::Null, 0};
constexpr NewRowValue kCompany{NewRowValue::Source::CurrentCompany, 0};
constexpr NewRowValue kSelectedCode{NewRowValue::Source::SelectedCode, 0};
constexpr NewRowValue k(std::int16_t value) {
    return {NewRowValue::Source::Constant, value};
}

// clang-format off
constexpr ColumnDef kGeneral[] = {
    {"PD42_DITTA_CG18", ColumnKind::CompanyKey, 0, kCompany, ""},
    {"PD42_AVANZCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento avanzamento da conto lavoro"},
    {"PD42_AVANZ_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento avanzamento produzione"},
    {"PD42_CARCLTRASF_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico terzista c/lav. per trasferimento"},
    {"PD42_CARDEPCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico deposito conto lavoro"},
    {"PD42_CARDEPTRANS_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico dep. transito"},
    {"PD42_CARMACERO_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico articolo scarto"},
    {"PD42_CARMATCLA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico materiale conto lavoro attivo"},
    {"PD42_CARMATIMB_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico materiale imballo"},
    {"PD42_CARPFDIBA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico prodotto finito"},
    {"PD42_CARPROD_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico produzione"},
    {"PD42_CARRECUPDIBA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico articolo di recupero"},
    {"PD42_CARREINTEGRO_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico reintegro"},
    {"PD42_CARREP_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico"},
    {"PD42_CARRESOCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico reso conto lavoro"},
    {"PD42_CARSCARTOCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico articolo scarto"},
    {"PD42_CARSFRIDOCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Carico articolo recupero conto lavoro"},
    {"PD42_CARSFRIDO_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico articolo recupero da sfrido"},
    {"PD42_CARSLDIBA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico semi lavorato"},
    {"PD42_CARUBIREP_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico ubicazione reparto"},
    {"PD42_DDTCLCAR_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento DDT carico a conto lavoro"},
    {"PD42_DDTCLINV_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento DDT invio conto lavoro"},
    {"PD42_DEPSCARTOOCL_MG58", ColumnKind::DepositCode, 2, kNone, "Codice deposito carico scarto"},
    {"PD42_DEPSCARTO_MG58", ColumnKind::DepositCode, 2, kNone, "Codice deposito carico scarto"},
    {"PD42_DEPSLFAEST_MG58", ColumnKind::DepositCode, 2, kNone, "Deposito semilavorato lavorazioni esterne"},
    {"PD42_DEPTRANS_MG58", ColumnKind::DepositCode, 2, kNone, "Deposito transito lavorazioni esterne"},
    {"PD42_FATTDDTCLA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento fattura conto lavoro attivo"},
    {"PD42_FLGCARAUTOSL", ColumnKind::Flag, 0, kNone, "Carico automatico semilavorati"},
    {"PD42_FLGCICLOCODART", ColumnKind::Flag, 0, k(0), "Creazione automatica codice ciclo uguale a codice articolo"},
    {"PD42_FLGCOIN", ColumnKind::Flag, 0, kNone, "Contabilità analitica"},
    {"PD42_FLGDDTCLVERS", ColumnKind::Flag, 0, kNone, "Controllo generazione DDT in versamento ordini"},
    {"PD42_FLGDEPAPIANART", ColumnKind::Flag, 0, k(0), "Pianificazione (scheda scorte)"},
    {"PD42_FLGDEPARIGAORD", ColumnKind::Flag, 0, k(1), "Riga ordine"},
    {"PD42_FLGDEPAVERSART", ColumnKind::Flag, 0, k(0), "Versamento (scheda scorte)"},
    {"PD42_FLGDEPCCLP", ColumnKind::Flag, 0, k(0), "Conto lav. passivo (fasi esterne)"},
    {"PD42_FLGDEPCLEGAME", ColumnKind::Flag, 0, k(1), "Legame"},
    {"PD42_FLGDEPCPIANART", ColumnKind::Flag, 0, k(1), "Pianificazione (scheda scorte)"},
    {"PD42_FLGDEPCPRELART", ColumnKind::Flag, 0, k(0), "Prelievo (scheda scorte)"},
    {"PD42_FLGDEPCREP", ColumnKind::Flag, 0, k(0), "Reparto (fasi interne)"},
    {"PD42_FLGDEPCRIGAORD", ColumnKind::Flag, 0, kNone, "Riga ordine"},
    {"PD42_FLGDOCCODART", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGDOCCODFOR", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGDOCCOMM", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGDOCDESCREST", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGDOCFASI", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGDOCPROGETTO", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGDOCRIFORD", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGECCEDLOTLISTRAS", ColumnKind::Flag, 0, kNone, "Eccedenza lista trasferimento"},
    {"PD42_FLGESCRICERDISBA", ColumnKind::Flag, 0, k(0), "Esclusione ricerca struttura"},
    {"PD42_FLGGENDDTCLAV", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGENORDCLAV", ColumnKind::Flag, 0, k(0), "Generazione ordine c/lavoro"},
    {"PD42_FLGGENTRASFCL", ColumnKind::Flag, 0, k(1), "Generazione lista prelievo"},
    {"PD42_FLGGESCICLI", ColumnKind::Indicator, 0, k(0), "Gestione cicli di produzione"},
    {"PD42_FLGGESCONTLAV", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESSCHEDUL", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESSTOR", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESTALT", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESTECCED", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESTFABLO", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESTFABNE", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESTLOTTI", ColumnKind::Flag, 0, kNone, "Lotti"},
    {"PD42_FLGGESTMANC", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESTMANDET", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESTPARTCLA", ColumnKind::Flag, 0, k(0), "Attivazione partite"},
    {"PD42_FLGGESTPARTINT", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESTPARTLAVE", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGESTPROG", ColumnKind::Flag, 0, kNone, "Gestione progetti"},
    {"PD42_FLGGESTWIP", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGGRIGLIA", ColumnKind::Flag, 0, kNone, "Gestione griglia taglie/colori"},
    {"PD42_FLGIMPEVAORD", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGIMPGENLISP", ColumnKind::Flag, 0, k(0), "Generazione lista prelievo"},
    {"PD42_FLGIMPGENORD", ColumnKind::Flag, 0, k(0), "Generazione ordine reparti interni"},
    {"PD42_FLGIMPSTAORD", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGIMPSTPLISP", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGLISTPAR", ColumnKind::Flag, 0, kNone, "Attivazione listini parametrici"},
    {"PD42_FLGLISTPARDOC", ColumnKind::Flag, 0, kNone, "Utilizzo listini parametrici per valorizzazione fasi nei documenti"},
    {"PD42_FLGMANULTCONSODP", ColumnKind::Flag, 0, kNone, "Consuntivo da ODP - Mantieni solo ultimo calcolo"},
    {"PD42_FLGMODELLODB", ColumnKind::Flag, 0, kNone, "Modelli distinta base"},
    {"PD42_FLGMODORDCLP", ColumnKind::Indicator, 0, kNone, "Modalità di gestione degli ordini di conto lavoro passivo"},
    {"PD42_FLGMODORDLAV", ColumnKind::Indicator, 0, kNone, "Modalità di gestione degli ordini di lavorazione"},
    {"PD42_FLGNOIMP", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGNOIMPCLAV", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGORDCLAV", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGQTAMATCLA", ColumnKind::Indicator, 0, k(0), "Riferimento qta partita componente"},
    {"PD42_FLGREINMATSALDO", ColumnKind::Flag, 0, kNone, "Reintegro materiale non consumato al saldo ordine"},
    {"PD42_FLGSCAAVAPRO", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGSCAGENLISP", ColumnKind::Flag, 0, k(0), "Generazione lista trasferimento"},
    {"PD42_FLGSCAGENLISPCL", ColumnKind::Flag, 0, kNone, "Generazione documenti di trasferimento"},
    {"PD42_FLGSCAGENORD", ColumnKind::Flag, 0, k(0), "Generazione ordine reparti interni"},
    {"PD42_FLGSCALISPRE", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGSCAMATREP", ColumnKind::Flag, 0, kNone, "Forza scarico da reparto di lavorazione"},
    {"PD42_FLGSCASTADDT", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGSCASTAORD", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGSCAVERPRO", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGSCHEDATEC", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGSINCRIMPSCA", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGSTATI", ColumnKind::Indicator, 0, k(0), "Stati righe ordini"},
    {"PD42_FLGSTPDDTCLAV", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGSTPORDCLAV", ColumnKind::Flag, 0, k(0), ""},
    {"PD42_FLGTRACLOTMP", ColumnKind::Flag, 0, k(0), "Tracciabilità MP"},
    {"PD42_FLGTRACLOTPF", ColumnKind::Flag, 0, k(0), "Tracciabilità PF"},
    {"PD42_FLGTRASFUBICAZ", ColumnKind::Flag, 0, k(0), "Trasferimento tra ubicazioni"},
    {"PD42_FLGVISTMPDETTFASI", ColumnKind::Flag, 0, kNone, "Visualizza tempi dettaglio fasi"},
    {"PD42_IDCLA_LP09", ColumnKind::PriorityTableId, 0, kNone, "Tabella priorità fasi c/lavoro attivo"},
    {"PD42_IDCLP_LP09", ColumnKind::PriorityTableId, 0, kNone, "Tabella priorità fasi c/lavoro passivo"},
    {"PD42_IDINTMAC_LP09", ColumnKind::PriorityTableId, 0, kNone, "Tabella priorità fasi interne (macchine)"},
    {"PD42_IDINT_LP09", ColumnKind::PriorityTableId, 0, kNone, "Tabella priorità fasi interne (manodopera)"},
    {"PD42_IDMAT_LP09", ColumnKind::PriorityTableId, 0, kNone, "Tabella priorità materiali"},
    {"PD42_IDMEDIA_CG99", ColumnKind::MediaId, 0, kNone, ""},
    {"PD42_IMPCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento disimpegno lotti"},
    {"PD42_IMPLOTREP_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento impegno lotti reparti"},
    {"PD42_IMPPROD_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento disimpegno lotti"},
    {"PD42_INDATTRFESTLTCF", ColumnKind::Flag, 0, kNone, "Escludi attraversamento gg festivi"},
    {"PD42_INDAVANZFASEEST", ColumnKind::Indicator, 0, kNone, "Modalità controllo avanzamento fasi "},
    {"PD42_INDAVANZFASEINT", ColumnKind::Indicator, 0, kNone, "Modalità controllo avanzamento fasi"},
    {"PD42_INDBLOCCOMERCE", ColumnKind::Indicator, 0, kNone, "Modalità gestione blocco merce"},
    {"PD42_INDCARSFRIDOCL", ColumnKind::Flag, 0, kNone, "Carico articolo recupero in versamento ordini"},
    {"PD42_INDCOEFFQTA2DB", ColumnKind::Indicator, 0, kNone, "Modalità del calcolo U.M.2 componenti in distinta base"},
    {"PD42_INDCSTOPERSETUP", ColumnKind::Indicator, 0, kNone, "Pezzi operazione setup"},
    {"PD42_INDDATAFABB", ColumnKind::Indicator, 0, k(0), "Modalità di gestione dei piani di produzione"},
    {"PD42_INDDATAVALDISBALOC", ColumnKind::Indicator, 0, kNone, "Data validità distinta base localizzata"},
    {"PD42_INDDATPARTCLA", ColumnKind::Indicator, 0, k(0), "Data utilizzata per chiusura partite"},
    {"PD42_INDFASEFANT", ColumnKind::Indicator, 0, kNone, "Fase da attribuire a componente semilavorato fantasma"},
    {"PD42_INDFASESCAR", ColumnKind::Indicator, 0, kNone, "Fase di scarico"},
    {"PD42_INDGENDOCCARPF", ColumnKind::Indicator, 0, kNone, "Generazione documento di carico prodotto finito"},
    {"PD42_INDGENSEMLAV", ColumnKind::Indicator, 0, kNone, "Modalità di generazione semilavorato intermedio"},
    {"PD42_INDGESDISBA", ColumnKind::Flag, 0, kNone, "Distinta base aperta"},
    {"PD42_INDGESTCLA", ColumnKind::Indicator, 0, kNone, "Integrazione flusso produzione"},
    {"PD42_INDGESTOPZIONI", ColumnKind::Indicator, 0, k(0), ""},
    {"PD42_INDGESTSFRIDO", ColumnKind::Indicator, 0, k(0), ""},
    {"PD42_INDGESTVAR", ColumnKind::Indicator, 0, k(0), ""},
    {"PD42_INDIMPINTEST", ColumnKind::Indicator, 0, kNone, "Modalità impegno materiale fasi esterne"},
    {"PD42_INDINTORDLAV", ColumnKind::Indicator, 0, kNone, "Modalità di intestazione degli ordini di lavorazione"},
    {"PD42_INDLEADTIME", ColumnKind::Indicator, 0, kNone, "Modalità calcolo lead-time per articoli con ciclo"},
    {"PD42_INDLEGERRFASE", ColumnKind::Indicator, 0, k(0), "Trattamento componente con fase non valida"},
    {"PD42_INDLISTACQVAR", ColumnKind::Indicator, 0, k(0), ""},
    {"PD42_INDLISTVENDVAR", ColumnKind::Indicator, 0, k(0), ""},
    {"PD42_INDLIVESP", ColumnKind::Indicator, 0, kNone, "livello di esplosione"},
    {"PD42_INDLIVVARDISBA", ColumnKind::Indicator, 0, kNone, "Modalità localizzazione distinta "},
    {"PD42_INDLOCDISBA", ColumnKind::Indicator, 0, k(0), "Modalità di localizzazione della distinta base"},
    {"PD42_INDLOCDISBAART", ColumnKind::Indicator, 0, kNone, "Livello localizzazione distinta base"},
    {"PD42_INDLOTOPERSETUP", ColumnKind::Indicator, 0, k(0), "Quantità da utilizzare per calcolo costo operazione setup"},
    {"PD42_INDMODLISTACQ", ColumnKind::Indicator, 0, k(0), ""},
    {"PD42_INDMODSCARTO", ColumnKind::Indicator, 0, kNone, "Indicatore modalità di scarto"},
    {"PD42_INDMODVAR", ColumnKind::Indicator, 0, k(0), ""},
    {"PD42_INDMOVSLINT", ColumnKind::Indicator, 0, kNone, "Modalità di movimentazione del semilavorato intermedio"},
    {"PD42_INDNOTAMODDBLOC", ColumnKind::Indicator, 0, kNone, "Nota modifica Di.Ba. localizzata"},
    {"PD42_INDNUMPROG", ColumnKind::Indicator, 0, kNone, "Modalità numerazione progetti"},
    {"PD42_INDPRMOPPP", ColumnKind::Indicator, 0, k(0), "Modalità di gestione dei piani di produzione"},
    {"PD42_INDPROVFORN", ColumnKind::Indicator, 0, kNone, "Provenienza fornitore per generazione ordini"},
    {"PD42_INDPROVREP", ColumnKind::Indicator, 0, kNone, "Provenienza reparto per generazione ordini"},
    {"PD42_INDQTALOTTODB", ColumnKind::Indicator, 0, kNone, "Qta riferimento lotto"},
    {"PD42_INDQTARIFASSLEG", ColumnKind::Indicator, 0, kNone, "Tipo quantità di riferimento assieme"},
    {"PD42_INDREVCICLI", ColumnKind::Flag, 0, kNone, "Gestione revisioni"},
    {"PD42_INDREVDISBA", ColumnKind::Flag, 0, kNone, "Gestione revisioni"},
    {"PD42_INDRICETTA", ColumnKind::Flag, 0, kNone, "Gestione ricetta"},
    {"PD42_INDRIFCOMSCOMCLA", ColumnKind::Indicator, 0, k(0), "Riferimento commessa/sottocommessa"},
    {"PD42_INDRIFLAVCLA", ColumnKind::Indicator, 0, k(0), "Riferimento lavorazioni"},
    {"PD42_INDRIFMATCLA", ColumnKind::Indicator, 0, k(0), "Riferimento materiali"},
    {"PD42_INDRIFNSORDCLA", ColumnKind::Indicator, 0, k(0), "Riferimento nostro ordine"},
    {"PD42_INDRIFPROGSPROGCLA", ColumnKind::Indicator, 0, k(0), "Riferimento progetto/sottoprogetto"},
    {"PD42_INDRIFSACCPARCLA", ColumnKind::Indicator, 0, k(0), "Riferimento partita"},
    {"PD42_INDRIFVSDOCCLA", ColumnKind::Indicator, 0, k(0), "Riferimento vostro documento"},
    {"PD42_INDSALDOFASIESTPRE", ColumnKind::Indicator, 0, kNone, "Indicatore controllo saldo fasi esterne precedenti"},
    {"PD42_INDSCAMATTRASF", ColumnKind::Indicator, 0, kNone, "Controllo materiali trasferiti"},
    {"PD42_INDSCARTOFASI", ColumnKind::Indicator, 0, k(0), "Indicatore modalità di scarto fasi"},
    {"PD42_INDSEQINTLEGDB", ColumnKind::Indicator, 0, k(0), "Modalità numerazione legami intermedi"},
    {"PD42_INDSTATO", ColumnKind::Indicator, 0, k(0), "Stato riga ordine da generare"},
    {"PD42_INDTIPOVERSQTA", ColumnKind::Indicator, 0, kNone, "Unità di misura avanzamento"},
    {"PD42_INDTRPERSCORPO", ColumnKind::Flag, 0, k(0), "Dati corpo"},
    {"PD42_INDTRPERSTESTA", ColumnKind::Flag, 0, k(0), "Dati testata"},
    {"PD42_INDUMATTESA", ColumnKind::Indicator, 0, k(0), "UM attesa di default"},
    {"PD42_INDUMCODA", ColumnKind::Indicator, 0, k(0), "UM coda di default"},
    {"PD42_INDUMLAV", ColumnKind::Indicator, 0, k(0), "UM lavorazione di default"},
    {"PD42_INDUMSETUP", ColumnKind::Indicator, 0, k(0), "UM setup di default"},
    {"PD42_LISTAPRELEST_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento lista di prelievo"},
    {"PD42_LISTAPREL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento lista di prelievo"},
    {"PD42_LISTATRASF_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento lista di trasferimento"},
    {"PD42_LIVELLOESP", ColumnKind::Number, 4, kNone, "Livello esplosione"},
    {"PD42_OLMONO_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento ordine produzione"},
    {"PD42_ORDFORCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento ordine fornitore conto lavoro"},
    {"PD42_ORDFORN_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento ordine fornitore materie prime"},
    {"PD42_PERCTOLLEST", ColumnKind::Number, 5, kNone, "Percentuale di avanzamento fase "},
    {"PD42_PERCTOLLINT", ColumnKind::Number, 5, kNone, "Percentuale di avanzamento fase"},
    {"PD42_QLAV_PD04", ColumnKind::QualificationCode, 5, kNull, "Default qualifica per lavorazione"},
    {"PD42_QSETUP_PD04", ColumnKind::QualificationCode, 5, kNull, "Default qualifica per setup"},
    {"PD42_RESTITCLA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento restituzione conto lavoro attivo"},
    {"PD42_SCACLDP_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico da conto lavoro"},
    {"PD42_SCADEPTRANS_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico dep. transito"},
    {"PD42_SCAMACEROCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico articolo scarto"},
    {"PD42_SCAMACERO_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico articolo scarto"},
    {"PD42_SCAMATCLA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico materiale conto lavoro attivo"},
    {"PD42_SCARDIBA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico distinta base"},
    {"PD42_SCAREINTEGRO_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico reintegro"},
    {"PD42_SCAREP_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico"},
    {"PD42_SCARESOMATCLA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico reso materiale conto lavoro attivo"},
    {"PD42_SCARMATDIBA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico materiale"},
    {"PD42_SCARPROD_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico produzione"},
    {"PD42_SCARRESOCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico reso conto lavoro"},
    {"PD42_SCASFRIDO_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico sfrido"},
    {"PD42_STEPNUMLEGDB", ColumnKind::Number, 5, k(10), "Incremento numerazione distinta base"},
    {"PD42_STEPSEQINTLEGDB", ColumnKind::Number, 5, k(1), "Incremento sequenze legami intermedi distinta base"},
    {"PD42_VERCLTRASF_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento versamento c/lav. per trasferimento terzisti"},
    {"PD42_VERSACLA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento versamento conto lavoro attivo"},
    {"PD42_VERSCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento versamento da conto lavoro"},
};

constexpr ColumnDef kDocument[] = {
    {"PD88_DITTA_CG18", ColumnKind::CompanyKey, 0, kCompany, ""},
    {"PD88_CODDOC_MG36", ColumnKind::DocumentCode, 14, kSelectedCode, ""},
    {"PD88_AVANZ_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento avanzamento produzione"},
    {"PD88_CARCLTRASF_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico terzista c/lav. per trasferimento"},
    {"PD88_CARDEPTRANS_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico dep. transito"},
    {"PD88_CARPROD_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico produzione"},
    {"PD88_CARRECUP_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico articolo recupero da sfrido"},
    {"PD88_CARREP_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico"},
    {"PD88_CARRESOCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico reso conto lavoro"},
    {"PD88_CARSCARTO_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento carico scarto"},
    {"PD88_CARSFRIDOCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Carico articolo recupero conto lavoro"},
    {"PD88_DDTCLCAR_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento DDT carico a conto lavoro"},
    {"PD88_DDTCLINV_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento DDT invio conto lavoro"},
    {"PD88_DEPSCARTO_MG58", ColumnKind::DepositCode, 2, kNone, "Codice deposito carico scarto"},
    {"PD88_DEPTRANS_MG58", ColumnKind::DepositCode, 2, kNone, "Deposito transito lavorazioni esterne"},
    {"PD88_FLGDEPAPIANART", ColumnKind::Flag, 0, k(0), "Pianificazione (scheda scorte)"},
    {"PD88_FLGDEPARIGAORD", ColumnKind::Flag, 0, k(1), "Riga ordine"},
    {"PD88_FLGDEPAVERSART", ColumnKind::Flag, 0, k(0), "Versamento (scheda scorte)"},
    {"PD88_FLGDEPCCLP", ColumnKind::Flag, 0, k(0), "Conto lav. passivo (fasi esterne)"},
    {"PD88_FLGDEPCLEGAME", ColumnKind::Flag, 0, k(1), "Legame"},
    {"PD88_FLGDEPCPIANART", ColumnKind::Flag, 0, k(1), "Pianificazione (scheda scorte)"},
    {"PD88_FLGDEPCPRELART", ColumnKind::Flag, 0, k(0), "Prelievo (scheda scorte)"},
    {"PD88_FLGDEPCREP", ColumnKind::Flag, 0, k(0), "Reparto"},
    {"PD88_FLGDEPCRIGAORD", ColumnKind::Flag, 0, kNone, "Riga ordine"},
    {"PD88_FLGSCAMATREP", ColumnKind::Flag, 0, kNone, "Forza scarico da reparto di lavorazione"},
    {"PD88_IMPLOTREP_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento sfruttamento eccedenza lotti"},
    {"PD88_INDAVANZFASEEST", ColumnKind::Indicator, 0, kNone, "Modalità controllo avanzamento fasi esterne"},
    {"PD88_INDAVANZFASEINT", ColumnKind::Indicator, 0, kNone, "Modalità controllo avanzamento fasi interne"},
    {"PD88_INDCARSFRIDOCL", ColumnKind::Indicator, 0, kNone, "Carico articolo recupero in versamento ordini conto lavoro"},
    {"PD88_INDDDTCLVERS", ColumnKind::Indicator, 0, k(0), "Modalità controllo generazione DDT in versamento ordini"},
    {"PD88_INDGENDDTCLAV", ColumnKind::Indicator, 0, k(0), ""},
    {"PD88_INDGESOCLPRO", ColumnKind::Indicator, 0, k(0), "Indicatore generaz. OCL multifase da prop."},
    {"PD88_INDIMPGENLISP", ColumnKind::Indicator, 0, k(0), "Modalià impegno da generazione lista prelievo"},
    {"PD88_INDIMPGENORD", ColumnKind::Indicator, 0, k(0), "Modalità impegno da generazione ordine"},
    {"PD88_INDIMPSTAORD", ColumnKind::Indicator, 0, k(0), ""},
    {"PD88_INDINTORDLAV", ColumnKind::Indicator, 0, k(0), "Modalità intestazione ordini lavorazione interna"},
    {"PD88_INDLOCDISBA", ColumnKind::Indicator, 0, k(0), "Modalità di localizzazione della distinta base"},
    {"PD88_INDMODORDLAV", ColumnKind::Indicator, 0, k(0), "Modalità generazione ordini"},
    {"PD88_INDMODSCARTO", ColumnKind::Indicator, 0, k(0), "Indicatore modalità di scarto"},
    {"PD88_INDMOVSLINT", ColumnKind::Indicator, 0, k(0), ""},
    {"PD88_INDORDCLAV", ColumnKind::Indicator, 0, k(0), ""},
    {"PD88_INDSCAGENLISP", ColumnKind::Indicator, 0, k(0), "Modalità trasferimento materiale da lista trasferimento interna"},
    {"PD88_INDSCAGENLISPCL", ColumnKind::Indicator, 0, kNone, "Modalità trasferimento materiale da lista trasferimento esterna"},
    {"PD88_INDSCAGENORD", ColumnKind::Indicator, 0, k(0), "Modalità trasferimento materiale da ordine lavorazione interna"},
    {"PD88_INDSCARTOFASI", ColumnKind::Indicator, 0, k(0), "Indicatore modalità di scarto fasi"},
    {"PD88_INDSCASTAORD", ColumnKind::Indicator, 0, k(0), ""},
    {"PD88_INDSTATI", ColumnKind::Indicator, 0, k(0), "Stati righe ordini"},
    {"PD88_INDSTATOORD", ColumnKind::Indicator, 0, k(0), "Stato riga ordine da generare"},
    {"PD88_INDTIPOVERSQTA", ColumnKind::Indicator, 0, kNone, "Unità di misura avanzamento"},
    {"PD88_ORDFORCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento ordine fornitore conto lavoro"},
    {"PD88_PERCTOLLEST", ColumnKind::Number, 5, k(0), "Percentuale di avanzamento fase esterna"},
    {"PD88_PERCTOLLINT", ColumnKind::Number, 5, k(0), "Percentuale di avanzamento fase interna"},
    {"PD88_SCADEPTRANS_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico dep. transito"},
    {"PD88_SCAMATCLA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico materiale conto lavoro attivo"},
    {"PD88_SCAREP_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico"},
    {"PD88_SCARPROD_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico produzione"},
    {"PD88_SCARRESOCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico reso conto lavoro"},
    {"PD88_SCARSCARTO_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento scarico scarto"},
    {"PD88_VERCLTRASF_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento versamento c/lav. per trasferimento terzisti"},
    {"PD88_VERSACLA_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento versamento conto lavoro attivo"},
    {"PD88_VERSCL_MG3G", ColumnKind::DocumentCode, 14, kNone, "Codice documento versamento da conto lavoro"},
};
// clang-format on

// A new document row is written in this order: keys, indicators and tolerances, deposit flags.
constexpr std::string_view kDocumentNewRowOrder[] = {
    "PD88_DITTA_CG18",     "PD88_CODDOC_MG36",    "PD88_INDSTATI",       "PD88_INDSTATOORD",
    "PD88_INDMODORDLAV",   "PD88_INDINTORDLAV",   "PD88_INDMOVSLINT",    "PD88_INDIMPGENORD",
    "PD88_INDIMPGENLISP",  "PD88_INDIMPSTAORD",   "PD88_INDSCAGENORD",   "PD88_INDSCAGENLISP",
    "PD88_INDGENDDTCLAV",  "PD88_INDDDTCLVERS",   "PD88_INDORDCLAV",     "PD88_INDLOCDISBA",
    "PD88_INDGESOCLPRO",   "PD88_INDSCASTAORD",   "PD88_INDMODSCARTO",   "PD88_PERCTOLLINT",
    "PD88_PERCTOLLEST",    "PD88_INDSCARTOFASI",  "PD88_FLGDEPCLEGAME",  "PD88_FLGDEPCREP",
    "PD88_FLGDEPCCLP",     "PD88_FLGDEPCPRELART", "PD88_FLGDEPCPIANART", "PD88_FLGDEPARIGAORD",
    "PD88_FLGDEPAVERSART", "PD88_FLGDEPAPIANART",
};

}  // namespace

std::span<const ColumnDef> generalColumns() {
    return kGeneral;
}

std::span<const ColumnDef> documentColumns() {
    return kDocument;
}

std::span<const ColumnDef> columns(Record record) {
    return record == Record::General ? generalColumns() : documentColumns();
}

std::string_view tableName(Record record) {
    return record == Record::General ? "PD42_ZOVRENA" : "PD88_ZOVRENADOC";
}

const ColumnDef* findColumn(Record record, std::string_view name) {
    for (const ColumnDef& column : columns(record)) {
        if (krl::sameText(column.name, name)) {
            return &column;
        }
    }
    return nullptr;
}

const ColumnDef* findGeneralColumn(std::string_view name) {
    return findColumn(Record::General, name);
}

const ColumnDef* findDocumentColumn(std::string_view name) {
    return findColumn(Record::Document, name);
}

std::vector<const ColumnDef*> newRowColumns(Record record) {
    std::vector<const ColumnDef*> result;
    if (record == Record::Document) {
        for (std::string_view name : kDocumentNewRowOrder) {
            result.push_back(findDocumentColumn(name));
        }
        return result;
    }
    for (const ColumnDef& column : generalColumns()) {
        if (column.newRow.writes()) {
            result.push_back(&column);
        }
    }
    return result;
}

krl::Variant newRowVariant(const ColumnDef& column, const krl::Variant& companyCode,
                           std::string_view selectedCode) {
    switch (column.newRow.source) {
        case NewRowValue::Source::Constant:
            return krl::Variant(column.newRow.constant);
        case NewRowValue::Source::Null:
            return krl::Variant::null();
        case NewRowValue::Source::CurrentCompany:
            return companyCode;
        case NewRowValue::Source::SelectedCode:
            return krl::Variant(krl::rtrim(selectedCode));
        case NewRowValue::Source::None:
            break;
    }
    return {};
}

}  // namespace duza_zovrena::data
