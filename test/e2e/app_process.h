// The program under test as a child process, with a library preloaded that
// holds its clock still; always gone when the object is.
#pragma once

#include "ChildProcess.h"

#include <memory>
#include <string>

namespace e2e {

// Starts `executable` with no arguments. `preload` goes into LD_PRELOAD and
// `fixedTime` into the preloaded clock's variable (see fixed_time.cpp).
std::unique_ptr<TestSupport::ChildProcess> startApp(const std::string& executable,
                                                    const std::string& preload, long fixedTime);

} // namespace e2e
