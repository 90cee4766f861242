#pragma once

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "selectline/selectline_application.h"
#include "tests/support/test_data.h"

namespace warenkai::test {

// A value as a step's answer shows it: its kind and text ("t Spaten"), "-" when empty.
inline std::string Shown(const Variant& value) {
    return value.IsEmpty() ? "-" : "-tirdb"[value.value().index()] + (" " + value.ToText());
}

// Calls on the objects of one Selectline application, written as steps of the files under
// tests/data/selectline/: "<object> <Member> <argument>|<argument>", the object a table by its code
// (opened at its first step; "AR#2" is a second object of AR), "App" the application, "Beleg" the
// document of the last "App NeuerBelegAuto", "Pos" the position of the last "Beleg CreatePos".
struct SelectlineSteps {
    explicit SelectlineSteps(SelectlineApplication& steered) : application(steered) {}
    // What the call answers: a value as its kind and text ("t Spaten", "i 1", "r 19,9", "d 01.03.2025",
    // "b Wahr", "-" when empty), a look-up or truth value 1 or 0, a count, a server error's text, or
    // nothing.
    std::string Answer(const std::string& call) try {
        std::istringstream words(call);
        std::string object, member, a[3];
        std::getline(std::getline(words, object, ' '), member, ' ');
        std::getline(std::getline(std::getline(words, a[0], '|'), a[1], '|'), a[2]);
        const auto table = [&]() -> SelectlineTable& {
            auto& opened = tables[object];
            opened = opened ? std::move(opened) : application.CreateTable(object.substr(0, 2));
            return *opened;
        };
        const std::string step =
            (object == "App" || object == "Beleg" || object == "Pos" ? object : "Tabelle") + " " + member;
        return step == "App ApplicationReady"   ? std::to_string(application.ApplicationReady())
               : step == "App login"            ? (application.login(a[0], a[1]), "")
               : step == "App getMandant"       ? (application.getMandant(a[0], std::stoi(a[1])), "")
               : step == "App Listenpreis"      ? Shown(application.Listenpreis(a[0]))
               : step == "App CreateTable"      ? (application.CreateTable(a[0]), "")
               : step == "App NeuerBelegAuto"   ? (document = application.NeuerBelegAuto(a[0], a[1]), "")
               : step == "Beleg SetAdresse"     ? (document->SetAdresse(a[0]), "")
               : step == "Beleg PutField"       ? (document->PutField(a[0], a[1]), "")
               : step == "Beleg Save"           ? (document->Save(), "")
               : step == "Beleg CreatePos"      ? (line = document->CreatePos(a[0]), "")
               : step == "Pos SetArtikel"       ? (line->SetArtikel(a[0]), "")
               : step == "Pos SetEingabeMenge"  ? (line->SetEingabeMenge(std::stod(a[0])), "")
               : step == "Pos SetEinzelpreis"   ? (line->SetEinzelpreis(std::stod(a[0])), "")
               : step == "Pos SetSteuerProzent" ? (line->SetSteuerProzent(a[0]), "")
               : step == "Pos SetBezeichnung"   ? (line->SetBezeichnung(a[0]), "")
               : step == "Pos SetGesamtpreis"   ? (line->SetGesamtpreis(a[0]), "")
               : step == "Pos Save"             ? (line->Save(std::stoi(a[0])), "")
               : step == "Tabelle GetField"     ? Shown(table().GetField(a[0]))
               : step == "Tabelle FindKey"      ? std::to_string(table().FindKey(a[0]))
               : step == "Tabelle FindKey2"     ? std::to_string(table().FindKey2(a[0], a[1]))
               : step == "Tabelle FindKey3"     ? std::to_string(table().FindKey3(a[0], a[1], a[2]))
               : step == "Tabelle Recordcount"  ? std::to_string(table().Recordcount())
               : step == "Tabelle PutField"     ? (table().PutField(a[0], a[1]), "")
               : step == "Tabelle Insert"       ? (table().Insert(), "")
               : step == "Tabelle Post"         ? (table().Post(), "")
               : step == "Tabelle Next"         ? (table().Next(), "")
               : step == "Tabelle First"        ? (table().First(), "")
                                                : "(unbekannter Aufruf)";
    } catch (const SelectlineError& error) {
        return error.what();
    }

    SelectlineApplication& application;
    std::map<std::string, std::unique_ptr<SelectlineTable>> tables;
    std::unique_ptr<SelectlineDocument> document;
    std::unique_ptr<SelectlineDocumentLine> line;
};

// The lines of tests/data/selectline/<name> that are neither blank nor comments ("#").
inline std::vector<std::string> DataLines(const std::string& name) {
    std::istringstream file(TestData("selectline/" + name));
    std::vector<std::string> steps;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && !line.starts_with('#')) {
            steps.push_back(line);
        }
    }
    return steps;
}

}  // namespace warenkai::test
