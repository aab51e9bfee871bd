#pragma once
// zavrio-feeds feeds [list]: the catalogue as a JSON array of
//   {"name", "address"}, in order.
// zavrio-feeds feeds add NAME ADDRESS | rename OLD NEW | move NAME POSITION |
//   remove NAME: changes the catalogue through CatalogueEditor (its rules, and
//   Channel kept on the same feed) and writes the settings file at once.
// zavrio-feeds feeds export: the catalogue as OPML 2.0 on standard output.
// zavrio-feeds feeds import FILE: adds the feeds of an OPML file (Opml.h) and
//   prints the ones added as the same JSON array as list; each outline left
//   out is named on standard error with the reason.
// All take --ini PATH. Exit status: 0 done; 1 refused or failed, with the
// reason on standard error and the file untouched; 2 a bad command line.

#include <string>
#include <vector>

namespace zavrio {

int runFeedsCommand(const std::vector<std::string>& args);

} // namespace zavrio
