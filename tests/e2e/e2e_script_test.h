// A test that runs the program on the headless backend with an input script
// and loads the screenshots the script takes, in a scratch folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace e2e {

class ScriptTest : public ::testing::Test {
  protected:
    // The script line that writes the screenshot `name`.
    std::string Shot(const std::string& name) const { return "shot " + m_scratch.File(name + ".png") + "\n"; }

    // Runs the program with `script` and command-line `args`; it must end by itself with exit code 0.
    void Run(const std::string& script, const std::vector<std::string>& args = {}) {
        RunOptions options;
        options.strScript = script;
        options.args = args;
        RunResult r = RunApp(options, m_scratch);
        ASSERT_FALSE(r.bTimedOut);
        ASSERT_EQ(r.nExitCode, 0) << r.strStderr;
    }

    // The screenshot `name` the last run wrote; a failure when it is missing.
    Image Load(const std::string& name) const {
        Image img;
        EXPECT_TRUE(img.Load(m_scratch.File(name + ".png"))) << name;
        return img;
    }

    ScratchDir m_scratch;
};

}  // namespace e2e
