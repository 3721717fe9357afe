// Writing the values recognised in a source path as tags into that file,
// through the host's decoder plugin for the file's extension.
#pragma once

#include "tagging/tag_fields.h"

// Cleans fields in place, then writes each present value with the plugin's
// SetIDTagElement, in the order Artist, Album, Title, Genre, Year, Track. The
// file's attributes are set to normal first, but only when there is
// something to write and a plugin that can write it. Nothing is reported; a
// plugin that faults on one field does not stop the others.
void WriteTags(const char* sourcePath, TagFields& fields);
