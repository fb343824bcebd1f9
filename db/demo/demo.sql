-- Demo data for the production parameters program. Runs on an empty schema (db/sqlite or
-- db/sqlserver); every statement is valid on both engines.
--
-- Company 1 "Zovrena Meccanica S.p.A.": general parameters row (a new row's values plus the
-- settings below, a row every save rule accepts unchanged), options A and B off, warehouse
-- management off, the full set of documents.
-- Company 2 "Zovrena Componenti S.r.l.": no general parameters row yet, options A and B on,
-- warehouse management on, a smaller set of documents.
--
-- Document kinds (type/subtype) the program checks, all held by company 1:
--   1/1, 5/2, 10/1, 10/3, 14/2, 22/1 and 22/3 (any type 22)       eligible for custom-field transfer
--   24/20, 25/1, 10/3, 26/5, 26/7                                 managed by the document pages
--   24/1                                                          order rule of document parameters
--   24/2, 24/3, 24/4, 24/5, 24/6, 24/7, 24/8, 24/9, 24/10, 24/14, internal work and BOM documents
--   24/15, 24/16, 24/23
--   24/11                                                         refused where 24/9 or 25/11 is asked
--   25/3, 25/5, 25/6, 25/7, 25/8, 25/10, 25/11, 25/12, 25/13,     external work documents
--   25/14, 25/15, 25/16, 25/20
--   26/2, 26/3, 26/4, 26/6                                        active subcontracting documents
--   2/1                                                           a kind no page manages
-- Customised definitions (MG3G_INDSTAPER_MG36 = 1): CARPROD and ODP2 for company 1 (the standard
-- definition of ODP2 is of another kind), OFCL for company 2. ODPEXT belongs to company 2 only and
-- ODPOLD to no company.

INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_FLGOPZIONE1, CG18_FLGOPZIONE2) VALUES
    (1, 'Zovrena Meccanica S.p.A.', 0, 0),
    (2, 'Zovrena Componenti S.r.l.', 1, 1);

INSERT INTO WM00_CONFIG (WM00_DITTA_CG18, WM00_FLGWMSATTIVO) VALUES
    (1, 0),
    (2, 1);

-- Passwords: "demo" for demo, "ospite" for ospite (Argon2id, interactive limits).
INSERT INTO UT00_UTENTI (UT00_CODICE, UT00_NOME, UT00_PWDHASH) VALUES
    ('demo', 'Utente dimostrativo', '$argon2id$v=19$m=65536,t=2,p=1$UP7xIOvHMZK82J7Uu2Zq5w$UtvBHtM/C+aVU7/objajIYO7fTq09E1lodJKHhmba/w'),
    ('ospite', 'Ospite', '$argon2id$v=19$m=65536,t=2,p=1$JijSLf8e4lLoOOUjoDkVxA$JWowCnM7RuY24O2dvQdgRfMrAlW/1gPTDnmJ/psnjKI');

INSERT INTO UT01_UTENTIDITTE (UT01_UTENTE_UT00, UT01_DITTA_CG18) VALUES
    ('demo', 1),
    ('demo', 2),
    ('ospite', 1);

INSERT INTO MG36_DOCUMENTI (MG36_CODDOCUM, MG36_INDSTAPER, MG36_DESCDOCUM, MG36_TIPODOC, MG36_STIPODOC) VALUES
    ('OC',          0, 'Ordine cliente',                         1,  1),
    ('FATT',        0, 'Fattura di vendita',                     2,  1),
    ('DDTV',        0, 'DDT di vendita',                         5,  2),
    ('RICHTRASF',   0, 'Richiesta di trasferimento',            10,  1),
    ('LISTTRASF',   0, 'Lista di trasferimento',                10,  3),
    ('LISTPREL',    0, 'Lista di prelievo',                     14,  2),
    ('OFMP',        0, 'Ordine fornitore materie prime',        22,  1),
    ('OFSERV',      0, 'Ordine fornitore servizi',              22,  3),
    ('ODPS',        0, 'Ordine di produzione semplificato',     24,  1),
    ('SCAREP',      0, 'Scarico reparti',                       24,  2),
    ('CARPROD',     0, 'Carico produzione',                     24,  3),
    ('CARPROD',     1, 'Carico produzione con lotti',           24,  3),
    ('CARSL',       0, 'Carico semilavorati',                   24,  3),
    ('AVANZ',       0, 'Avanzamento produzione',                24,  4),
    ('SCAPROD',     0, 'Scarico produzione',                    24,  5),
    ('SCASFR',      0, 'Scarico sfrido',                        24,  6),
    ('CARREC',      0, 'Carico articolo di recupero',           24,  7),
    ('SCASCA',      0, 'Scarico scarto',                        24,  8),
    ('CARSCA',      0, 'Carico scarto',                         24,  9),
    ('CARREP',      0, 'Carico reparti',                        24, 10),
    ('RETTPROD',    0, 'Rettifica produzione',                  24, 11),
    ('SCADIBA',     0, 'Scarico distinta base',                 24, 14),
    ('IMPLOT',      0, 'Impegno lotti eccedenti',               24, 15),
    ('DISIMPLOT',   0, 'Disimpegno lotti',                      24, 16),
    ('ODP',         0, 'Ordine di produzione',                  24, 20),
    ('ODP2',        0, 'Fattura accompagnatoria',                2,  1),
    ('ODP2',        1, 'Ordine di produzione reparto 2',        24, 20),
    ('ODPEXT',      0, 'Ordine di produzione esterno',          24, 20),
    ('ODPOLD',      0, 'Ordine di produzione dismesso',         24, 20),
    ('CARUBI',      0, 'Carico ubicazione reparto',             24, 23),
    ('OFCL',        0, 'Ordine fornitore conto lavoro',         25,  1),
    ('OFCL',        1, 'Ordine conto lavoro con consegna',      25,  1),
    ('DDTCLCAR',    0, 'DDT carico a conto lavoro',             25,  3),
    ('VERSCL',      0, 'Versamento da conto lavoro',            25,  5),
    ('SCACL',       0, 'Scarico da conto lavoro',               25,  6),
    ('CARRESOCL',   0, 'Carico reso conto lavoro',              25,  7),
    ('SCARESOCL',   0, 'Scarico reso conto lavoro',             25,  8),
    ('SCASCACL',    0, 'Scarico scarto conto lavoro',           25, 10),
    ('CARSCACL',    0, 'Carico scarto conto lavoro',            25, 11),
    ('DISIMPCL',    0, 'Disimpegno lotti conto lavoro',         25, 12),
    ('DDTCLINV',    0, 'DDT invio conto lavoro',                25, 13),
    ('VERSCLTRASF', 0, 'Versamento c/lav. per trasferimento',   25, 14),
    ('CARCLTRASF',  0, 'Carico terzista per trasferimento',     25, 15),
    ('CARIMB',      0, 'Carico materiale imballo',              25, 16),
    ('CARRECCL',    0, 'Carico recupero conto lavoro',          25, 20),
    ('CARMATCLA',   0, 'Carico materiale c/lav. attivo',        26,  2),
    ('VERSCLA',     0, 'Versamento c/lav. attivo',              26,  3),
    ('SCAMATCLA',   0, 'Scarico materiale c/lav. attivo',       26,  4),
    ('DDTRESTCLA',  0, 'DDT restituzione c/lav. attivo',        26,  5),
    ('DDTRESOCLA',  0, 'DDT reso materiale c/lav. attivo',      26,  6),
    ('FATTCLA',     0, 'Fattura c/lav. attivo',                 26,  7);

INSERT INTO MG3G_DOCDITTA (MG3G_DITTA_CG18, MG3G_CODDOCUM_MG36, MG3G_INDSTAPER_MG36) VALUES
    (1, 'OC',          0),
    (1, 'FATT',        0),
    (1, 'DDTV',        0),
    (1, 'RICHTRASF',   0),
    (1, 'LISTTRASF',   0),
    (1, 'LISTPREL',    0),
    (1, 'OFMP',        0),
    (1, 'OFSERV',      0),
    (1, 'ODPS',        0),
    (1, 'SCAREP',      0),
    (1, 'CARPROD',     1),
    (1, 'CARSL',       0),
    (1, 'AVANZ',       0),
    (1, 'SCAPROD',     0),
    (1, 'SCASFR',      0),
    (1, 'CARREC',      0),
    (1, 'SCASCA',      0),
    (1, 'CARSCA',      0),
    (1, 'CARREP',      0),
    (1, 'RETTPROD',    0),
    (1, 'SCADIBA',     0),
    (1, 'IMPLOT',      0),
    (1, 'DISIMPLOT',   0),
    (1, 'ODP',         0),
    (1, 'ODP2',        1),
    (1, 'CARUBI',      0),
    (1, 'OFCL',        0),
    (1, 'DDTCLCAR',    0),
    (1, 'VERSCL',      0),
    (1, 'SCACL',       0),
    (1, 'CARRESOCL',   0),
    (1, 'SCARESOCL',   0),
    (1, 'SCASCACL',    0),
    (1, 'CARSCACL',    0),
    (1, 'DISIMPCL',    0),
    (1, 'DDTCLINV',    0),
    (1, 'VERSCLTRASF', 0),
    (1, 'CARCLTRASF',  0),
    (1, 'CARIMB',      0),
    (1, 'CARRECCL',    0),
    (1, 'CARMATCLA',   0),
    (1, 'VERSCLA',     0),
    (1, 'SCAMATCLA',   0),
    (1, 'DDTRESTCLA',  0),
    (1, 'DDTRESOCLA',  0),
    (1, 'FATTCLA',     0);

INSERT INTO MG3G_DOCDITTA (MG3G_DITTA_CG18, MG3G_CODDOCUM_MG36, MG3G_INDSTAPER_MG36) VALUES
    (2, 'OC',          0),
    (2, 'FATT',        0),
    (2, 'LISTTRASF',   0),
    (2, 'LISTPREL',    0),
    (2, 'OFMP',        0),
    (2, 'SCAREP',      0),
    (2, 'CARPROD',     0),
    (2, 'CARREP',      0),
    (2, 'ODP',         0),
    (2, 'ODPEXT',      0),
    (2, 'OFCL',        1),
    (2, 'CARMATCLA',   0),
    (2, 'DDTRESTCLA',  0);

INSERT INTO MG58_DEPOSITI (MG58_DITTA_CG18, MG58_CODICE, MG58_DESCRIZIONE) VALUES
    (1, '01', 'Magazzino centrale'),
    (1, '02', 'Magazzino prodotti finiti'),
    (1, '03', 'Deposito transito'),
    (1, 'CL', 'Deposito conto lavoro'),
    (1, 'SC', 'Deposito scarti'),
    (2, '01', 'Magazzino centrale'),
    (2, '02', 'Magazzino prodotti finiti');

INSERT INTO PD04_QUALIFICHE (PD04_DITTA_CG18, PD04_CODICE, PD04_DESCRIZIONE) VALUES
    (1, 'OPE1', 'Operaio primo livello'),
    (1, 'OPE2', 'Operaio secondo livello'),
    (1, 'ATTR', 'Attrezzista'),
    (1, 'MANUT', 'Manutentore'),
    (1, 'CAPO', 'Capo reparto'),
    (2, 'OPE1', 'Operaio primo livello'),
    (2, 'ATTR', 'Attrezzista');

INSERT INTO LP09_TESTATAPRIORITA (LP09_ID, LP09_DITTA_CG18, LP09_CODICE, LP09_DESCRIZIONE) VALUES
    (1, 1, 'MAT', 'Priorita listini materiali'),
    (2, 1, 'INTMDO', 'Priorita listini fasi interne manodopera'),
    (3, 1, 'INTMAC', 'Priorita listini fasi interne macchine'),
    (4, 1, 'CLA', 'Priorita listini conto lavoro attivo'),
    (5, 1, 'CLP', 'Priorita listini conto lavoro passivo'),
    (6, 1, 'MATPROMO', 'Priorita listini materiali in promozione'),
    (7, 2, 'MAT', 'Priorita listini materiali'),
    (8, 2, 'INT', 'Priorita listini fasi interne');

-- General parameters of company 1, page by page.
INSERT INTO PD42_ZOVRENA (PD42_DITTA_CG18) VALUES (1);

UPDATE PD42_ZOVRENA SET
    -- management indicators
    PD42_DEPSLFAEST_MG58 = '03',
    PD42_FLGCOIN = 0,
    PD42_FLGECCEDLOTLISTRAS = 0,
    PD42_FLGGESCICLI = 1,
    PD42_FLGGESTLOTTI = 1,
    PD42_FLGGESTPROG = 1,
    PD42_FLGMODELLODB = 0,
    PD42_FLGMODORDCLP = 1,
    PD42_FLGMODORDLAV = 1,
    PD42_FLGSTATI = 1,
    PD42_FLGTRACLOTMP = 0,
    PD42_FLGTRACLOTPF = 0,
    PD42_FLGTRASFUBICAZ = 0,
    PD42_INDATTRFESTLTCF = 0,
    PD42_INDBLOCCOMERCE = 0,
    PD42_INDCOEFFQTA2DB = 0,
    PD42_INDDATAFABB = 0,
    PD42_INDDATAVALDISBALOC = 0,
    PD42_INDGENSEMLAV = 1,
    PD42_INDGESDISBA = 0,
    PD42_INDINTORDLAV = 1,
    PD42_INDLEADTIME = 0,
    PD42_INDLOCDISBA = 0,
    PD42_INDLOCDISBAART = 0,
    PD42_INDMODSCARTO = 1,
    PD42_INDMOVSLINT = 1,
    PD42_INDNOTAMODDBLOC = 0,
    PD42_INDNUMPROG = 2,
    PD42_INDPRMOPPP = 0,
    PD42_INDPROVFORN = 0,
    PD42_INDPROVREP = 0,
    PD42_INDQTALOTTODB = 0,
    PD42_INDQTARIFASSLEG = 0,
    PD42_INDREVCICLI = 1,
    PD42_INDREVDISBA = 0,
    PD42_INDRICETTA = 0,
    PD42_INDSCARTOFASI = 0,
    PD42_INDSEQINTLEGDB = 0,
    PD42_INDSTATO = 1,
    PD42_INDTRPERSCORPO = 0,
    PD42_INDTRPERSTESTA = 0,
    PD42_STEPNUMLEGDB = 10,
    PD42_STEPSEQINTLEGDB = 1,
    -- internal work: indicators
    PD42_FLGDEPAPIANART = 0,
    PD42_FLGDEPARIGAORD = 1,
    PD42_FLGDEPAVERSART = 0,
    PD42_FLGDEPCCLP = 0,
    PD42_FLGDEPCLEGAME = 1,
    PD42_FLGDEPCPIANART = 1,
    PD42_FLGDEPCPRELART = 0,
    PD42_FLGDEPCREP = 0,
    PD42_FLGDEPCRIGAORD = 1,
    PD42_FLGIMPGENLISP = 0,
    PD42_FLGIMPGENORD = 1,
    PD42_FLGREINMATSALDO = 0,
    PD42_FLGSCAGENLISP = 1,
    PD42_FLGSCAGENORD = 0,
    PD42_FLGSCAMATREP = 0,
    PD42_FLGVISTMPDETTFASI = 0,
    PD42_INDAVANZFASEINT = 1,
    PD42_INDSALDOFASIESTPRE = 0,
    PD42_INDSCAMATTRASF = 0,
    PD42_INDTIPOVERSQTA = 0,
    PD42_PERCTOLLINT = 5,
    -- internal work: documents
    PD42_AVANZ_MG3G = 'AVANZ',
    PD42_CARMACERO_MG3G = 'CARSCA',
    PD42_CARPROD_MG3G = 'CARPROD',
    PD42_CARREP_MG3G = 'CARREP',
    PD42_DEPSCARTO_MG58 = 'SC',
    PD42_LISTAPREL_MG3G = 'LISTPREL',
    PD42_LISTATRASF_MG3G = 'LISTTRASF',
    PD42_OLMONO_MG3G = 'ODP',
    PD42_ORDFORN_MG3G = 'OFMP',
    PD42_SCAMACERO_MG3G = 'SCASCA',
    PD42_SCAREP_MG3G = 'SCAREP',
    PD42_SCARPROD_MG3G = 'SCAPROD',
    -- external work: indicators
    PD42_DEPTRANS_MG58 = '03',
    PD42_FLGDDTCLVERS = 0,
    PD42_FLGGENORDCLAV = 0,
    PD42_FLGGENTRASFCL = 1,
    PD42_FLGSCAGENLISPCL = 0,
    PD42_INDAVANZFASEEST = 1,
    PD42_INDCARSFRIDOCL = 1,
    PD42_INDIMPINTEST = 0,
    PD42_PERCTOLLEST = 10,
    -- external work: documents
    PD42_AVANZCL_MG3G = 'VERSCL',
    PD42_CARDEPTRANS_MG3G = 'CARREP',
    PD42_CARSFRIDOCL_MG3G = 'CARRECCL',
    PD42_DDTCLCAR_MG3G = 'DDTCLCAR',
    PD42_DDTCLINV_MG3G = 'DDTCLINV',
    PD42_ORDFORCL_MG3G = 'OFCL',
    PD42_SCACLDP_MG3G = 'SCACL',
    PD42_SCADEPTRANS_MG3G = 'SCAREP',
    PD42_VERSCL_MG3G = 'VERSCL',
    -- routing cycles
    PD42_FLGCICLOCODART = 0,
    PD42_INDFASEFANT = 0,
    PD42_INDFASESCAR = 0,
    PD42_INDLEGERRFASE = 0,
    PD42_INDUMATTESA = 0,
    PD42_INDUMCODA = 0,
    PD42_INDUMLAV = 0,
    PD42_INDUMSETUP = 0,
    PD42_QLAV_PD04 = 'OPE1',
    PD42_QSETUP_PD04 = 'ATTR',
    -- active subcontracting: indicators
    PD42_FLGESCRICERDISBA = 0,
    PD42_FLGGESTPARTCLA = 0,
    PD42_FLGQTAMATCLA = 0,
    PD42_INDDATPARTCLA = 0,
    PD42_INDGESTCLA = 1,
    PD42_INDRIFCOMSCOMCLA = 0,
    PD42_INDRIFLAVCLA = 0,
    PD42_INDRIFMATCLA = 0,
    PD42_INDRIFNSORDCLA = 0,
    PD42_INDRIFPROGSPROGCLA = 0,
    PD42_INDRIFSACCPARCLA = 0,
    PD42_INDRIFVSDOCCLA = 0,
    -- active subcontracting: documents
    PD42_CARMATCLA_MG3G = 'CARMATCLA',
    PD42_FATTDDTCLA_MG3G = 'FATTCLA',
    PD42_RESTITCLA_MG3G = 'DDTRESTCLA',
    PD42_VERSACLA_MG3G = 'VERSCLA',
    -- bill-of-materials consumption: indicators
    PD42_FLGCARAUTOSL = 1,
    PD42_INDGENDOCCARPF = 0,
    PD42_INDLIVESP = 3,
    PD42_LIVELLOESP = 5,
    -- bill-of-materials consumption: documents
    PD42_CARPFDIBA_MG3G = 'CARPROD',
    PD42_CARSLDIBA_MG3G = 'CARSL',
    PD42_SCARMATDIBA_MG3G = 'SCADIBA',
    -- size/colour grid
    PD42_FLGGRIGLIA = 0,
    PD42_INDLIVVARDISBA = 0,
    -- valuations
    PD42_FLGLISTPAR = 1,
    PD42_FLGLISTPARDOC = 1,
    PD42_FLGMANULTCONSODP = 0,
    PD42_IDCLA_LP09 = 4,
    PD42_IDCLP_LP09 = 5,
    PD42_IDINTMAC_LP09 = 3,
    PD42_IDINT_LP09 = 2,
    PD42_IDMAT_LP09 = 1,
    PD42_INDCSTOPERSETUP = 0,
    PD42_INDLOTOPERSETUP = 0,
    -- columns no page shows
    PD42_FLGDOCCODART = 0,
    PD42_FLGDOCCODFOR = 0,
    PD42_FLGDOCCOMM = 0,
    PD42_FLGDOCDESCREST = 0,
    PD42_FLGDOCFASI = 0,
    PD42_FLGDOCPROGETTO = 0,
    PD42_FLGDOCRIFORD = 0,
    PD42_FLGGENDDTCLAV = 0,
    PD42_FLGGESCONTLAV = 0,
    PD42_FLGGESSCHEDUL = 0,
    PD42_FLGGESSTOR = 0,
    PD42_FLGGESTALT = 0,
    PD42_FLGGESTECCED = 0,
    PD42_FLGGESTFABLO = 0,
    PD42_FLGGESTFABNE = 0,
    PD42_FLGGESTMANC = 0,
    PD42_FLGGESTMANDET = 0,
    PD42_FLGGESTPARTINT = 0,
    PD42_FLGGESTPARTLAVE = 0,
    PD42_FLGGESTWIP = 0,
    PD42_FLGIMPEVAORD = 0,
    PD42_FLGIMPSTAORD = 0,
    PD42_FLGIMPSTPLISP = 0,
    PD42_FLGNOIMP = 0,
    PD42_FLGNOIMPCLAV = 0,
    PD42_FLGORDCLAV = 0,
    PD42_FLGSCAAVAPRO = 0,
    PD42_FLGSCALISPRE = 0,
    PD42_FLGSCASTADDT = 0,
    PD42_FLGSCASTAORD = 0,
    PD42_FLGSCAVERPRO = 0,
    PD42_FLGSCHEDATEC = 0,
    PD42_FLGSINCRIMPSCA = 0,
    PD42_FLGSTPDDTCLAV = 0,
    PD42_FLGSTPORDCLAV = 0,
    PD42_INDGESTOPZIONI = 0,
    PD42_INDGESTSFRIDO = 0,
    PD42_INDGESTVAR = 0,
    PD42_INDLISTACQVAR = 0,
    PD42_INDLISTVENDVAR = 0,
    PD42_INDMODLISTACQ = 0,
    PD42_INDMODVAR = 0
WHERE PD42_DITTA_CG18 = 1;

-- Document parameters of company 1: the production order commits by order and transfers by list
-- and also takes components from the department; the transfer list (a kind whose commitment and
-- transfer pairs are free) transfers by list while its order indicator follows the general row.
INSERT INTO PD88_ZOVRENADOC (
    PD88_DITTA_CG18, PD88_CODDOC_MG36,
    PD88_INDSTATI, PD88_INDSTATOORD, PD88_INDMODORDLAV, PD88_INDINTORDLAV, PD88_INDMOVSLINT,
    PD88_INDIMPGENORD, PD88_INDIMPGENLISP, PD88_INDIMPSTAORD, PD88_INDSCAGENORD,
    PD88_INDSCAGENLISP, PD88_INDGENDDTCLAV, PD88_INDDDTCLVERS, PD88_INDORDCLAV, PD88_INDLOCDISBA,
    PD88_INDGESOCLPRO, PD88_INDSCASTAORD, PD88_INDMODSCARTO, PD88_PERCTOLLINT, PD88_PERCTOLLEST,
    PD88_INDSCARTOFASI, PD88_INDTIPOVERSQTA, PD88_INDAVANZFASEINT, PD88_INDAVANZFASEEST,
    PD88_INDCARSFRIDOCL, PD88_INDSCAGENLISPCL,
    PD88_FLGDEPCLEGAME, PD88_FLGDEPCREP, PD88_FLGDEPCCLP, PD88_FLGDEPCPRELART, PD88_FLGDEPCPIANART,
    PD88_FLGDEPCRIGAORD, PD88_FLGDEPARIGAORD, PD88_FLGDEPAVERSART, PD88_FLGDEPAPIANART,
    PD88_FLGSCAMATREP,
    PD88_CARREP_MG3G, PD88_SCAREP_MG3G, PD88_CARPROD_MG3G
) VALUES
    (1, 'ODP',
     0, 2, 0, 0, 0,
     1, 2, 0, 1,
     1, 0, 0, 0, 0,
     0, 0, 0, 0, 0,
     0, 0, 0, 0,
     0, 0,
     1, 1, 0, 0, 1,
     0, 1, 0, 0,
     0,
     'CARREP', 'SCAREP', 'CARPROD'),
    (1, 'LISTTRASF',
     0, 2, 0, 0, 0,
     0, 0, 0, 0,
     2, 0, 0, 0, 0,
     0, 0, 0, 0, 0,
     0, 0, 0, 0,
     0, 0,
     1, 0, 0, 0, 1,
     0, 1, 0, 0,
     0,
     NULL, 'SCAREP', NULL);

-- Custom fields of the origin document: the production order carries the head data only; the
-- second row names a document the company no longer has (not shown, dropped at the next save).
INSERT INTO PD49_PARDOCPROD (PD49_DITTA_CG18, PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO) VALUES
    (1, 'ODP', 1, 0),
    (1, 'DOCDISMESSO', 0, 1);
