// The program's version, one number for every program of the project: the splash, the about
// box and every --version answer show it. The build gives it (the project's version in
// CMakeLists.txt).
#pragma once

#ifndef VOLUMARK_VERSION
#error "VOLUMARK_VERSION is set by the build (CMakeLists.txt)"
#endif

namespace vm {

inline constexpr const char* kProgramVersion = VOLUMARK_VERSION;

} // namespace vm
