#pragma once

#include <string>

// Reads a whole saved library file as the import holds it: byte 0 and "_" read as blanks, and
// a "\r\n" line end reads as "\n", so that a file saved on any system reads alike. Returns 0,
// or the system's error number when the file cannot be opened or read (text is then empty).
int readSavedFile(const std::string& path, std::string& text);
