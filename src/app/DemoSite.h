#pragma once

#include <QString>

// The demo site: an embedded database with the host data of a small brokerage (its venues,
// instruments, listings, coupon periods, contracts, persons, trades of spring and autumn 2014
// and cancelled trades), the one report it sent before those were cancelled, its EMIR reports
// of 2014, and the RAPO.ini that goes with it. demo/README.md tells what each row is there to show.
namespace DemoSite {

// Creates the embedded database of `alias` in the program directory (which ends with a
// separator) with every table and the demo host data, and writes the demo RAPO.ini there when
// the directory has none. Throws RapoError or DbError when it cannot: when the database file
// already exists, or when an ODBC data source of that name would be used instead of the file.
void create(const QString &alias, const QString &programDirectory);

} // namespace DemoSite
