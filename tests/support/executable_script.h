#pragma once

#include <sys/stat.h>

#include <string>

#include "support/temp_dir.h"

// A program for tests that start one (kav-server's stand-in): a shell script with
// `body`, in a directory of its own under the name `name`.
class ExecutableScript {
public:
    explicit ExecutableScript(const std::string& body, const std::string& name = "kav-server") : name_(name) {
        dir_.Write(name_, "#!/bin/sh\n" + body + "\n");
        chmod(Path().c_str(), 0755);
    }
    std::string Path() const { return dir_.File(name_); }

private:
    TempDir dir_;
    std::string name_;
};
