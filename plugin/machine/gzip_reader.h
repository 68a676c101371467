// gzip_reader.h - whole files read as cartridge images and machine states are
// stored: gzip-compressed, or plain (passed through unchanged), checked to their end.
//
// A file that starts with the gzip magic (0x1F 0x8B) is one or more gzip
// members, each inflated and checked against its trailer (CRC and length);
// any other file is its own content. A member cut short, a checksum that does
// not match and bytes after the last member that are not another member all
// make the file damaged, so damage is never mistaken for shorter or different
// content. Only regular files are read: a pipe or a device would block or
// never end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// NoImage: a zip archive without a cartridge image (zip_reader.h).
enum class ReadOutcome { Read, NotFound, NotRegular, Unreadable, Empty, TooLarge, Damaged, NoImage };

// Reads the content of `path` into `out`. Reading stops once the content is
// longer than `limit` bytes (TooLarge; `out` then holds limit + 1 bytes). For
// every outcome but Read, `problem` says why in a few words ("not found",
// "damaged gzip data", ...).
ReadOutcome ReadGzipFile(const char* path, size_t limit, std::vector<uint8_t>& out, std::string& problem);
