#pragma once

#include <QString>

// What the program tells the vendor's service about itself.
namespace VendorQuery {

// The last component of the program's version ("3.1.99" -> "99").
QString versionNumber();
// "pid=<product id>&ver=<version number>".
QString productQuery();

} // namespace VendorQuery
