#pragma once
// The one way every file of the program reaches the disk: layout and
// measurement files, text exports and pictures alike.
#include "Data/Status.h"

#include <string>
#include <string_view>

// Replaces the file at `path` (UTF-8) by `bytes` in one step. The bytes go to a
// new file in the same folder, are flushed to the disk and only then take the
// place of the target, so a reader never sees a half-written file.
//
// Fails with "Unable to write to <path>", with the earlier file byte for byte as it was and no temporary file
// left behind, when anything fails: the folder is missing or not writable, the
// target is a folder or write-protected (refused even where the folder would
// allow replacing it), or the disk, a quota or a file-size limit stops the
// write part-way. A file-size limit never ends the program: where the platform
// would stop it by a signal, the signal is ignored and the write fails instead.
Status SaveFileAtomically(const std::string &path, std::string_view bytes);

// "Unable to write to %s" with the file's name in place of %s: the message of
// every failed save, here or by a caller that writes on its own.
std::string UnableToWriteMessage(const std::string &path);
