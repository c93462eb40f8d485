// The files of a plant's dossier: its index page and a page per transmitter, named after the tags.
#pragma once
#include <string>
#include <vector>

// The index page's name in the dossier's folder.
extern const char kDossierIndexPage[];

// A page name for each tag (UTF-8, as the index has them), in their order: the tag's letters, digits,
// '-', '_' and '.', anything else as '_', and ".html". Every name is one the file systems of Windows
// and Linux take as an ordinary file, different from the others and from the index page even where
// case does not count; a name that would not be is told apart by the row's number.
std::vector<std::string> DossierPageNames(const std::vector<std::string>& tags);
