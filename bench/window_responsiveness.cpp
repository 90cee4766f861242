// How long the window's thread goes without handling events while a transfer runs on the stand-in:
// the customer import of 10,000 customers and the article export of 10,000 articles (both walks),
// started from the window's buttons. A timer on the window's thread every 5 ms notes the longest gap.
//
//     cmake --build build --target window_responsiveness && QT_QPA_PLATFORM=offscreen build/bin/window_responsiveness

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/main_window.h"
#include "bench/quiet_fakes.h"
#include "common/cancel_request.h"
#include "common/status_area.h"
#include "common/transfer_guard.h"
#include "common/user_dialogs.h"
#include "common/web_opener.h"
#include "export/article_export.h"
#include "export/article_groups.h"
#include "export/articles_seen.h"
#include "import/customer_import.h"
#include "selectline/selectline_session.h"
#include "selectline/standin/standin_selectline.h"
#include "settings/settings.h"

namespace fs = std::filesystem;
using namespace warenkai;

namespace {

constexpr int kCount = 10'000;

void Sql(const fs::path& database, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(database.c_str(), &db) != SQLITE_OK ||
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "sql: %s\n", sqlite3_errmsg(db));
    }
    sqlite3_close(db);
}

void PrepareData(const fs::path& folder) {
    // The stand-in writes its demo company on first use; then 10,000 articles in 20 groups.
    MakeStandinSelectline(folder / kStandinDatabaseFileName)();
    Sql(folder / kStandinDatabaseFileName,
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
        "INSERT INTO \"AR\" (\"Artikelnummer\", \"Bezeichnung\", \"Artikelgruppe\", \"ShopAktiv\", \"Listenpreis\") "
        "SELECT 'B' || printf('%06d', i), 'Artikel ' || i, (SELECT \"Nummer\" FROM \"AG\" LIMIT 1), 1, i / 10.0 FROM "
        "n");
    std::ofstream customers(folder / kCustomerFileName, std::ios::binary);
    customers << "\"kopf\"" << std::string(24, ',') << "\r\n";
    for (int i = 1; i <= kCount; ++i) {
        customers << '"' << 70000 + i << "\",\"Kunde " << i << "\",\"\",\"Weg " << i
                  << "\",\"12345\",\"Ort\",\"DE\",\"\",\"\",\"\",\"k@example.de\",\"\",\"\",\"\","
                     "\"Kunde\",\"Lager\",\"Weg\",\"12345\",\"Ort\",\"Kunde\",\"Buchhaltung\",\"Postfach\",\"12345\","
                     "\"Ort\",\"Privat\"\r\n";
    }
}

// Clicks `button` and returns the longest time the window's thread went without handling events
// until the transfer ended, and the transfer's duration.
std::pair<qint64, qint64> Measure(Main& window, const char* button) {
    QElapsedTimer sinceTick;
    QElapsedTimer total;
    qint64 longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
    auto* start = window.findChild<QPushButton*>(QString::fromLatin1(button));
    auto* cancel = window.findChild<QPushButton*>(QStringLiteral("Abbrechen"));
    total.start();
    sinceTick.start();
    ticker.start(5);
    start->click();
    while (!start->isEnabled() || cancel->isEnabled()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    ticker.stop();
    return {longest, total.elapsed()};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const fs::path programFolder = folder.path().toStdString();
    PrepareData(programFolder);

    bench::QuietDialogs dialogs;
    bench::QuietWeb web;
    MainServices services;
    services.dialogs = &dialogs;
    services.web = &web;
    services.customerOrderImport = [](const Settings&, TransferContext& context) {
        return RunTransfer(context.status, context.dialogs, [&] {
            SelectlineSession session = OpenSelectlineSession({"KU", "AD"}, context);
            ImportCustomers(context.programFolder / kCustomerFileName, session.Table("KU"), session.Table("AD"),
                            context.status, context.dialogs, context.cancel);
        });
    };
    services.articleTransfer = [](const Settings& settings, TransferContext& context) {
        return RunTransfer(context.status, context.dialogs, [&] {
            SelectlineSession session = OpenSelectlineSession({"AR", "AG", "TE", "AP", "UD"}, context);
            ArticlesSeen seen;
            ExportArticles(settings, context, session, seen);
            ExportArticleGroups(context, seen);
        });
    };
    // The mapping of a plain shop: number, name, price, group and parent.
    Settings settings;
    settings.mapping[0].selectlineField = "Artikelnummer";
    settings.mapping[1].selectlineField = "Bezeichnung";
    settings.mapping[6].selectlineField = "Listenpreis";
    settings.mapping[14].selectlineField = "Artikelgruppe Parent";
    settings.mapping[15].selectlineField = "Artikelgruppe";
    SaveSettings(programFolder / kSettingsFileName, settings);
    Main window(programFolder, std::move(services));
    window.show();

    const auto [importGap, importTime] = Measure(window, "Command5");
    std::printf("customer import, %d customers: %lld ms, longest gap on the window's thread %lld ms\n", kCount,
                static_cast<long long>(importTime), static_cast<long long>(importGap));
    const auto [exportGap, exportTime] = Measure(window, "Command3");
    std::printf("article export, %d articles: %lld ms, longest gap on the window's thread %lld ms\n", kCount,
                static_cast<long long>(exportTime), static_cast<long long>(exportGap));
    return 0;
}
