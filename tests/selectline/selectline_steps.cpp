#include "tests/selectline/selectline_steps.h"

#include <fstream>
#include <sstream>

namespace warenkai::test {

namespace {

std::string Shown(const Variant& value) {
    return value.IsEmpty() ? "-" : "-tirdb"[value.value().index()] + (" " + value.ToText());
}

}  // namespace

std::string SelectlineSteps::Answer(const std::string& call) try {
    std::istringstream words(call);
    std::string object, member, a[3];
    std::getline(std::getline(words, object, ' '), member, ' ');
    std::getline(std::getline(std::getline(words, a[0], '|'), a[1], '|'), a[2]);
    const std::string unknown = "(unbekannter Aufruf)";
    if (object == "App") {
        return member == "ApplicationReady" ? std::to_string(m_application.ApplicationReady())
               : member == "login"          ? (m_application.login(a[0], a[1]), "")
               : member == "getMandant"     ? (m_application.getMandant(a[0], std::stoi(a[1])), "")
               : member == "Listenpreis"    ? Shown(m_application.Listenpreis(a[0]))
               : member == "CreateTable"    ? (m_application.CreateTable(a[0]), "")
               : member == "NeuerBelegAuto" ? (m_document = m_application.NeuerBelegAuto(a[0], a[1]), "")
                                            : unknown;
    }
    if (object == "Beleg") {
        return member == "SetAdresse"  ? (m_document->SetAdresse(a[0]), "")
               : member == "PutField"  ? (m_document->PutField(a[0], a[1]), "")
               : member == "Save"      ? (m_document->Save(), "")
               : member == "CreatePos" ? (m_line = m_document->CreatePos(a[0]), "")
                                       : unknown;
    }
    if (object == "Pos") {
        return member == "SetArtikel"         ? (m_line->SetArtikel(a[0]), "")
               : member == "SetEingabeMenge"  ? (m_line->SetEingabeMenge(std::stod(a[0])), "")
               : member == "SetEinzelpreis"   ? (m_line->SetEinzelpreis(std::stod(a[0])), "")
               : member == "SetSteuerProzent" ? (m_line->SetSteuerProzent(a[0]), "")
               : member == "SetBezeichnung"   ? (m_line->SetBezeichnung(a[0]), "")
               : member == "SetGesamtpreis"   ? (m_line->SetGesamtpreis(a[0]), "")
               : member == "Save"             ? (m_line->Save(std::stoi(a[0])), "")
                                              : unknown;
    }
    auto& table = m_tables[object];
    if (!table) {
        table = m_application.CreateTable(object.substr(0, 2));
    }
    return member == "GetField"      ? Shown(table->GetField(a[0]))
           : member == "FindKey"     ? std::to_string(table->FindKey(a[0]))
           : member == "FindKey2"    ? std::to_string(table->FindKey2(a[0], a[1]))
           : member == "FindKey3"    ? std::to_string(table->FindKey3(a[0], a[1], a[2]))
           : member == "Recordcount" ? std::to_string(table->Recordcount())
           : member == "PutField"    ? (table->PutField(a[0], a[1]), "")
           : member == "Insert"      ? (table->Insert(), "")
           : member == "Post"        ? (table->Post(), "")
           : member == "Next"        ? (table->Next(), "")
           : member == "First"       ? (table->First(), "")
                                     : unknown;
} catch (const SelectlineError& error) {
    return error.what();
}

std::vector<std::string> DataLines(const std::string& name) {
    std::ifstream file(std::string(WARENKAI_TEST_DATA) + "/selectline/" + name, std::ios::binary);
    std::vector<std::string> steps;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && !line.starts_with('#')) {
            steps.push_back(line);
        }
    }
    return steps;
}

}  // namespace warenkai::test
