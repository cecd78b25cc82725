#pragma once

#include <QString>

// Where the vendor can be reached. Set when the program is configured (CMake cache variables
// FERROWYN_VENDOR_HOST, FERROWYN_SUPPORT_EMAIL, FERROWYN_HOME_PAGE); all empty by default, and every
// place that uses one adapts when it is empty instead of showing an invented address.
namespace VendorConfig {

// Host name of the vendor's web service (error reports, update check); empty: no service.
QString serviceHost();
// Support e-mail address offered in the error dialog; empty: none.
QString supportEmail();
// Product home page shown in the about dialog; empty: none.
QString homePage();

} // namespace VendorConfig
