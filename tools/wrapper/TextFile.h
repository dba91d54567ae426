#pragma once
#include <string>
#include <vector>

#include "platform/win32/Handles.h"

namespace velmora::wrapper {

// Each line ends with CR LF. False when the file cannot be opened or written.
bool replaceWithLines(const std::string& path, const std::vector<std::string>& lines);
// Opens the file to write, as a running wrapper and Tomcat keep their current
// logs open: no other program may delete or move it meanwhile. Others may
// still read it.
Handle holdForWriting(const std::string& path);

bool appendLines(const std::string& path, const std::vector<std::string>& lines);

// A test that counts the wrappers' runs names a file in
// VELMORA_TEST_WRAPPER_RUNS; each run then adds its command line there.
void noteRunForTests();

}  // namespace velmora::wrapper
