#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "selectline/selectline_application.h"

namespace warenkai::test {

// Calls on the objects of one Selectline application, written as steps of the files under
// tests/data/selectline/: "<object> <Member> <argument>|<argument>", the object a table by its code
// (opened at its first step; "AR#2" is a second object of AR), "App" the application, "Beleg" the
// document of the last "App NeuerBelegAuto", "Pos" the position of the last "Beleg CreatePos".
class SelectlineSteps {
public:
    explicit SelectlineSteps(SelectlineApplication& application) : m_application(application) {}

    // What the call answers: a value as its kind and text ("t Spaten", "i 1", "r 19,9", "d 01.03.2025",
    // "b Wahr", "-" when empty), a look-up or truth value 1 or 0, a count, a server error's text, or
    // nothing.
    std::string Answer(const std::string& call);

private:
    SelectlineApplication& m_application;
    std::map<std::string, std::unique_ptr<SelectlineTable>> m_tables;
    std::unique_ptr<SelectlineDocument> m_document;
    std::unique_ptr<SelectlineDocumentLine> m_line;
};

// The lines of tests/data/selectline/<name> that are neither blank nor comments ("#").
std::vector<std::string> DataLines(const std::string& name);

}  // namespace warenkai::test
