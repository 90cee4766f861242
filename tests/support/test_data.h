#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/memory_selectline.h"

namespace warenkai::test {

using Lines = std::vector<std::string>;

// The bytes of tests/data/`name`.
std::string TestData(const std::string& name);

// The cases of tests/data/`name`: each a line "> " and its input, then the lines it is expected to
// give; lines beginning with "#", and any before the first case, are comments. Escapes: \r \n \t \0,
// a doubled backslash, \xHH, and \{N*c} for N times c.
std::vector<std::pair<std::string, std::vector<std::string>>> Cases(const std::string& name);

// The lines, each followed by a line feed, with `folder` and the separator after it (first in a line) written
// "<Ordner>/".
std::string Text(const std::vector<std::string>& lines, const std::filesystem::path& folder = {});

// Declares the columns of the customer table (KU) and of the address table (AD) that the customer
// import fills.
void DeclareCustomerColumns(MemoryDatabase& database);

}  // namespace warenkai::test
