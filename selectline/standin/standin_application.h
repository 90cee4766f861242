#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "selectline/selectline_application.h"
#include "selectline/standin/column_value.h"
#include "selectline/standin/sqlite_connection.h"

namespace warenkai::standin {

// The table codes the stand-in serves, in the order the documentation lists them.
const std::vector<std::string>& StandinTableCodes();

// The automation object of the stand-in over one open connection. It is ready at once; login and
// getMandant have nothing to do.
class StandinApplication final : public SelectlineApplication {
public:
    explicit StandinApplication(std::shared_ptr<Connection> connection) : m_connection(std::move(connection)) {}

    bool ApplicationReady() override { return true; }
    void login(const std::string& user, const std::string& password) override;
    void getMandant(const std::string& mandant, int mode) override;
    std::unique_ptr<SelectlineTable> CreateTable(const std::string& code) override;
    Variant Listenpreis(const std::string& articleNumber) override;
    std::unique_ptr<SelectlineDocument> NeuerBelegAuto(const std::string& kind, const std::string& text) override;

private:
    std::shared_ptr<Connection> m_connection;
    std::optional<ColumnType> m_listPriceType;
    std::shared_ptr<const std::map<std::string, ColumnType>> m_documentFields;
};

}  // namespace warenkai::standin
