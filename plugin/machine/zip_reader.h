// zip_reader.h - cartridge images inside zip archives: the first ".gba" entry
// in the archive's order, stored or deflated, read whole and checked.
//
// The archive is opened with its directory checked against the entries'
// own headers; the entry is read through its checksum, and never past the
// size its directory gives or the caller's limit, so a damaged archive or one
// built to inflate without end (a zip bomb) costs no more than the limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gzip_reader.h"

// True when `path` is a regular file that starts with a zip signature.
bool IsZipArchive(const char* path);

// Reads the first entry whose name ends in ".gba" (any case) into `out`,
// its name into `entry`. Outcomes as ReadGzipFile's, with `problem` saying
// why in a few words: NoImage when no entry is named so, TooLarge when the
// entry is longer than `limit` bytes (nothing is read then), Damaged for a
// damaged archive or entry, an encrypted entry or an unknown compression.
ReadOutcome ReadZipImage(const char* path, size_t limit, std::vector<uint8_t>& out, std::string& entry,
                         std::string& problem);
