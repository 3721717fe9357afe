// Listing the subkeys or values of a registry key, and deleting a key with
// everything below it. Root and subkey are always the caller's: the registry
// defaults do not apply here.
#pragma once

#include <windows.h>

#include "util/pointer_list.h"
#include "util/string_list.h"

// Empties names, then lists the key's subkeys in the platform's order. A name
// longer than 259 characters ends the listing there. False (names empty) when
// the key cannot be opened.
bool ListRegistrySubkeys(const char* subkey, StringList& names, HKEY root);

// The same for values; types, when given, receives each value's type code at
// the same index as its name.
bool ListRegistryValues(const char* subkey, StringList& names, PointerList* types,
                        HKEY root);

// Deletes parentSubkey\keyName and everything below it, deepest keys first.
// Nothing is reported; a key that cannot be listed is taken to have no
// children, and one that cannot be deleted stays. A key whose full path
// passes 259 characters is left in place with everything below it.
void DeleteRegistryTree(HKEY root, const char* parentSubkey, const char* keyName);
