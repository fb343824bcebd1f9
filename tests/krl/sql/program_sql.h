#pragma once

#include <string>
#include <string_view>

// The T-SQL texts the program sends, joined from the same fragments, in the same order, as the
// program joins them (blanks, missing blanks and the leading ';' included).
namespace krl::sql::testing::program {

inline std::string doubled(std::string_view text) {
    std::string result;
    for (const char c : text) {
        result.push_back(c);
        if (c == '\'') {
            result.push_back('\'');
        }
    }
    return result;
}

// Warehouse-management switch of the company.
inline std::string wmsEnabled(const std::string& company) {
    return "SELECT WM00_FLGWMSATTIVO FROM WM00_CONFIG WITH (NOLOCK) WHERE WM00_DITTA_CG18 = " +
           company;
}

inline std::string generalParameters(const std::string& company) {
    return "SELECT * FROM PD42_ZOVRENA WHERE PD42_DITTA_CG18 = " + company;
}

inline std::string emptyDocumentParameters() {
    return "SELECT * FROM PD88_ZOVRENADOC WHERE 1 = 0";
}

inline std::string documentParameters(const std::string& company, std::string_view code) {
    return std::string("SELECT * ") + "FROM PD88_ZOVRENADOC " +
           "WHERE PD88_DITTA_CG18 = " + company + " " + "AND PD88_CODDOC_MG36 = " + "'" +
           doubled(code) + "'";
}

// The header's document lookup: all managed documents, or only those with a parameter row.
inline std::string documentLookup(const std::string& company, std::string_view standard,
                                  std::string_view customised, bool allDocuments) {
    std::string sql = std::string("SELECT ") + "MG3G_CODDOCUM_MG36, " + "MG36_DESCDOCUM, " +
                      "CASE MG3G_INDSTAPER_MG36 " + "WHEN 0 THEN '" + doubled(standard) + "'" +
                      "WHEN 1 THEN '" + doubled(customised) + "'" + "END AS MG3G_INDSTAPER " +
                      "FROM " + "MG3G_DOCDITTA WITH (NOLOCK) " +
                      "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, "
                      "MG3G_INDSTAPER_MG36) ";
    if (!allDocuments) {
        sql += std::string(" ") + "INNER JOIN PD88_ZOVRENADOC WITH (NOLOCK) " +
               "ON MG3G_DITTA_CG18 = PD88_DITTA_CG18 " +
               "AND MG3G_CODDOCUM_MG36 = PD88_CODDOC_MG36";
    }
    sql += std::string(" ") + "WHERE " + "MG3G_DITTA_CG18 = " + company + " " +
           "AND ((MG36_TIPODOC = 24 AND MG36_STIPODOC = 20) " +
           "OR (MG36_TIPODOC = 25 AND MG36_STIPODOC = 1) " +
           "OR (MG36_TIPODOC = 10 AND MG36_STIPODOC = 3) " +
           "OR (MG36_TIPODOC = 26 AND MG36_STIPODOC = 5) " +
           "OR (MG36_TIPODOC = 26 AND MG36_STIPODOC = 7)) " + "ORDER BY " + "MG3G_CODDOCUM_MG36";
    return sql;
}

// Type and subtype of the document typed in the window's header.
inline std::string documentType(const std::string& company, std::string_view code) {
    return std::string("SELECT ") + "MG3G_CODDOCUM_MG36, " + "MG36_TIPODOC, " + "MG36_STIPODOC " +
           "FROM MG3G_DOCDITTA WITH (NOLOCK) " + "INNER JOIN MG36_DOCUMENTI WITH (NOLOCK) " +
           "ON MG3G_CODDOCUM_MG36 = MG36_CODDOCUM " + "AND MG3G_INDSTAPER_MG36 = MG36_INDSTAPER " +
           "WHERE " + "MG3G_DITTA_CG18 = " + company + " " + "AND MG3G_CODDOCUM_MG36 = " + "'" +
           doubled(code) + "'";
}

// A page's lookup of one document type with several subtypes (no blank before WHEN and END).
inline std::string internalWorkLookup(const std::string& company, std::string_view standard,
                                      std::string_view customised) {
    return std::string("SELECT MG3G_CODDOCUM_MG36, MG36_DESCDOCUM, ") +
           "CASE MG3G_INDSTAPER_MG36 " + "WHEN 0 THEN '" + doubled(standard) + "'" +
           "WHEN 1 THEN '" + doubled(customised) + "'" + "END AS MG3G_INDSTAPER " +
           "FROM MG3G_DOCDITTA WITH (NOLOCK) " +
           "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, "
           "MG3G_INDSTAPER_MG36) " +
           "WHERE MG3G_DITTA_CG18 = " + company + " " + "AND MG36_TIPODOC = 24 " +
           "AND MG36_STIPODOC IN(3, 4) " + "ORDER BY MG3G_CODDOCUM_MG36";
}

inline std::string scrapLoadLookup(const std::string& company, std::string_view standard,
                                   std::string_view customised) {
    return std::string("SELECT ") + "MG3G_CODDOCUM_MG36, " + "MG36_DESCDOCUM, " +
           "CASE MG3G_INDSTAPER_MG36 WHEN 0 THEN '" + doubled(standard) + "' WHEN 1 THEN '" +
           doubled(customised) + "' END AS MG3G_INDSTAPER " + "FROM " +
           "MG3G_DOCDITTA WITH (NOLOCK) " +
           "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, "
           "MG3G_INDSTAPER_MG36) " +
           "WHERE " + "MG3G_DITTA_CG18 = " + company + " " + "AND " +
           "((MG36_TIPODOC = 24 AND MG36_STIPODOC = 9 ) " + "OR " +
           "(MG36_TIPODOC = 25 AND MG36_STIPODOC = 11)) " + "ORDER BY " + "MG3G_CODDOCUM_MG36";
}

// The pages' check of a typed document code.
inline std::string documentCheck(const std::string& company, std::string_view code) {
    return std::string("SELECT MG3G_CODDOCUM_MG36, MG36_TIPODOC, MG36_STIPODOC ") +
           "FROM MG3G_DOCDITTA WITH (NOLOCK) " + "INNER JOIN MG36_DOCUMENTI WITH (NOLOCK) " +
           "ON MG36_CODDOCUM = MG3G_CODDOCUM_MG36 " + "AND MG36_INDSTAPER = MG3G_INDSTAPER_MG36 " +
           "WHERE MG3G_DITTA_CG18 = " + company + " " + "AND MG3G_CODDOCUM_MG36 = '" +
           doubled(code) + "'";
}

inline const std::string kTempTable = "#PARDOCPROD";

inline std::string dropTempTable() {
    return "IF NOT OBJECT_ID('tempdb.." + kTempTable + "') IS NULL DROP TABLE " + kTempTable;
}

// The transfer page's load: saved rows plus a default row per eligible document, into #PARDOCPROD.
inline std::string loadTransferRows(const std::string& company) {
    return std::string(";WITH CTE_DOCDEFAULT AS ") + "(" +
           "SELECT MG3G_DITTA_CG18 AS PD49_DITTA_CG18, MG3G_CODDOCUM_MG36 AS PD49_CODDOC_MG3G, " +
           "CAST(2 AS TINYINT) AS PD49_INDTRPERSTESTA, CAST(2 AS TINYINT) AS "
           "PD49_INDTRPERSCORPO " +
           "FROM MG3G_DOCDITTA WITH (NOLOCK) " + "LEFT JOIN MG36_DOCUMENTI WITH (NOLOCK) " +
           "ON MG3G_CODDOCUM_MG36 = MG36_CODDOCUM " + "AND MG3G_INDSTAPER_MG36 = MG36_INDSTAPER " +
           "WHERE MG3G_DITTA_CG18 = " + company + " " + "AND (MG36_TIPODOC IN (22, 24, 25, 26) " +
           "OR (MG36_TIPODOC = 1 AND MG36_STIPODOC = 1) " +
           "OR (MG36_TIPODOC = 5 AND MG36_STIPODOC = 2) " +
           "OR (MG36_TIPODOC = 10 AND MG36_STIPODOC = 1) " +
           "OR (MG36_TIPODOC = 10 AND MG36_STIPODOC = 3) " +
           "OR (MG36_TIPODOC = 14 AND MG36_STIPODOC = 2))" + ")" +
           //
           ", CTE_DOCSAVED AS " + "(" +
           "SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO " +
           "FROM PD49_PARDOCPROD WITH (NOLOCK) " + "WHERE PD49_DITTA_CG18 = " + company + ")" +
           //
           ", CTE_PARDOCPROD AS " + "(" +
           "SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO " +
           "FROM CTE_DOCSAVED WITH (NOLOCK) " + "UNION " +
           "SELECT CTE_DOCDEFAULT.PD49_DITTA_CG18, CTE_DOCDEFAULT.PD49_CODDOC_MG3G, " +
           "CTE_DOCDEFAULT.PD49_INDTRPERSTESTA, CTE_DOCDEFAULT.PD49_INDTRPERSCORPO " +
           "FROM CTE_DOCDEFAULT WITH (NOLOCK) " + "LEFT JOIN CTE_DOCSAVED WITH (NOLOCK) " +
           "ON CTE_DOCDEFAULT.PD49_CODDOC_MG3G = CTE_DOCSAVED.PD49_CODDOC_MG3G " +
           "WHERE CTE_DOCSAVED.PD49_CODDOC_MG3G IS NULL" + ") " +
           //
           "SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, MG36_DESCDOCUM AS PD49_DESCDOCUM, " +
           "PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO " + "INTO " + kTempTable + " " +
           "FROM CTE_PARDOCPROD WITH (NOLOCK) " + "INNER JOIN MG3G_DOCDITTA WITH (NOLOCK) " +
           "ON PD49_DITTA_CG18 = MG3G_DITTA_CG18 " + "AND PD49_CODDOC_MG3G = MG3G_CODDOCUM_MG36 " +
           "OUTER APPLY dbo.FNMG36_DOCUMENTI(MG3G_CODDOCUM_MG36, MG3G_DITTA_CG18, "
           "MG3G_INDSTAPER_MG36) ";
}

inline std::string transferGrid() {
    return "SELECT * FROM " + kTempTable + " ORDER BY PD49_CODDOC_MG3G";
}

inline std::string physicalDelete(const std::string& company) {
    return std::string("DELETE PD49_PARDOCPROD ") + "WHERE PD49_DITTA_CG18 = " + company;
}

inline std::string saveTransferRows() {
    return std::string("INSERT INTO PD49_PARDOCPROD ") +
           "SELECT PD49_DITTA_CG18, PD49_CODDOC_MG3G, PD49_INDTRPERSTESTA, PD49_INDTRPERSCORPO " +
           "FROM " + kTempTable + " WITH (NOLOCK) " +
           "WHERE (PD49_INDTRPERSTESTA <> 2) OR (PD49_INDTRPERSCORPO <> 2)";
}

inline std::string logicalDelete() {
    return "UPDATE " + kTempTable + " " + "SET PD49_INDTRPERSTESTA = 2, " +
           "PD49_INDTRPERSCORPO = 2";
}

// The ID edit of a price-list priority table: the id of the code typed, the code of the id stored.
inline std::string priorityTableId(const std::string& company, std::string_view code) {
    return "SELECT LP09_ID FROM LP09_TESTATAPRIORITA WITH (NOLOCK) WHERE LP09_DITTA_CG18 = " +
           company + " AND LP09_CODICE = '" + doubled(code) + "'";
}

inline std::string priorityTableCode(const std::string& company, const std::string& id) {
    return "SELECT LP09_CODICE FROM LP09_TESTATAPRIORITA WITH (NOLOCK) WHERE LP09_DITTA_CG18 = " +
           company + " AND LP09_ID = " + id;
}

}  // namespace krl::sql::testing::program
