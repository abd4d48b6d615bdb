#pragma once
// The version every program shows (--version, the about box): the project's
// version in CMakeLists.txt, compiled in from a generated file.
const char *ProgramVersion();
