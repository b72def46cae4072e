#pragma once
// Points the registry store at a fresh hive in a scratch folder for the test's lifetime.
#include "support/TestSupport.h"

#include "platform/RegistryStore.h"

#include <cstdlib>
#include <string>

namespace TestSupport {

class ScratchRegistry {
public:
    ScratchRegistry() {
        const char* old = std::getenv("VNTZEL_REGISTRY");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        setenv("VNTZEL_REGISTRY", HivePath().c_str(), 1);
    }
    ~ScratchRegistry() {
        if (hadOld_)
            setenv("VNTZEL_REGISTRY", old_.c_str(), 1);
        else
            unsetenv("VNTZEL_REGISTRY");
    }
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    std::string HivePath() const { return dir_.File("test.hive"); }
    std::string HiveText() const { return ReadBytes(HivePath()); }

private:
    ScratchDir dir_;
    std::string old_;
    bool hadOld_ = false;
};

} // namespace TestSupport
