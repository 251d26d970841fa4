// The headers that every unit test includes, parsed once per build (a precompiled header). No
// Windows headers: most unit tests check platform-free code and must compile without them.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>
