#pragma once
// Extraction of a ZIP archive into a folder.
#include <string>
#include <string_view>

// Where the entry AEntryName (as stored: UTF-8, '/' or '\' between parts)
// lands inside AFolder. Throws Exception for a name that would leave the
// folder: a ".." part, a leading delimiter, a drive or any ':'.
std::u16string ZipEntryTarget(const std::u16string& AFolder, std::string_view AEntryName);

// Extracts every entry of the archive AArchive into AFolder, keeping the
// entries' relative paths. The names are all checked first, so an archive
// with an unsafe name writes nothing. Throws Exception on any failure.
void ExtractZipArchive(const std::u16string& AArchive, const std::u16string& AFolder);
