// Reading what a recipient list is built from, on the phone: the "EIC"
// switch straight from the preferences file, the favourites file, and the
// groups file of the maker's other product through the platform's
// keyed-archive reader. The files come from other programs (the settings
// application, the other product) or from the user's hands, so each reader
// keeps what is sound and says once, on the console, why it left the rest.
#pragma once

#include "RecipientList.h"

#include <foundation/PropertyList.h>

namespace parlivo {

// "EIC" read from the preferences file at this moment, and logged; only
// the text "1" turns e-mail addresses on.
bool emailsInCompose();

// The favourites as one-entry dictionaries {number: name}, in the file's
// key order. Writes "caricati %i preferiti" to the console.
foundation::PlistArray loadFavorites();

// The usable group records of the groups file, in file order; none when the
// file is missing or does not read as an archive of groups.
foundation::PlistArray loadGroupsFromFile();

// Everything above together with the phone's Address Book.
RecipientSources readRecipientSources();

} // namespace parlivo
