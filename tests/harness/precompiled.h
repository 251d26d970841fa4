// The headers that nearly every test of the program includes, parsed once per build (a
// precompiled header) instead of once per file: the Windows headers and GoogleTest are most of
// each test file's compile time.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
