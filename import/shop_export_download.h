#pragma once

namespace warenkai {

struct Settings;
struct TransferContext;

// Remote paths below `shopRoot`, and the export page below `shopLink`.
inline constexpr const char* kShopExportPage = "/login/admin/sonstiges/export/export2.php";
inline constexpr const char* kRemoteCustomerExport = "/login/admin/sonstiges/export/export/Exportkunde.csv";
inline constexpr const char* kRemoteOrderExport = "/login/admin/sonstiges/export/export/Exportbestellung.csv";

// Fresh local copies of the shop's two exports: the old local files removed, the shop's export page
// opened in the browser, the user's OK awaited, then both exports downloaded into the program folder
// over one passive-mode connection. Failures are reported in the status area; the caller goes on.
void DownloadShopExports(const Settings& settings, TransferContext& context);

}  // namespace warenkai
