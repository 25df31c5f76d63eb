// Runs copies of the running test program at once (tests of what several
// processes do together): each with a --gtest_filter and its own extra
// environment variables on top of this process's environment.
#pragma once

#include <string>
#include <vector>

// Starts one child per entry of `extraEnvironments` ("NAME=value" strings),
// all before waiting for any, and returns their exit codes in the same order
// (-1 for a child that could not start or did not exit normally).
std::vector<int> RunTestChildrenAtOnce(const std::string& gtestFilter,
                                       const std::vector<std::vector<std::string>>& extraEnvironments);
