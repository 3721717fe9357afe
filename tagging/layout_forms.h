// The forms that folder and file names of a music collection take, and the
// candidate patterns made from those that a tree's names show: number forms
// ("01 Title", "1-01 Title", "201 - Title", "01. Title"), separators, years
// in "()" or "[]" or before " - ", disc folders ("Disc 2", "CD 02", "CD2")
// and compilation folders ("Various Artists", "Compilations"...), kept as
// the literal names the tree spells them with.
#pragma once

#include <string>
#include <vector>

#include "tagging/pattern_fit.h"

// A candidate pattern is a folder part (ending with a backslash, or empty)
// followed by a file form.
struct FileForm {
    std::string pattern;
    bool artistInName = false;  // only below a compilation's folder, or alone
    NamedFields named = 0;
    bool numbered = false;  // reads a track number
    bool compilationOnly = false;
};

struct FolderPart {
    std::string pattern;
    bool artistInName = false;  // its files may name the performer
    bool takesNumbered = true;  // a folder of numbered tracks is an album, not a performer
    bool compilation = false;   // names a compilation's folder
};

// Every file form, numbered ones first.
const std::vector<FileForm>& FileForms();

// The folder parts that a folder's names below the tree's top call for
// (top first): "" (the file's name alone), an album's folder, a performer's
// or a compilation's folder above it, a disc folder below it.
std::vector<FolderPart> FolderPartsOf(const std::vector<std::string>& names);

// What decides whether a file form fits a name: two names of one shape
// fit the same forms.
std::string NameShape(const std::string& name);

// Whether a file form fits a file's name without its extension, and what
// it reads from it.
bool FormFitsName(const FileForm& form, const std::string& name, TagFields& values);

// The order in which the plugin should try two patterns: the one that says
// more of the path first (a literal folder name before a token there, " - "
// before " "), then the one that reads more fields.
bool MoreSpecific(const std::string& a, const std::string& b);

// Whether a folder's name is one that libraries give compilations
// ("Various Artists", "VA", "Compilations"...), in any letter case.
bool IsCompilationFolder(const std::string& name);

// "Disc 2", "CD 02", "CD2", "disk 1": the word as the name spells it, with
// its blank, followed by "[disc]"; empty for any other name.
std::string DiscFolderForm(const std::string& name);

// The fields a pattern reads, a disc number among them.
std::size_t FieldsRead(const std::string& pattern);

// "A\B\C" as {"A", "B", "C"}.
std::vector<std::string> SplitNames(const std::string& path);
// The last name of a path without its extension.
std::string StemOf(const std::string& path);
