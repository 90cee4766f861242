#pragma once

namespace warenkai {

struct Settings;
struct TransferContext;

// Remote paths below `shopRoot`, and the export page below `shopLink`.
inline constexpr const char* kShopExportPage = "/login/admin/sonstiges/export/export2.php";
inline constexpr const char* kRemoteCustomerExport = "/login/admin/sonstiges/export/export/Exportkunde.csv";
inline constexpr const char* kRemoteOrderExport = "/login/admin/sonstiges/export/export/Exportbestellung.csv";

// What the status area shows when the shop's export page failed.
inline constexpr const char* kExportPageFailedStatus = "Die Exportseite des Webshops ist fehlgeschlagen";
inline constexpr const char* kExportPageFailedLine =
    "Fehler: Die Exportseite des Webshops wurde nicht geöffnet oder meldete einen Fehler; es wurde nichts "
    "heruntergeladen und nichts eingetragen";

// Fresh local copies of the shop's two exports: the old local files removed, the shop's export page
// opened in the browser, the user's OK awaited, then both exports downloaded into the program folder
// over one passive-mode connection. Failed downloads are reported in the status area; the caller
// goes on. False, with an error line and nothing downloaded, when the export page failed (not
// handed to the browser, or without browser no 2xx answer in time): the files on the server are
// then an earlier run's and must not be imported. The error list is not cleared here.
bool DownloadShopExports(const Settings& settings, TransferContext& context);

}  // namespace warenkai
