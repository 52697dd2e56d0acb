#pragma once

#include <string>
#include <string_view>

// Outcome of writing a file: on failure the message names the path and the
// system's reason ("cannot write /a/cat.tbr: No space left on device").
struct SaveResult {
    bool bOk = false;
    std::string strError;
};

// Writes `data` to a new file in the folder of `strPath` and renames it over
// `strPath` once it is complete and flushed to disk. A failure at any point
// leaves an earlier file at `strPath` as it was and removes the partial one.
// A symbolic link at `strPath` stays: the file it names is replaced, and the
// replacement keeps the replaced file's permissions.
SaveResult WriteFileAtomically(const std::string& strPath, std::string_view data);
