#pragma once
// The texts of the file reads that every reader shares. Their lines go to standard error, except
// the TGA reader's, which go to standard output; a reader whose own words say why a file did not
// open (unreadFileResult) puts them in place of kCannotOpenFile and kUnreadableFile.

#include "io/read_result.h"

inline constexpr FailureText kCannotOpenFile{Failure::cannotOpen, Channel::standardError,
                                             "Cannot open the file"};
inline constexpr FailureText kUnreadableFile{Failure::unreadable, Channel::standardError,
                                             "Cannot read the file"};
inline constexpr FailureText kNotRegularFile{Failure::notRegularFile, Channel::standardError,
                                             "Not a regular file"};
inline constexpr FailureText kFileTooLarge{Failure::tooLarge, Channel::standardError,
                                           "The file is larger than 256 MiB"};
inline constexpr FailureText kOutOfMemory{Failure::outOfMemory, Channel::standardError,
                                          "Out of memory"};
