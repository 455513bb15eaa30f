// The groups of the maker's other product, as Quick Compose offers them: the
// root of its groups file (a keyed archive) read as a list of group records.
// The file is written by another program, so nothing about its shape is
// taken on trust. A record is used only when it is a dictionary with a
// string "name" and an array "members" whose every entry is a dictionary
// with a string "contact" and an "isNumber" flag (a boolean, or an integer
// read as non-zero = YES and handed on as a boolean). Any other key of a
// record, and of its members, is carried along untouched. Records of another
// shape are skipped whole, so a group is never offered with some of its
// members silently missing; the console says how many were skipped. A root
// that is no array holds no groups.
#pragma once

#include "PropertyList.h"

namespace foundation {

// The usable group records in file order, each a dictionary.
PlistArray groupRecords(const PlistValue& archiveRoot);

} // namespace foundation
